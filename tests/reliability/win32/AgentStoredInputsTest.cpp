// The agent as a process under Wine with what it reads at start and on every apply made
// hostile: its four registry values of every wrong type and of sizes around their buffers,
// and the two files beside it missing, empty, in UTF-16 big-endian, in a declared code page
// or of random bytes. It must start, answer, end cleanly and keep the keyboard sound.
// The test and the agents it starts share a desktop of their own, where an agent's exit
// does not wait for a window manager.
#include "AgentTestSupport.h"
#include "KeyboardChecks.h"
#include "ResourceVariants.h"
#include "k7testbed/OwnDesktop.h"
#include "k7testbed/VirtualKeyboard.h"
#include "keyconfig/SettingRecords.h"
#include "keyconfig/SettingsStore.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using configclient::CConfigClient;

namespace {

namespace fs = std::filesystem;

const wchar_t* SettingsKey() { return reinterpret_cast<const wchar_t*>(kSettingsKeyPath); }

constexpr wchar_t kDesktop[] = L"k7inputs";
class OwnDesktopEnvironment : public testing::Environment {
    void SetUp() override { ASSERT_TRUE(k7testbed::UseOwnDesktop(kDesktop)) << GetLastError(); }
};
const auto* const g_desktop = testing::AddGlobalTestEnvironment(new OwnDesktopEnvironment);

class AgentStoredInputs : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(k7testbed::StartKeyboard()) << k7testbed::KeyboardError();
        RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey()); }

    // One life of the agent at `exe`: `damage` before its creation and again before its
    // applies (each apply reads the values anew), a report rate, an apply, and WM_CLOSE.
    void RunAgent(const std::wstring& exe, const std::function<void()>& damage, const std::string& context) {
        ASSERT_TRUE(k7testbed::ResetKeyboard(oxkbd::kFactoryTable)) << k7testbed::KeyboardError();
        ASSERT_TRUE(k7testbed::ClearKeyboardCounters()) << k7testbed::KeyboardError();
        damage();
        CAgentProcess agent(kDesktop);
        ASSERT_TRUE(agent.StartAt(exe)) << context << ": the agent did not start: " << agent.State();
        CConfigClient client;
        ASSERT_TRUE(client.Connect(kWaitMs)) << context;
        damage();
        ASSERT_TRUE(client.SetReportRate(2, kWaitMs)) << context;
        ASSERT_NO_FATAL_FAILURE(ExpectApplyAnswered(client, context));
        ExpectSoundKeyboard(context);
        PostMessageW(agent.Window(), WM_CLOSE, 0, 0);
        DWORD exitCode = 1;
        ASSERT_TRUE(agent.WaitForExit(kWaitMs, &exitCode)) << context;
        EXPECT_EQ(exitCode, 0u) << context;
    }
};

TEST_F(AgentStoredInputs, RegistryValuesOfEveryWrongTypeAndSize) {
    struct Value {
        const wchar_t* name;
        std::size_t size;
    };
    const Value values[] = {{L"KeySetting", sizeof(KeySetting)},
                            {L"MacroSetting", sizeof(MacroSetting)},
                            {L"CombSetting", sizeof(CombSetting)},
                            {L"RateSetting", 4}};
    // Every other type at the buffer's size (REG_NONE, SZ, EXPAND_SZ, DWORD, DWORD_BIG_ENDIAN,
    // LINK, MULTI_SZ, QWORD, no such type), then binary of 0, 1, one short and one past.
    struct Damage {
        DWORD type;
        long sizeChange;  // from the buffer's size; kEmpty and kOneByte stand for 0 and 1
    };
    constexpr long kEmpty = -1000000, kOneByte = -1000001;
    std::vector<Damage> damages;
    for (DWORD type : {0u, 1u, 2u, 4u, 5u, 6u, 7u, 11u, 0xFFFFu}) damages.push_back({type, 0});
    for (long change : {kEmpty, kOneByte, -1L, 1L}) damages.push_back({REG_BINARY, change});

    const std::wstring exe = BesideTestProgram(L"K7_Setting.exe");
    for (const Value& v : values) {
        for (const Damage& d : damages) {
            const std::size_t size = d.sizeChange == kEmpty ? 0 : d.sizeChange == kOneByte ? 1 : v.size + d.sizeChange;
            const std::vector<BYTE> bytes(size, 0xC3);  // every field at an odd, large value
            const std::string context = std::string(v.name, v.name + wcslen(v.name)) + " of type " +
                                        std::to_string(d.type) + ", " + std::to_string(size) + " bytes";
            RunAgent(
                exe,
                [&] {
                    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey(), v.name, d.type, bytes.data(),
                                              static_cast<DWORD>(bytes.size())),
                              ERROR_SUCCESS)
                        << context;
                },
                context);
            if (HasFatalFailure()) return;
        }
    }
}

TEST_F(AgentStoredInputs, FilesBesideTheAgentInEveryForm) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const fs::path dir = fs::path(temp) / ("k7-agent-files-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(dir);
    const fs::path shipped = fs::path(BesideTestProgram(L"K7_Setting.exe")).parent_path();
    fs::copy_file(shipped / "K7_Setting.exe", dir / "K7_Setting.exe", fs::copy_options::overwrite_existing);
    for (const char* file : kResourceFiles) {
        for (const ResourceVariant& variant : kResourceVariants) {
            const std::string context = std::string(file) + " " + variant.name;
            WriteResourceFiles(shipped, dir, file, variant);
            // No stored settings: the agent writes its defaults from the layout file.
            RunAgent((dir / "K7_Setting.exe").wstring(), [&] { RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey()); },
                     context);
            if (HasFatalFailure()) break;
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace
