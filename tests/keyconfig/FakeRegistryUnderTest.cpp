#include "FakeRegistry.h"
#include "RegistryUnderTest.h"

namespace {
FakeRegistry& Fake() {
    static FakeRegistry fake;
    return fake;
}
}  // namespace

IRegistry& RegistryUnderTest() { return Fake(); }
void RemoveScratchKey() { Fake().RemoveKey(kScratchKeyPath); }
std::uint32_t ValueCountUnder(std::u16string_view path) { return static_cast<std::uint32_t>(Fake().ValueCount(path)); }
