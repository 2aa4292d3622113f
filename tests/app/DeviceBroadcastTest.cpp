// Reading the interface path out of notification records, recognising the keyboard in
// it, and composing the paths of the files beside the executable.
#include "BroadcastRecord.h"
#include "app/DeviceBroadcast.h"
#include "app/ModulePath.h"
#include "driver/KeyboardId.h"

#include <gtest/gtest.h>

std::vector<std::uint8_t> BroadcastRecord(std::u16string_view path, std::uint32_t type, bool terminate) {
    const std::size_t chars = path.size() + (terminate ? 1 : 0);
    const auto size = static_cast<std::uint32_t>(kBroadcastPathOffset + 2 * chars);
    std::vector<std::uint8_t> r(size, 0);
    for (int i = 0; i < 4; ++i) {
        r[i] = static_cast<std::uint8_t>(size >> (8 * i));
        r[4 + i] = static_cast<std::uint8_t>(type >> (8 * i));
    }
    for (std::size_t i = 0; i < 16; ++i) r[12 + i] = static_cast<std::uint8_t>(0xA0 + i);  // class GUID
    for (std::size_t i = 0; i < path.size(); ++i) {
        r[kBroadcastPathOffset + 2 * i] = static_cast<std::uint8_t>(path[i] & 0xFF);
        r[kBroadcastPathOffset + 2 * i + 1] = static_cast<std::uint8_t>(path[i] >> 8);
    }
    return r;
}

namespace {

TEST(DeviceBroadcast, InterfaceRecordsYieldTheirPath) {
    const auto record = BroadcastRecord(kKeyboardPath);
    EXPECT_EQ(DeviceInterfacePath(record.data()), kKeyboardPath);
    EXPECT_EQ(DeviceInterfacePath(BroadcastRecord(u"x").data()), u"x");
}

TEST(DeviceBroadcast, OtherRecordsAndNullYieldNothing) {
    EXPECT_EQ(DeviceInterfacePath(nullptr), u"");
    for (std::uint32_t type : {0u, 1u, 2u, 3u, 4u, 6u, 0x105u})
        EXPECT_EQ(DeviceInterfacePath(BroadcastRecord(kKeyboardPath, type).data()), u"") << "type " << type;
    // A header-only record names no path.
    std::vector<std::uint8_t> header = BroadcastRecord(u"", 5, false);
    EXPECT_EQ(header.size(), kBroadcastPathOffset);
    EXPECT_EQ(DeviceInterfacePath(header.data()), u"");
}

TEST(DeviceBroadcast, PathStopsAtTheRecordsEndWithoutATerminator) {
    // The buffer goes on beyond the record with characters that must not be read.
    auto record = BroadcastRecord(u"USB#VID_04D9&PID_A0", 5, false);
    for (char16_t c : std::u16string_view(u"59#tail\0", 8)) {
        record.push_back(static_cast<std::uint8_t>(c));
        record.push_back(0);
    }
    EXPECT_EQ(DeviceInterfacePath(record.data()), u"USB#VID_04D9&PID_A0");
    // An odd size ends the path before the half character.
    auto odd = BroadcastRecord(u"AB", 5, false);
    odd[0] -= 1;
    EXPECT_EQ(DeviceInterfacePath(odd.data()), u"A");
}

TEST(DeviceBroadcast, PathEndsAtTheFirstZero) {
    auto record = BroadcastRecord(std::u16string_view(u"abc\0VID_04D9&PID_A059", 21));
    EXPECT_EQ(DeviceInterfacePath(record.data()), u"abc");
}

TEST(KeyboardId, FoundAnywhereInAnyLetterCase) {
    EXPECT_TRUE(ContainsKeyboardId(kKeyboardPath));
    EXPECT_TRUE(ContainsKeyboardId(u"\\\\?\\usb#vid_04d9&pid_a059#5&2b"));
    EXPECT_TRUE(ContainsKeyboardId(u"HID#Vid_04D9&Pid_a059&MI_01"));
    EXPECT_TRUE(ContainsKeyboardId(u"VID_04D9&PID_A059"));
    EXPECT_FALSE(ContainsKeyboardId(kMousePath));
    EXPECT_FALSE(ContainsKeyboardId(u"VID_04D9&PID_A05"));
    EXPECT_FALSE(ContainsKeyboardId(u"VID_04D9 PID_A059"));
    EXPECT_FALSE(ContainsKeyboardId(u""));
}

TEST(ModulePath, SiblingKeepsDriveAndDirectory) {
    EXPECT_EQ(SiblingFilePath(u"C:\\Program Files\\Orvex\\K7_Setting.exe", u"language", u"xml"),
              u"C:\\Program Files\\Orvex\\language.xml");
    EXPECT_EQ(SiblingFilePath(u"C:\\a.b\\K7_Setting", u"ButtonPos", u"xml"), u"C:\\a.b\\ButtonPos.xml");
    EXPECT_EQ(SiblingFilePath(u"\\\\server\\share\\K7.exe", u"K7_Config", u"exe"), u"\\\\server\\share\\K7_Config.exe");
    EXPECT_EQ(SiblingFilePath(u"C:K7.exe", u"language", u"xml"), u"C:language.xml");
    EXPECT_EQ(SiblingFilePath(u"K7.exe", u"language", u"xml"), u"language.xml");
    EXPECT_EQ(SiblingFilePath(u"", u"language", u"xml"), u"language.xml");
}

}  // namespace
