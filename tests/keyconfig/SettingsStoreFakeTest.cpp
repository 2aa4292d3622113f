// Settings-store cases that need a registry which refuses access.
#include "FakeRegistry.h"
#include "keyconfig/SettingsStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

TEST(SettingsStoreDenied, UncreatableKeyLeavesTheDefaultsInMemoryOnly) {
    FakeRegistry reg;
    reg.m_bDenyAccess = true;
    ButtonPosTable layout;
    layout[5].vkcode = 0x41;
    auto buf = std::make_unique<SettingBuffers>();
    std::memset(static_cast<void*>(buf.get()), 0xEE, sizeof *buf);
    std::int32_t rate = 2;
    LoadSettings(reg, layout, *buf, rate);
    EXPECT_FALSE(reg.HasKey(kSettingsKeyPath));
    EXPECT_EQ(rate, 8);
    EXPECT_EQ(buf->keys.records[5].vk, 0x41);
    EXPECT_EQ(buf->keys.records[5].Type(), AssignDefault);
    EXPECT_EQ(buf->macros.Count(), 0);
    EXPECT_EQ(buf->combinations.records[99].vks[3], 0);

    // A reload that cannot open the key keeps what is in memory.
    buf->keys.records[0].Set(AssignMacro, 3);
    ReloadSettings(reg, *buf, rate);
    EXPECT_EQ(buf->keys.records[0].Type(), AssignMacro);
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST(SettingsStoreDenied, EveryOpenedKeyIsClosed) {
    FakeRegistry reg;
    ButtonPosTable layout;
    auto buf = std::make_unique<SettingBuffers>();
    std::int32_t rate = 8;
    LoadSettings(reg, layout, *buf, rate);  // creates
    LoadSettings(reg, layout, *buf, rate);  // opens
    ReloadSettings(reg, *buf, rate);
    EXPECT_EQ(reg.OpenHandles(), 0u);
    EXPECT_EQ(reg.ValueCount(kSettingsKeyPath), 4u);
}

}  // namespace
