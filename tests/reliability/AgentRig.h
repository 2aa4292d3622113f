// A whole agent (task window logic) over a keyboard whose requests can be made to fail,
// the recording desktop and the in-memory registry holding the heaviest configuration;
// and the check that every table it wrote to the keyboard is of known origin.
#pragma once

#include "EntryKinds.h"
#include "FakeDesktop.h"
#include "FakeRegistry.h"
#include "FaultyKeyboard.h"
#include "HeavySettings.h"
#include "TaskHandles.h"
#include "app/COrvexTask.h"
#include "app/Messages.h"
#include "keyconfig/SettingsStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

// A keyboard's table as one might find it: factory content, a few keys changed, mark gone.
inline DeviceKeyTable FoundTable() {
    DeviceKeyTable t = FactoryKeyTable();
    t.slots[10] = {{KindConsumer, 0, 0x00, 0xE2}};
    t.slots[20] = {{KindCombination, 0, 3, 8}};
    t.slots[kMarkSlot] = KeyEntry{};
    return t;
}

// A whole agent over the faulty keyboard, the recording desktop and the in-memory registry.
struct Rig {
    Trace trace;
    CFakeDesktop desktop{trace};
    CFakeKeyboard keyboard{trace};
    CFaultyKeyboard faulty{keyboard};
    CUSBDriver driver{faulty};
    FakeRegistry registry;
    SettingBuffers settings{};
    COrvexTask task{desktop.Roles(), driver, registry, settings};

    Rig() {
        desktop.m_modulePath = K7_RES_DIR u"/K7_Setting.exe";
        desktop.m_windowProcess[kConfig] = kConfigProcess;
        keyboard.HoldTable(FoundTable());
        keyboard.HoldCombination(3, {0, 0xE0, 0, 0x06});
        task.Attach(kTask);
        auto heavy = HeavySettings();
        registry.Put(kSettingsKeyPath, u"KeySetting", kRegBinary, BytesOf(heavy->keys));
        registry.Put(kSettingsKeyPath, u"MacroSetting", kRegBinary, BytesOf(heavy->macros));
        registry.Put(kSettingsKeyPath, u"CombSetting", kRegBinary, BytesOf(heavy->combinations));
    }
    std::intptr_t Send(std::uint32_t msg, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        return task.WindowProc(msg, wParam, lParam);
    }
    void Create() {
        Send(WM_CREATE);
        task.EndCreation();
        Send(WM_REGISTER_CONFIG_WINDOW, kConfig);
    }
};

// Every slot of every table written comes from a table read, the factory table, the mark
// repair or, when applying, the translation.
inline void ExpectOnlyKnownTables(const Rig& r, bool translates, const std::string& context) {
    EXPECT_EQ(r.faulty.m_wrongRequests, 0) << context;
    const DeviceKeyTable& factory = FactoryKeyTable();
    for (const DeviceKeyTable& t : r.faulty.m_written) {
        for (int s = 0; s < kSlotCount; ++s) {
            const KeyEntry& e = t.slots[s];
            bool known = e == factory.slots[s] || (s == kMarkSlot && e == kTableMark) ||
                         (translates && IsTranslatedEntry(e, kMaxMacroNumber));
            for (const DeviceKeyTable& read : r.faulty.m_read) known = known || e == read.slots[s];
            EXPECT_TRUE(known) << context << ": slot " << s << " written as " << int(e.b[0]) << ' ' << int(e.b[1])
                               << ' ' << int(e.b[2]) << ' ' << int(e.b[3]);
        }
    }
}
