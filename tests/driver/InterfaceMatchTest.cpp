// The presence test's step over one listed interface, with the system's requests and the
// allocation failing in turn: what it answers and the debug texts it leaves, exactly.
#include "driver/InterfaceMatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FakeInterface final : public IInterfaceDetail {
public:
    std::size_t size = 64;
    bool allocationFails = false;
    bool detailFails = false;
    std::u16string path;

    std::vector<std::u16string> texts;
    std::vector<std::string> calls;

    std::size_t DetailSize() override {
        calls.push_back("size");
        return size;
    }
    void* Allocate(std::size_t n) override {
        calls.push_back("allocate " + std::to_string(n));
        return allocationFails ? nullptr : m_buffer;
    }
    void Free(void* buffer) override { calls.push_back(buffer == m_buffer ? "free" : "free of another buffer"); }
    bool ReadDetail(void* buffer, std::size_t n, std::u16string_view& out) override {
        calls.push_back(buffer == m_buffer && n == size ? "detail" : "detail of another buffer");
        if (detailFails) return false;
        out = path;
        return true;
    }
    void DebugText(const char16_t* text) override { texts.emplace_back(text); }

private:
    char m_buffer[64];
};

TEST(InterfaceMatch, AnswersAndDebugTextsOfEachStep) {
    using Calls = std::vector<std::string>;
    using Texts = std::vector<std::u16string>;
    const std::u16string keyboard = u"\\\\?\\hid#vid_04d9&pid_a059&mi_00#7&1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    struct Case {
        const char* name;
        std::size_t size;
        bool allocationFails, detailFails;
        std::u16string path;
        bool match;
        Calls calls;
        Texts texts;
    } cases[] = {
        {"keyboard",
         64,
         false,
         false,
         keyboard,
         true,
         {"size", "allocate 64", "detail", "free"},
         {u"Success:Found K7 device\n"}},
        {"other device",
         64,
         false,
         false,
         u"\\\\?\\hid#vid_046d&pid_c52b#1",
         false,
         {"size", "allocate 64", "detail", "free"},
         {}},
        {"allocation fails",
         64,
         true,
         false,
         keyboard,
         false,
         {"size", "allocate 64"},
         {u"Error: OpenDeviceInterface: malloc failed\n"}},
        {"detail fails",
         64,
         false,
         true,
         keyboard,
         false,
         {"size", "allocate 64", "detail", "free"},
         {u"Error: SetupDiGetInterfaceDeviceDetail failed\n"}},
        {"size request fails",
         0,
         false,
         false,
         keyboard,
         false,
         {"size"},
         {u"Error: SetupDiGetInterfaceDeviceDetail failed\n"}},
    };
    for (const Case& c : cases) {
        FakeInterface iface;
        iface.size = c.size;
        iface.allocationFails = c.allocationFails;
        iface.detailFails = c.detailFails;
        iface.path = c.path;
        EXPECT_EQ(InterfaceMatchesKeyboard(iface), c.match) << c.name;
        EXPECT_EQ(iface.calls, c.calls) << c.name;
        EXPECT_EQ(iface.texts, c.texts) << c.name;
    }
}

}  // namespace
