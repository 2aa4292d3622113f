// Loading and reloading the stored settings. Runs against the fake natively and against the
// real registry under Wine.
#include "RegistryUnderTest.h"
#include "keyconfig/SettingsStore.h"

#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const std::u16string kPath = std::u16string(kScratchKeyPath) + u"\\Orvex\\K7";

ButtonPosTable Layout() {
    ButtonPosTable layout;
    for (int i = 0; i < BUTTON_COUNT; ++i) layout[i].vkcode = static_cast<std::uint8_t>(0x10 + i);
    return layout;
}

std::vector<std::uint8_t> Bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    return {b, b + n};
}

template <class T> std::vector<std::uint8_t> Bytes(const T& t) { return Bytes(&t, sizeof t); }

class SettingsStore : public ScratchKeyTest {
protected:
    // Stores a value directly, as the configuration program would.
    void Store(std::u16string_view name, std::uint32_t type, const std::vector<std::uint8_t>& bytes) {
        RegKey key = 0;
        ASSERT_EQ(reg.CreateKey(kPath, key), kRegOk);
        ASSERT_EQ(reg.SetValue(key, name, type, bytes.data(), static_cast<std::uint32_t>(bytes.size())), kRegOk);
        reg.CloseKey(key);
    }
    struct Stored {
        std::int32_t error = -1;
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes;
    };
    Stored Read(std::u16string_view name) {
        Stored s;
        RegKey key = 0;
        if (reg.OpenKey(kPath, key) != kRegOk) return s;
        std::uint32_t size = 0;
        s.error = reg.QueryValue(key, name, &s.type, nullptr, &size);
        s.bytes.resize(size);
        if (s.error == kRegOk) s.error = reg.QueryValue(key, name, &s.type, s.bytes.data(), &size);
        reg.CloseKey(key);
        return s;
    }
    void Load() { LoadSettings(reg, layout, *buf, rate, kPath); }
    void Reload() { ReloadSettings(reg, *buf, rate, kPath); }

    ButtonPosTable layout = Layout();
    std::unique_ptr<SettingBuffers> buf = std::make_unique<SettingBuffers>();
    std::int32_t rate = 8;
};

std::vector<std::uint8_t> DefaultKeySetting() {
    std::vector<std::uint8_t> v(1296, 0);
    for (int i = 0; i < 108; ++i) {
        v[12 * i] = static_cast<std::uint8_t>(0x10 + i);
        v[12 * i + 4] = 1;  // type 1, little-endian; parameter 0
    }
    return v;
}

TEST_F(SettingsStore, FirstRunCreatesExactlyTheFourValuesWithDefaults) {
    rate = 77;
    std::memset(static_cast<void*>(buf.get()), 0xEE, sizeof *buf);
    Load();
    EXPECT_EQ(ValueCountUnder(kPath), 4u);
    const Stored keys = Read(u"KeySetting"), macros = Read(u"MacroSetting"), combs = Read(u"CombSetting"),
                 rates = Read(u"RateSetting");
    for (const Stored* s : {&keys, &macros, &combs, &rates}) {
        EXPECT_EQ(s->error, kRegOk);
        EXPECT_EQ(s->type, kRegBinary);
    }
    EXPECT_EQ(keys.bytes, DefaultKeySetting());
    EXPECT_EQ(macros.bytes, std::vector<std::uint8_t>(130404, 0));
    EXPECT_EQ(combs.bytes, std::vector<std::uint8_t>(52404, 0));
    EXPECT_EQ(rates.bytes, (std::vector<std::uint8_t>{8, 0, 0, 0}));
    // Memory matches what was stored.
    EXPECT_EQ(Bytes(buf->keys), keys.bytes);
    EXPECT_EQ(Bytes(buf->macros), macros.bytes);
    EXPECT_EQ(Bytes(buf->combinations), combs.bytes);
    EXPECT_EQ(rate, 8);
}

TEST_F(SettingsStore, WrongTypeMacroSettingIsRepairedAloneAndTheOthersStayAsStored) {
    for (std::uint32_t type : {kRegDword, kRegSz}) {
        SCOPED_TRACE(type);
        RemoveScratchKey();
        std::vector<std::uint8_t> keys(1296, 0x33), combs(52404, 0x44);
        Store(u"KeySetting", kRegBinary, keys);
        Store(u"MacroSetting", type, {1, 0, 0, 0});
        Store(u"CombSetting", kRegBinary, combs);
        Store(u"RateSetting", kRegBinary, {2, 0, 0, 0});
        std::memset(static_cast<void*>(&buf->macros), 0x77, sizeof buf->macros);
        Load();
        EXPECT_EQ(Read(u"MacroSetting").bytes, std::vector<std::uint8_t>(130404, 0));
        EXPECT_EQ(Read(u"MacroSetting").type, kRegBinary);
        EXPECT_EQ(Bytes(buf->macros), std::vector<std::uint8_t>(130404, 0));
        EXPECT_EQ(Read(u"KeySetting").bytes, keys);
        EXPECT_EQ(Bytes(buf->keys), keys);
        EXPECT_EQ(Read(u"CombSetting").bytes, combs);
        EXPECT_EQ(rate, 2);
    }
}

