#include "config/StoredValueCheck.h"

#include "config/DocumentText.h"
#include "keyconfig/SettingRecords.h"

#include <cstdint>

namespace {

struct ValueShape {
    const char16_t* name;
    std::uint32_t size;
};

// What the agent writes: binary values of its buffers' sizes, the rate as four bytes.
constexpr ValueShape kValues[] = {
    {kKeySettingName, sizeof(KeySetting)},
    {kMacroSettingName, sizeof(MacroSetting)},
    {kCombSettingName, sizeof(CombSetting)},
    {kRateSettingName, 4},
};

std::u16string Number(std::uint32_t n) {
    const std::string digits = std::to_string(n);
    return {digits.begin(), digits.end()};
}

}  // namespace

std::vector<std::u16string> StoredValueProblems(IRegistry& registry, const ConfigTexts& texts,
                                                std::u16string_view keyPath) {
    std::vector<std::u16string> problems;
    RegKey key = 0;
    if (registry.OpenKey(keyPath, key) != kRegOk) return problems;
    for (const ValueShape& value : kValues) {
        std::uint32_t type = 0, size = 0;
        // A missing value reads as zeros, as after a first start: nothing to say.
        if (registry.QueryValue(key, value.name, &type, nullptr, &size) != kRegOk) continue;
        if (type != kRegBinary) {
            problems.push_back(FillText(texts.valueType, {value.name, Number(type)}));
        } else if (size != value.size) {
            // The agent reads a shorter value's bytes and zeros after them, and no byte of a
            // longer one: the program shows what the agent would apply.
            problems.push_back(FillText(texts.valueSize, {value.name, Number(size), Number(value.size),
                                                          size < value.size ? texts.valueShorter : texts.valueLonger}));
        }
    }
    registry.CloseKey(key);
    return problems;
}
