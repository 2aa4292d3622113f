// Reading files through the Windows side: UTF-16 paths, the system's error texts,
// the default ANSI code page, and the shipped files beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "xml/ButtonPositions.h"
#include "xml/LanguageStrings.h"
#include "xml/XmlDocument.h"

namespace {

std::u16string W(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

std::u16string FirstLineOfSystemMessage(DWORD error) {
    wchar_t buffer[100];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer, 100,
                             nullptr);
    std::wstring text(buffer, n);
    return W(text.substr(0, text.find_first_of(L"\r\n")));
}

std::u16string Acp(std::string_view bytes) {
    wchar_t out[64];
    int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out, 64);
    return W(std::wstring(out, n > 0 ? n : 0));
}

// A file in the temporary folder under a name that is not ASCII.
class TempFile {
public:
    explicit TempFile(std::string_view content,
                      const wchar_t* name = L"K7 \x041A\x043B\x0430\x0432\x0438\x0448\x0438 \x20AC.xml") {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        m_path = std::wstring(dir) + name;
        HANDLE h =
            CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
    }
    ~TempFile() { DeleteFileW(m_path.c_str()); }
    std::u16string Path() const { return W(m_path); }

private:
    std::wstring m_path;
};

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

TEST(DocumentFileWin32, UnicodePath) {
    TempFile file("<r><a/></r>");
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(file.Path())) << std::string(doc.StatusText().begin(), doc.StatusText().end());
    EXPECT_TRUE(doc.NextChildElement(u"a"));
}

TEST(DocumentFileWin32, SystemErrorTexts) {
    XmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(u"C:\\k7-no-such-file.xml"));
    EXPECT_EQ(doc.StatusText(), FirstLineOfSystemMessage(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(doc.StatusText().empty());
    EXPECT_FALSE(doc.LoadFile(u"C:\\k7-no-such-folder\\ButtonPos.xml"));
    EXPECT_EQ(doc.StatusText(), FirstLineOfSystemMessage(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(doc.DocumentText(), u"");
}

TEST(DocumentFileWin32, EmptyFile) {
    TempFile file("");
    XmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(file.Path()));
    EXPECT_EQ(doc.StatusText(), u"ANSI 0 length  Empty document");
}

TEST(DocumentFileWin32, DefaultAnsiCodePage) {
    TempFile file(" <r>\xE9\x80</r>");
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(file.Path()));
    EXPECT_EQ(doc.StatusText(), u"ANSI length 10 (used UTF-8 detection) to 10 wide chars ");
    EXPECT_EQ(doc.DocumentText(), Acp(" <r>\xE9\x80</r>"));
}

TEST(DocumentFileWin32, CodePageWithoutConverterFallsBackToAnsi) {
    TempFile file("<?xml version=\"1.0\" encoding=\"unicodeFFFE\"?><r>\xE9</r>");
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(file.Path()));
    EXPECT_EQ(doc.StatusText(), u"unicodeFFFE length 52 to 52 wide chars ");
    EXPECT_EQ(doc.DocumentText().substr(47), Acp("\xE9</r>"));
}

TEST(DocumentFileWin32, DeclaredCodePages) {
    TempFile file("<?xml version=\"1.0\" encoding=\"shift_jis\"?><r>\x82\xA0</r>");
    XmlDocument doc;
    EXPECT_TRUE(doc.LoadFile(file.Path()));
    EXPECT_EQ(doc.DocumentText().substr(45), u"\u3042</r>");
}

TEST(ShippedFilesWin32, BesideTheProgram) {
    ButtonPosTable table{};
    LoadButtonPositions(W(ProgramFolder() + L"ButtonPos.xml"), table);
    EXPECT_EQ(table[0].name, u"Esc");
    EXPECT_EQ(table[0].vkcode, 0x1B);
    EXPECT_EQ(table[107].vkcode, 0xC4);
    LoadLanguageStrings(W(ProgramFolder() + L"language.xml"));
    EXPECT_EQ(str_title, u"K7 Gaming Keyboard");
    EXPECT_FALSE(str_msg4.empty());
}

}  // namespace