TEST_F(SettingsStore, OversizedKeySettingIsReplacedByTheDefaults) {
    Store(u"KeySetting", kRegBinary, std::vector<std::uint8_t>(1300, 0x55));
    Store(u"MacroSetting", kRegBinary, std::vector<std::uint8_t>(130404, 0x11));
    Store(u"CombSetting", kRegBinary, std::vector<std::uint8_t>(52404, 0));
    Store(u"RateSetting", kRegBinary, {1, 0, 0, 0});
    Load();
    EXPECT_EQ(Read(u"KeySetting").bytes, DefaultKeySetting());
    EXPECT_EQ(Bytes(buf->keys), DefaultKeySetting());
    EXPECT_EQ(Bytes(buf->macros), std::vector<std::uint8_t>(130404, 0x11));  // judged by itself
    EXPECT_EQ(rate, 1);
}

TEST_F(SettingsStore, ShortKeySettingReplacesOnlyItsRecords) {
    std::vector<std::uint8_t> head(600, 0x21);
    Store(u"KeySetting", kRegBinary, head);
    std::memset(static_cast<void*>(&buf->keys), 0x99, sizeof buf->keys);
    Load();
    std::vector<std::uint8_t> expected(1296, 0x99);
    std::fill_n(expected.begin(), 600, 0x21);  // records 0 to 49
    EXPECT_EQ(Bytes(buf->keys), expected);
    EXPECT_EQ(Read(u"KeySetting").bytes, head);  // accepted, not rewritten
    // The missing values were created.
    EXPECT_EQ(ValueCountUnder(kPath), 4u);
}

TEST_F(SettingsStore, RateSettingOfTheWrongTypeOrSizeIsRepairedToEight) {
    Store(u"RateSetting", kRegDword, {2, 0, 0, 0});
    Load();
    EXPECT_EQ(rate, 8);
    EXPECT_EQ(Read(u"RateSetting").bytes, (std::vector<std::uint8_t>{8, 0, 0, 0}));
    Store(u"RateSetting", kRegBinary, {2, 0, 0, 0, 0});
    rate = 1;
    Load();
    EXPECT_EQ(rate, 8);
    EXPECT_EQ(Read(u"RateSetting").bytes, (std::vector<std::uint8_t>{8, 0, 0, 0}));
}

TEST_F(SettingsStore, ReloadUsesAValueOfTheWrongTypeUnchanged) {
    Load();
    const std::vector<std::uint8_t> text = {0x41, 0, 0x42, 0, 0, 0};
    Store(u"CombSetting", kRegSz, text);
    Store(u"RateSetting", kRegDword, {1, 0, 0, 0});
    Reload();
    std::vector<std::uint8_t> expected(52404, 0);
    std::copy(text.begin(), text.end(), expected.begin());
    EXPECT_EQ(Bytes(buf->combinations), expected);
    EXPECT_EQ(rate, 1);
    EXPECT_EQ(Read(u"CombSetting").type, kRegSz);  // reload never writes
}

TEST_F(SettingsStore, ReloadLeavesABufferAloneWhenItsValueIsTooLargeOrMissing) {
    Load();
    Store(u"KeySetting", kRegBinary, std::vector<std::uint8_t>(1297, 0x66));
    Store(u"RateSetting", kRegBinary, {1, 0});  // shorter: replaces only its own bytes
    std::memset(static_cast<void*>(&buf->keys), 0x99, sizeof buf->keys);
    rate = 0x01020308;
    Reload();
    EXPECT_EQ(Bytes(buf->keys), std::vector<std::uint8_t>(1296, 0x99));
    EXPECT_EQ(rate, 0x01020001);

    RemoveScratchKey();
    Reload();  // no key: everything stays
    EXPECT_EQ(Bytes(buf->keys), std::vector<std::uint8_t>(1296, 0x99));
    EXPECT_EQ(ValueCountUnder(kPath), 0u);
}

TEST_F(SettingsStore, ReloadReadsEveryValueInFull) {
    Load();
    std::vector<std::uint8_t> macros(130404), keys(1296);
    for (std::size_t i = 0; i < macros.size(); ++i) macros[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = static_cast<std::uint8_t>(i * 3);
    Store(u"MacroSetting", kRegBinary, macros);
    Store(u"KeySetting", kRegBinary, keys);
    Reload();
    EXPECT_EQ(Bytes(buf->macros), macros);
    EXPECT_EQ(Bytes(buf->keys), keys);
    EXPECT_EQ(buf->macros.Count(), static_cast<std::int32_t>(LoadLe32(&macros[130400])));
}

}  // namespace
