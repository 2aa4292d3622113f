// The requests of the keyboard as the key configuration sends them: the driver channel
// carries them, so that the translation and the downloads need nothing of the driver's.
#pragma once

#include "keyboard/ControlCodes.h"
#include "keyboard/KeyTableRecord.h"

#include <array>
#include <cstdint>

using MacroContent = std::array<std::uint8_t, kMacroContentSize>;
using CombinationKeys = std::array<std::uint8_t, kCombinationKeySize>;

class IKeyboardChannel {
public:
    virtual bool IsOpen() const = 0;
    virtual bool WriteKeyTable(const DeviceKeyTable& table) = 0;
    virtual bool WriteMacro(std::uint8_t number, const MacroContent& content) = 0;
    virtual bool WriteCombination(std::uint8_t slot, const CombinationKeys& keys) = 0;
    virtual bool ReadCombination(std::uint8_t slot, CombinationKeys& keys) = 0;

protected:
    // Never owned through the seam; a protected destructor needs no deleting one.
    ~IKeyboardChannel() = default;
};
