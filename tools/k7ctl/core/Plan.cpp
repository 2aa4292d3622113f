#include "Plan.h"

#include "Describe.h"
#include "driver/ModelDeviceIo.h"
#include "keyconfig/DeviceRecords.h"
#include "keyconfig/Translation.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

using nlohmann::ordered_json;

namespace {

// The model of the keyboard, starting from `from`, that notes the macros and the placed
// combinations it accepts.
class PlanDevice final : public IDeviceIo {
public:
    PlanDevice(ApplyPlan& plan, const KeyboardState& from) : m_plan(plan) {
        m_keyboard.HoldTable(from.table);
        for (std::uint8_t slot = 1; slot <= kMaxCombinationSlot; ++slot)
            m_keyboard.HoldCombination(slot, from.slots[slot - 1u].data());
    }

    DeviceHandle Open(std::u16string_view path) override { return m_io.Open(path); }
    void Close(DeviceHandle handle) override { m_io.Close(handle); }
    bool Control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override {
        if (!m_io.Control(handle, code, in, inSize, out, outSize)) return false;
        const auto* p = static_cast<const std::uint8_t*>(in);
        if (code == IOCTL_WRITE_MACRO) {
            PlanMacro& m = m_plan.macros.emplace_back();
            m.number = p[0];
            std::memcpy(m.content.data(), p + 1, kMacroContentSize);
        } else if (code == IOCTL_WRITE_COMBINATION) {
            CombinationKeys keys;
            std::memcpy(keys.data(), p + 1, kCombinationKeySize);
            if (keys != CombinationKeys{}) m_plan.combinations.push_back({p[0], keys});
        }
        return true;
    }

    // The table and slots 1..8 as the keyboard holds them now.
    void Held(ApplyPlan& plan) const {
        const keyboard::State& s = m_keyboard.Inspect();
        plan.table = s.table;
        for (std::uint8_t slot = 1; slot <= kMaxCombinationSlot; ++slot)
            std::memcpy(plan.slots[slot - 1u].data(), m_keyboard.CombinationKeysOf(slot), kCombinationKeySize);
    }

private:
    ApplyPlan& m_plan;
    keyboard::CKeyboardModel m_keyboard;
    CModelDeviceIo m_io{m_keyboard};
};

class PlanHost final : public ITranslationHost {
public:
    explicit PlanHost(ApplyPlan& plan) : m_plan(plan) {}
    void ShowCombinationWarning() override { m_bWarned = true; }
    void PostAssignmentReset(std::uint8_t vk) override {
        m_plan.resets.push_back({vk, m_bWarned});
        m_bWarned = false;
    }

private:
    ApplyPlan& m_plan;
    bool m_bWarned = false;
};

std::string Hex(const std::uint8_t* b, std::size_t n) {
    std::string s;
    char buf[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02x" : "%02x", b[i]);
        s += buf;
    }
    return s;
}

struct ChangedSlot {
    int slot;
    std::string key;
    std::string bytes;
    std::string meaning;
};

std::vector<ChangedSlot> ChangedSlots(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout) {
    const std::vector<int> owner = SlotOwners(layout);
    std::vector<ChangedSlot> out;
    for (int s = 0; s < kSlotCount; ++s) {
        const KeyEntry& e = plan.table.slots[static_cast<std::size_t>(s)];
        if (e == FactoryKeyTable().slots[static_cast<std::size_t>(s)]) continue;
        const int i = owner[static_cast<std::size_t>(s)];
        out.push_back({s, i < 0 ? "-" : KeyName(layout[static_cast<std::size_t>(i)]), Hex(e.b.data(), 4),
                       i < 0 ? "" : DescribeFunction(profile, profile.keys[static_cast<std::size_t>(i)])});
    }
    return out;
}

std::string KeyForVk(const ButtonPosTable& layout, std::uint8_t vk) {
    for (const ButtonPosRecord& r : layout)
        if (r.vkcode == vk) return KeyName(r);
    return "code " + std::to_string(vk);
}

std::string ResetReason(const PlanReset& r) {
    return r.noCombinationSlot ? "all eight combination slots in use" : "invalid macro or combination reference";
}

}  // namespace

std::vector<int> SlotOwners(const ButtonPosTable& layout) {
    DeviceKeyTable factory;
    UsageSlotMap map;
    BuildFactoryTable(factory, map);
    std::vector<int> owner(kSlotCount, -1);
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const std::int32_t slot = SelectSlot(map, layout[static_cast<std::size_t>(i)].vkcode);
        if (slot >= 0 && slot < kSlotCount && owner[static_cast<std::size_t>(slot)] < 0)
            owner[static_cast<std::size_t>(slot)] = i;
    }
    return owner;
}

