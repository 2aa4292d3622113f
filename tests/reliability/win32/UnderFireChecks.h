// What the agent must leave behind after any run against a keyboard that fails requests:
// checked from the virtual keyboard's own record of what it was sent.
#pragma once

#include "AgentTestSupport.h"
#include "OxkbdProtocol.h"
#include "keyconfig/KeyTableRecord.h"

#include <string>

// Every table the keyboard kept in its table log, and the one it holds, is one the agent may
// write: slot by slot the factory entry, the entry of `read` (the table the agent found on
// the keyboard), the mark in the mark's slot, or, when `translates`, an entry of a kind the
// translation writes. The mark's slot takes a translated entry only for an assignment of
// virtual key 0xC1, which no configuration of these tests makes, so it is held to the rest.
void ExpectOnlyKnownTables(const oxkbd::State& state, const DeviceKeyTable& read, bool translates,
                           const std::string& context);

// The whole check after a run: the keyboard rejected nothing but the failures it injected
// (so no request of a wrong size or code reached it), its tables are of known origin, the
// agent still runs, and a clean apply then answers 25, 50, 100 and sends one known table.
// Cancels any armed fault first.
void ExpectUnharmed(const CAgentProcess& agent, configclient::CConfigClient& client, const DeviceKeyTable& read,
                    bool translates, const std::string& context);
