// The sequence check itself: where it reports, what it prints, which fields an entry checks.
#include "Trace.h"

#include "app/Messages.h"
#include "keyboard/ControlCodes.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kConfig = 0x20040;

struct Reported {
    std::vector<testing::TestPartResult> failures;
    int line = 0;
};

// Runs one check with its failures intercepted; `line` is the check's own line.
Reported Check(const std::vector<Event>& recorded, std::span<const Event> expected) {
    Trace trace;
    for (const Event& e : recorded) trace.Add(e);
    testing::TestPartResultArray results;
    Reported reported;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        reported.line = __LINE__ + 1;
        ExpectSequence(trace, expected, "the step");
    }
    for (int i = 0; i < results.size(); ++i) reported.failures.push_back(results.GetTestPartResult(i));
    EXPECT_TRUE(trace.Events().empty()) << "the check clears the trace";
    return reported;
}

const std::vector<Event> kRecorded = {
    {Ev::Post, kConfig, WM_APPLY_PROGRESS, 0, 25},
    {Ev::DevControl, 0, IOCTL_WRITE_KEY_TABLE, 608, 0},
};

TEST(SequenceCheck, AMismatchIsReportedAtTheCallersLineWithNames) {
    static const Event expected[] = {
        {Ev::Post, kConfig, WM_APPLY_PROGRESS, 0, 50},
        {Ev::DevControl, 0, IOCTL_WRITE_KEY_TABLE, 608, 0},
    };
    const Reported r = Check(kRecorded, expected);
    ASSERT_EQ(r.failures.size(), 1u);
    const testing::TestPartResult& failure = r.failures[0];
    EXPECT_EQ(failure.line_number(), r.line);
    EXPECT_NE(std::string(failure.file_name()).find("TraceTest.cpp"), std::string::npos) << failure.file_name();
    const std::string message = failure.message();
    EXPECT_NE(message.find("the step: entry 0 expected Post to=0x20040 WM_APPLY_PROGRESS wParam=0 lParam=0x32, "
                           "recorded Post to=0x20040 WM_APPLY_PROGRESS wParam=0 lParam=0x19"),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("1: DevControl IOCTL_WRITE_KEY_TABLE size=0x260 first=0"), std::string::npos) << message;
}

TEST(SequenceCheck, AnEntryChecksOnlyTheFieldsItNames) {
    // Like Wine's `{ WM_APPLY_PROGRESS, sent }`: any parameters.
    static const Event anyProgress[] = {
        {.kind = Ev::Post, .window = kConfig, .a = WM_APPLY_PROGRESS, .checks = kCheckWindow | kCheckMsg},
        {.kind = Ev::DevControl, .a = IOCTL_WRITE_KEY_TABLE, .checks = kCheckCode},
    };
    EXPECT_TRUE(Check(kRecorded, anyProgress).failures.empty());

    // The kind is always checked, and so is every field an entry names.
    static const Event otherWindow[] = {
        {.kind = Ev::Post, .window = kConfig + 1, .a = WM_APPLY_PROGRESS, .checks = kCheckWindow | kCheckMsg},
        {.kind = Ev::DevControl, .checks = 0},
    };
    const Reported r = Check(kRecorded, otherWindow);
    ASSERT_EQ(r.failures.size(), 1u);
    EXPECT_NE(std::string(r.failures[0].message()).find("expected Post to=0x20041 WM_APPLY_PROGRESS wParam=* lParam=*"),
              std::string::npos)
        << r.failures[0].message();
    static const Event otherKind[] = {{.kind = Ev::Default, .checks = 0}, {.kind = Ev::DevControl, .checks = 0}};
    EXPECT_EQ(Check(kRecorded, otherKind).failures.size(), 1u);
}

TEST(SequenceCheck, AShorterOrLongerRecordingDiffersAtItsEnd) {
    const std::span<const Event> all(kRecorded);
    const Reported shorter = Check({kRecorded[0]}, all);
    ASSERT_EQ(shorter.failures.size(), 1u);
    EXPECT_NE(std::string(shorter.failures[0].message()).find("entry 1 expected DevControl"), std::string::npos);
    EXPECT_NE(std::string(shorter.failures[0].message()).find("recorded (the end)"), std::string::npos);

    const Reported longer = Check(kRecorded, all.first(1));
    ASSERT_EQ(longer.failures.size(), 1u);
    EXPECT_NE(std::string(longer.failures[0].message()).find("entry 1 expected (the end), recorded DevControl"),
              std::string::npos);
    EXPECT_TRUE(Check({}, {}).failures.empty());
}

}  // namespace
