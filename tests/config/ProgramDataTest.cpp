// The program's own files as text: the recent files, the note of why the agent closed the
// program, and the window's place, each read back as written and each told damaged with the
// line where the damage starts.
#include "config/ProgramData.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentFilesList, TheLastUsedComesFirstOnceAndTheListIsBounded) {
    RecentFiles files;
    AddRecentFile(files, u"C:\\profiles\\a.json");
    AddRecentFile(files, u"C:\\profiles\\b.json");
    AddRecentFile(files, u"c:\\PROFILES\\A.json");  // the same file to Windows
    EXPECT_EQ(files, (RecentFiles{u"c:\\PROFILES\\A.json", u"C:\\profiles\\b.json"}));

    for (int i = 0; i < 10; ++i) AddRecentFile(files, u"D:\\p" + std::u16string(1, char16_t(u'0' + i)) + u".json");
    ASSERT_EQ(files.size(), kMaxRecentFiles);
    EXPECT_EQ(files.front(), u"D:\\p9.json");
    EXPECT_EQ(files.back(), u"D:\\p2.json");

    RemoveRecentFile(files, u"d:\\P5.JSON");
    EXPECT_EQ(files.size(), kMaxRecentFiles - 1);
    EXPECT_EQ(std::count(files.begin(), files.end(), u"D:\\p5.json"), 0);
}

TEST(RecentFilesList, ReadsBackWhatItWroteWithNamesBeyondAscii) {
    const RecentFiles files{u"C:\\Users\\J\u00f6rg\\Profile\\\u30b2\u30fc\u30e0.json", u"\\\\server\\share\\fps.json"};
    std::string error = "sentinel";
    EXPECT_EQ(ReadRecentFiles(RecentFilesText(files), error), files);
    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadRecentFiles("", error), RecentFiles{});
    EXPECT_EQ(error, "") << "an empty list is no damage";
    EXPECT_EQ(ReadRecentFiles("C:\\a.json\nC:\\b.json", error), (RecentFiles{u"C:\\a.json", u"C:\\b.json"}))
        << "a last line without its line end";
    EXPECT_EQ(error, "");
}

TEST(RecentFilesList, ADamagedListKeepsWhatStandsBeforeTheDamageAndSaysWhere) {
    std::string error;
    EXPECT_EQ(ReadRecentFiles("C:\\a.json\r\nprofiles\\b.json\r\nC:\\c.json\r\n", error), RecentFiles{u"C:\\a.json"});
    EXPECT_EQ(error, "line 2: not the full path of a file");

    EXPECT_EQ(ReadRecentFiles("C:\\a.json\r\n\r\n", error), RecentFiles{u"C:\\a.json"});
    EXPECT_EQ(error, "line 2: not the full path of a file") << "an empty line";

    EXPECT_EQ(ReadRecentFiles("C:\\a\"b.json\r\n", error), RecentFiles{});
    EXPECT_EQ(error, "line 1: not the full path of a file") << "a character no file name has";

    EXPECT_EQ(ReadRecentFiles("C:\\a.json\r\nC:\\\xff\xfe.json\r\n", error), RecentFiles{});
    EXPECT_EQ(error, "not UTF-8 text");

    std::string many;
    for (int i = 0; i < 9; ++i) many += "C:\\" + std::to_string(i) + ".json\n";
    EXPECT_EQ(ReadRecentFiles(many, error).size(), kMaxRecentFiles);
    EXPECT_EQ(error, "line 9: more than 8 files");

    EXPECT_EQ(ReadRecentFiles("C:\\a.json\nc:\\A.JSON\n", error), RecentFiles{u"C:\\a.json"});
    EXPECT_EQ(error, "") << "a file listed twice is kept once";
}

TEST(ClosedByTheAgent, TheNoteReadsBackAsWritten) {
    std::string error;
    for (const ClosedNote& note :
         {ClosedNote{CloseReason::KeyboardRemoved, false, {}}, ClosedNote{CloseReason::AgentEnded, true, {}},
          ClosedNote{CloseReason::KeyboardRemoved, true, u"C:\\profiles\\f\u00fcr mich.json"},
          ClosedNote{CloseReason::KeyboardRemoved, false, {}, true},
          ClosedNote{CloseReason::AgentEnded, true, {}, true}}) {
        const auto back = ReadClosedNote(ClosedNoteText(note), error);
        ASSERT_TRUE(back.has_value()) << error;
        EXPECT_EQ(*back, note);
    }
    EXPECT_EQ(ClosedNoteText({CloseReason::AgentEnded, true, u"C:\\a.json"}),
              "reason: agent ended\r\ndraft: C:\\a.json\r\n");
    EXPECT_EQ(ClosedNoteText({CloseReason::KeyboardRemoved, false, {}, true}),
              "reason: keyboard removed during an apply\r\n");
}

TEST(ClosedByTheAgent, ADamagedNoteIsToldByLine) {
    std::string error;
    const std::pair<const char*, const char*> damaged[] = {
        {"", "line 1: no \"reason:\""},
        {"reason: tired\r\n", "line 1: unknown reason \"tired\""},
        {"reason: during an apply\r\n", "line 1: unknown reason \"during an apply\""},
        {"reason: agent ended\r\nkept: yes\r\n", "line 2: no \"draft:\""},
        {"reason: agent ended\r\ndraft: a.json\r\n", "line 2: not the full path of a file"},
        {"reason: agent ended\r\ndraft:\r\nmore\r\n", "line 3: more lines than a note has"},
        {"reason: agent ended\xc0\r\n", "not UTF-8 text"},
    };
    for (const auto& [text, expected] : damaged) {
        EXPECT_FALSE(ReadClosedNote(text, error).has_value()) << text;
        EXPECT_EQ(error, expected) << text;
    }
}

TEST(WindowPlace, ReadsBackAndRefusesWhatIsNoRectangle) {
    const WindowPlacement placed{-1200, 40, -200, 700, true};
    EXPECT_EQ(ReadPlacement(PlacementText(placed)), placed) << "a monitor left of the primary one";
    EXPECT_EQ(ReadPlacement("10 20 800 600\r\n"), (WindowPlacement{10, 20, 800, 600, false}));
    for (const char* damaged :
         {"", "10 20 800", "10 20 800 600 huge", "800 20 10 600", "10 20 10 600", "a b c d", "10 20 800 99999999999"})
        EXPECT_FALSE(ReadPlacement(damaged).has_value()) << damaged;
}

}  // namespace
