// The registry the shared registry tests run against: the in-memory fake natively, the real
// hive under Wine. Tests work below a scratch key that is removed before and after each test.
#pragma once

#include "keyconfig/Registry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

inline constexpr char16_t kScratchKeyPath[] = u"Software\\K7KeyconfigTest";

IRegistry& RegistryUnderTest();
void RemoveScratchKey();
std::uint32_t ValueCountUnder(std::u16string_view path);  // 0 when the key is missing

class ScratchKeyTest : public testing::Test {
protected:
    void SetUp() override { RemoveScratchKey(); }
    void TearDown() override { RemoveScratchKey(); }
    IRegistry& reg = RegistryUnderTest();
};
