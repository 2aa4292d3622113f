// The agent's first start on a registry without its key, and its repair of damaged
// values, seen through the real registry from the configuration program's side.

#include "AgentProcess.h"
#include "app/Messages.h"
#include "keyconfig/SettingRecords.h"
#include "xml/ButtonPositions.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr wchar_t kKeyPath[] = L"Software\\Orvex\\K7";

struct StoredValue {
    LSTATUS status = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

StoredValue Read(const wchar_t* name) {
    StoredValue v;
    DWORD size = 0;
    v.status = RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY, &v.type, nullptr, &size);
    if (v.status != ERROR_SUCCESS) return v;
    v.bytes.resize(size);
    v.status = RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY, &v.type, v.bytes.data(), &size);
    v.bytes.resize(size);
    return v;
}

void Write(const wchar_t* name, DWORD type, std::vector<BYTE> bytes) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKeyPath, name, type, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
}

// Starts the agent, lets its creation run to the end and closes it again.
void RunAgentOnce() {
    CAgentProcess agent;
    ASSERT_TRUE(agent.Start());
    PostMessageW(agent.Window(), WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    ASSERT_TRUE(agent.WaitForExit(10000, &exitCode));
    EXPECT_EQ(exitCode, 0u);
}

// "KeySetting" as the agent writes its defaults: record i names key i of the layout
// file beside the agent, type 1 (its factory function), parameter 0.
std::vector<BYTE> DefaultKeySetting() {
    ButtonPosTable layout;
    const std::wstring path = BesideTestProgram(L"ButtonPos.xml");
    LoadButtonPositions(std::u16string(path.begin(), path.end()), layout);
    std::vector<BYTE> bytes(sizeof(KeySetting), 0);
    for (int i = 0; i < kKeyAssignmentCount; ++i) {
        bytes[12 * i] = layout[i].vkcode;
        bytes[12 * i + 4] = 1;
    }
    return bytes;
}

class AgentSettings : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
};

TEST_F(AgentSettings, FirstStartCreatesTheFourValuesWithTheirDefaults) {
    ASSERT_NO_FATAL_FAILURE(RunAgentOnce());

    const StoredValue keys = Read(L"KeySetting");
    ASSERT_EQ(keys.status, ERROR_SUCCESS);
    EXPECT_EQ(keys.type, static_cast<DWORD>(REG_BINARY));
    const std::vector<BYTE> expectedKeys = DefaultKeySetting();
    EXPECT_EQ(keys.bytes, expectedKeys);
    EXPECT_NE(expectedKeys[0], 0) << "the layout file beside the agent names its keys";

    const StoredValue macros = Read(L"MacroSetting");
    ASSERT_EQ(macros.status, ERROR_SUCCESS);
    EXPECT_EQ(macros.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(macros.bytes, std::vector<BYTE>(sizeof(MacroSetting), 0));

    const StoredValue combinations = Read(L"CombSetting");
    ASSERT_EQ(combinations.status, ERROR_SUCCESS);
    EXPECT_EQ(combinations.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(combinations.bytes, std::vector<BYTE>(sizeof(CombSetting), 0));

    const StoredValue rate = Read(L"RateSetting");
    ASSERT_EQ(rate.status, ERROR_SUCCESS);
    EXPECT_EQ(rate.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(rate.bytes, (std::vector<BYTE>{8, 0, 0, 0}));
}

TEST_F(AgentSettings, DamagedValuesAreRepairedEachByItself) {
    ASSERT_NO_FATAL_FAILURE(Write(L"KeySetting", REG_BINARY, std::vector<BYTE>(1300, 0x5A)));  // one record too long
    ASSERT_NO_FATAL_FAILURE(Write(L"MacroSetting", REG_DWORD, {1, 0, 0, 0}));                  // wrong type
    std::vector<BYTE> combinations(sizeof(CombSetting), 0);
    combinations[0] = 0xA2;
    combinations[1] = 0x43;
    ASSERT_NO_FATAL_FAILURE(Write(L"CombSetting", REG_BINARY, combinations));
    ASSERT_NO_FATAL_FAILURE(Write(L"RateSetting", REG_BINARY, {2, 0, 0, 0}));

    ASSERT_NO_FATAL_FAILURE(RunAgentOnce());

    EXPECT_EQ(Read(L"KeySetting").bytes, DefaultKeySetting());
    const StoredValue macros = Read(L"MacroSetting");
    EXPECT_EQ(macros.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(macros.bytes, std::vector<BYTE>(sizeof(MacroSetting), 0));
    EXPECT_EQ(Read(L"CombSetting").bytes, combinations);  // valid values stay as stored
    EXPECT_EQ(Read(L"RateSetting").bytes, (std::vector<BYTE>{2, 0, 0, 0}));
}

}  // namespace
