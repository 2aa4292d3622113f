// Every control request failing in turn, in every sequence that talks to the keyboard, and
// registry values of every wrong type and size: the task window never sends a request of
// the wrong size, and never writes a table that it neither read from the keyboard nor built
// from the factory table (with the translation's own entries on top, when applying).
#include "AgentRig.h"
#include "BroadcastRecord.h"

#include <cstdio>

namespace {

struct Phase {
    const char* name;
    void (*prepare)(Rig&);
    void (*run)(Rig&);
    bool translates;
};

const Phase kPhases[] = {
    {"creation", [](Rig&) {}, [](Rig& r) { r.Create(); }, false},
    {"apply", [](Rig& r) { r.Create(); }, [](Rig& r) { r.Send(WM_APPLY_SETTINGS); }, true},
    {"factory restore", [](Rig& r) { r.Create(); }, [](Rig& r) { r.Send(WM_RESTORE_FACTORY); }, false},
    {"resynchronisation",
     [](Rig& r) {
         r.Create();
         r.Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, AsLParam(BroadcastRecord(kKeyboardPath)));
         r.keyboard.HoldTable(FoundTable());
     },
     [](Rig& r) { r.Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, AsLParam(BroadcastRecord(kKeyboardPath))); }, false},
};

// After any fault the agent still applies: a later request writes a table of known origin.
void ExpectStillApplies(Rig& r, const std::string& context) {
    r.faulty.FailFrom(0, 0, false);
    r.faulty.m_written.clear();
    if (!r.driver.IsOpen()) return;
    r.Send(WM_APPLY_SETTINGS);
    ASSERT_EQ(r.faulty.m_written.size(), 1u) << context;
    ExpectOnlyKnownTables(r, true, context + ", then a clean apply");
}

TEST(FaultSweep, EveryRequestFailingInTurnInEverySequence) {
    int runs = 0;
    for (const Phase& phase : kPhases) {
        auto clean = std::make_unique<Rig>();
        phase.prepare(*clean);
        clean->faulty.m_counts.clear();
        phase.run(*clean);
        ASSERT_FALSE(clean->faulty.m_counts.empty()) << phase.name;
        ExpectOnlyKnownTables(*clean, phase.translates, phase.name);

        for (const auto& [code, count] : clean->faulty.m_counts) {
            for (int nth = 1; nth <= count; ++nth) {
                for (bool onward : {false, true}) {
                    auto r = std::make_unique<Rig>();
                    phase.prepare(*r);
                    r->faulty.m_counts.clear();
                    r->faulty.FailFrom(code, nth, onward);
                    phase.run(*r);
                    // The request counted in the clean run comes again, and fails.
                    EXPECT_GT(r->keyboard.Model().Inspect().failInjected, 0u)
                        << phase.name << " " << code << " #" << nth;
                    const std::string context = std::string(phase.name) + ", request 0x" +
                                                [code = code] {
                                                    char hex[16];
                                                    std::snprintf(hex, sizeof hex, "%X", code);
                                                    return std::string(hex);
                                                }() +
                                                " #" + std::to_string(nth) + (onward ? " onward" : " alone") +
                                                " failing";
                    ExpectOnlyKnownTables(*r, phase.translates, context);
                    ExpectStillApplies(*r, context);
                    ++runs;
                }
            }
        }
    }
    RecordProperty("runs", runs);
}

TEST(FaultSweep, RegistryValuesOfEveryWrongTypeAndSize) {
    struct Value {
        const char16_t* name;
        std::size_t size;
    };
    const Value values[] = {{u"KeySetting", sizeof(KeySetting)},
                            {u"MacroSetting", sizeof(MacroSetting)},
                            {u"CombSetting", sizeof(CombSetting)},
                            {u"RateSetting", 4}};
    // REG_NONE, SZ, EXPAND_SZ, BINARY, DWORD, DWORD_BIG_ENDIAN, LINK, MULTI_SZ, QWORD, and no such type.
    const std::uint32_t types[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, 0xFFFF};
    for (const Value& v : values) {
        for (std::uint32_t type : types) {
            for (std::size_t size : {std::size_t{0}, std::size_t{1}, v.size - 1, v.size, v.size + 1}) {
                if (type == kRegBinary && size == v.size) continue;
                auto r = std::make_unique<Rig>();
                std::vector<std::uint8_t> bytes(size, 0xC3);  // every field at an odd, large value
                r->registry.Put(kSettingsKeyPath, v.name, type, bytes);
                const std::string context = std::string(v.name, v.name + std::char_traits<char16_t>::length(v.name)) +
                                            " of type " + std::to_string(type) + ", " + std::to_string(size) + " bytes";
                r->Create();
                r->Send(WM_SET_REPORT_RATE, 2);
                r->Send(WM_APPLY_SETTINGS);
                r->Send(WM_APPLY_SETTINGS);
                ExpectOnlyKnownTables(*r, true, context);
                EXPECT_EQ(r->faulty.m_written.size(), 2u) << context;
            }
        }
    }
}

}  // namespace
