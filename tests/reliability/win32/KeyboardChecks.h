// What must hold of the virtual keyboard whatever the agent met, and of the agent after it.
#pragma once

#include "ConfigClient.h"

#include <cstdint>
#include <string>

// No request rejected beyond the `injected` failures the keyboard was told to make (so none
// of a wrong size or code), and every slot of its table the factory's, the mark, or an
// entry of a kind the translation writes.
void ExpectSoundKeyboard(std::uint32_t injected, const std::string& context);

// The agent still answers an apply with its three progress reports, the last one 100.
void ExpectApplyAnswered(configclient::CConfigClient& client, const std::string& context);