ApplyPlan PlanApply(const Profile& profile, const ButtonPosTable& layout, const KeyboardState& from) {
    auto stored = std::make_unique<StoredSettings>();
    EncodeProfile(profile, layout, *stored);
    return PlanStoredApply(*stored, from);
}

ApplyPlan PlanStoredApply(const StoredSettings& values, const KeyboardState& from) {
    ApplyPlan plan{};
    // The translation resets the records it rejects, so it works on a copy.
    auto stored = std::make_unique<StoredSettings>(values);
    PlanDevice device(plan, from);
    CUSBDriver driver(device);
    driver.Open();
    DeviceKeyTable work{}, factory{};
    UsageSlotMap map;
    CombinationCache cache{};
    driver.ReadKeyTable(work);
    ReadBackCombinations(driver, work, cache);
    BuildFactoryTable(factory, map);
    PlanHost host(plan);
    TranslateAssignments({work, factory, map, cache, stored->buffers, driver}, host);
    driver.WriteKeyTable(work);
    device.Held(plan);
    plan.freeSlots = static_cast<int>(std::ranges::count(cache, 0, &CombinationCacheEntry::used));
    return plan;
}

KeyboardState StateAfter(const ApplyPlan& plan) { return {plan.table, plan.slots}; }

std::string FormatPlan(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout) {
    std::string out = "Key table: slots that differ from the factory table\n";
    char line[160];
    const std::vector<ChangedSlot> changed = ChangedSlots(plan, profile, layout);
    for (const ChangedSlot& c : changed) {
        std::snprintf(line, sizeof line, "  slot %3d  %-14s %s  %s\n", c.slot, c.key.c_str(), c.bytes.c_str(),
                      c.meaning.c_str());
        out += line;
    }
    if (changed.empty()) out += "  (none)\n";
    out += "Macros sent:" + std::string(plan.macros.empty() ? " none\n" : "\n");
    for (const PlanMacro& m : plan.macros) {
        const std::size_t index = m.number - 1u;
        const std::size_t events = index < profile.macros.size() ? profile.macros[index].events.size() : 0;
        std::snprintf(line, sizeof line, "  macro %2d  %-14s repeat %u, %zu events:", m.number,
                      index < profile.macros.size() ? profile.macros[index].name.c_str() : "",
                      static_cast<unsigned>(m.content[0] << 8 | m.content[1]), events);
        out += line;
        out += (events ? " " + Hex(m.content.data() + 2, 2 * events) : std::string()) + "\n";
    }
    out += "Combinations placed:" + std::string(plan.combinations.empty() ? " none\n" : "\n");
    for (const PlanCombination& c : plan.combinations) {
        std::snprintf(line, sizeof line, "  slot %d  %s\n", c.slot, Hex(c.keys.data(), c.keys.size()).c_str());
        out += line;
    }
    for (const PlanReset& r : plan.resets)
        out += "Reset: key " + KeyForVk(layout, r.vk) + " (" + ResetReason(r) + ")\n";
    return out;
}

std::string PlanToJson(const ApplyPlan& plan, const Profile& profile, const ButtonPosTable& layout) {
    ordered_json root;
    ordered_json& changes = root["changes"] = ordered_json::array();
    for (const ChangedSlot& c : ChangedSlots(plan, profile, layout))
        changes.push_back({{"slot", c.slot}, {"key", c.key}, {"entry", c.bytes}, {"meaning", c.meaning}});
    ordered_json& macros = root["macros"] = ordered_json::array();
    for (const PlanMacro& m : plan.macros)
        macros.push_back({{"number", m.number}, {"content", Hex(m.content.data(), m.content.size())}});
    ordered_json& combos = root["combinations"] = ordered_json::array();
    for (const PlanCombination& c : plan.combinations)
        combos.push_back({{"slot", c.slot}, {"keys", Hex(c.keys.data(), c.keys.size())}});
    ordered_json& resets = root["resets"] = ordered_json::array();
    for (const PlanReset& r : plan.resets)
        resets.push_back({{"key", KeyForVk(layout, r.vk)}, {"reason", ResetReason(r)}});
    ordered_json& table = root["table"] = ordered_json::array();
    for (const KeyEntry& e : plan.table.slots) table.push_back(Hex(e.b.data(), 4));
    return root.dump(2) + "\n";
}
