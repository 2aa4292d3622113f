// What must hold of the virtual keyboard whatever the agent met, and of the agent after it.
#pragma once

#include "AgentProcess.h"
#include "ConfigClient.h"
#include "keyconfig/DeviceKeyTable.h"

#include <string>

// No request rejected beyond the failures the keyboard injected (so none of a wrong size or
// code), and every table it was sent that its table log keeps, and the one it holds, of
// known origin: slot by slot the factory entry, the entry of `read` (the table the agent
// found on the keyboard), the mark in the mark's slot, or, when `translates`, an entry of a
// kind the translation writes. The mark's slot takes a translated entry only for an
// assignment of virtual key 0xC1, which no configuration of these tests makes.
void ExpectSoundKeyboard(const std::string& context, const DeviceKeyTable& read = FactoryKeyTable(),
                         bool translates = true);

// The agent still answers an apply with its three progress reports: 25, 50, 100.
void ExpectApplyAnswered(configclient::CConfigClient& client, const std::string& context);

// After a run with requests failing (any armed fault is cancelled first): the keyboard sound,
// the agent still running, and a clean apply then answered and sending one sound table.
void ExpectUnharmedAfterFaults(const CAgentProcess& agent, configclient::CConfigClient& client,
                               const std::string& context, const DeviceKeyTable& read = FactoryKeyTable(),
                               bool translates = true);
