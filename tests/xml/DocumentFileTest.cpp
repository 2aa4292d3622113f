// Reading files: encoding detection, decoding and the status text piece by piece.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestText.h"
#include "xml/XmlDocument.h"

namespace {

bool EndsWith(std::u16string_view text, std::u16string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

struct Loaded {
    XmlDocument doc;
    bool ok;
    std::string status;
};

Loaded Load(std::string_view bytes) {
    ScratchFile file(bytes);
    Loaded l;
    l.ok = l.doc.LoadFile(file.Path());
    l.status = U8(l.doc.StatusText());
    return l;
}

TEST(DocumentFile, Utf8StartingWithAnAngleBracket) {
    Loaded l = Load("<r>\xC3\xA9</r>");
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.status, "UTF-8 length 9 to 8 wide chars ");
    EXPECT_EQ(l.doc.DocumentText(), u"<r>\u00E9</r>");
    EXPECT_EQ(l.doc.Flags(), 0u);
}

TEST(DocumentFile, ByteOrderMarks) {
    Loaded le = Load(std::string("\xFF\xFE<\0r\0>\0\xE9\0<\0/\0r\0>\0", 18));
    EXPECT_TRUE(le.ok);
    EXPECT_EQ(le.status, "UTF-16LE BOM + length 8 ");
    EXPECT_EQ(le.doc.DocumentText(), u"<r>\u00E9</r>");
    EXPECT_EQ(le.doc.Flags(), XmlDocument::kUtf16LeFile);

    Loaded be = Load(std::string("\xFE\xFF\0<\0r\0>\x04\x30\0<\0/\0r\0>", 18));
    EXPECT_TRUE(be.ok);
    EXPECT_EQ(be.status, "UTF-16BE BOM + length 8 endian swap ");
    EXPECT_EQ(be.doc.DocumentText(), u"<r>\u0430</r>");
    EXPECT_EQ(be.doc.Flags(), XmlDocument::kUtf16BeFile);

    Loaded u8 = Load("\xEF\xBB\xBF<r>\xE2\x82\xAC</r>");
    EXPECT_TRUE(u8.ok);
    EXPECT_EQ(u8.status, "UTF-8 BOM + length 10 to 8 wide chars ");
    EXPECT_EQ(u8.doc.DocumentText(), u"<r>\u20AC</r>");
    EXPECT_EQ(u8.doc.Flags(), XmlDocument::kUtf8BomFile);
}

TEST(DocumentFile, Utf16EdgeCases) {
    // An odd trailing byte is dropped; zero units are removed.
    Loaded odd = Load(std::string("\xFF\xFE<\0r\0\0\0/\0>\0x", 13));
    EXPECT_TRUE(odd.ok);
    EXPECT_EQ(odd.status, "UTF-16LE BOM + length 5 (1 nulls removed) ");
    EXPECT_EQ(odd.doc.DocumentText(), u"<r/>");
    // A mark alone leaves nothing to read.
    Loaded mark = Load("\xFF\xFE");
    EXPECT_FALSE(mark.ok);
    EXPECT_EQ(mark.status, "UTF-16LE BOM + 0 length  Empty document");
}

TEST(DocumentFile, Utf16WithoutMarkReadsAsOneByteText) {
    Loaded l = Load(std::string("<\0r\0/\0>\0", 8));
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.status, "UTF-8 length 8 (4 nulls removed) to 4 wide chars ");
    EXPECT_EQ(l.doc.DocumentText(), u"<r/>");
}

TEST(DocumentFile, Utf8Detection) {
    Loaded valid = Load(" <r>\xC3\xA9</r>");
    EXPECT_TRUE(valid.ok);
    EXPECT_EQ(valid.status, "UTF-8 length 10 (used UTF-8 detection) to 9 wide chars ");
    EXPECT_EQ(valid.doc.DocumentText(), u" <r>\u00E9</r>");

    // Not UTF-8: the default ANSI code page.
    Loaded ansi = Load(" <r>\xE9\x80</r>");
    EXPECT_TRUE(ansi.ok);
    EXPECT_EQ(ansi.status, "ANSI length 10 (used UTF-8 detection) to 10 wide chars ");
    EXPECT_EQ(ansi.doc.DocumentText(), u" <r>\u00E9\u20AC</r>");

    // A sequence cut off by the end of the content, and a lead byte with bits 5 to 3 set.
    EXPECT_EQ(Load(" <r/>\xC3").status.substr(0, 5), "ANSI ");
    EXPECT_EQ(Load(" <r/>\xF8\x80\x80\x80\x80").status.substr(0, 5), "ANSI ");
    // Zero bytes are removed before the test.
    EXPECT_EQ(Load(std::string(" <r/>\xC3\0\xA9", 8)).status.substr(0, 6), "UTF-8 ");
}

TEST(DocumentFile, EmptyAndMissingFiles) {
    Loaded empty = Load("");
    EXPECT_FALSE(empty.ok);
    EXPECT_EQ(empty.status, "ANSI 0 length  Empty document");

    XmlDocument doc;
    EXPECT_FALSE(doc.LoadFile(u"/nonexistent/k7/ButtonPos.xml"));
    EXPECT_EQ(U8(doc.StatusText()), "No such file or directory");
    EXPECT_EQ(doc.DocumentText(), u"");
    EXPECT_FALSE(doc.NextElement(u""));
}

TEST(DocumentFile, ReadFailureEmptiesAnEarlierDocument) {
    ScratchFile file("<r><a/></r>");
    XmlDocument doc;
    ASSERT_TRUE(doc.LoadFile(file.Path()));
    ASSERT_TRUE(doc.NextChildElement(u"a"));
    EXPECT_FALSE(doc.LoadFile(file.Dir().u16string()));
    EXPECT_EQ(U8(doc.StatusText()), "Is a directory");
    EXPECT_EQ(doc.DocumentText(), u"");
    EXPECT_FALSE(doc.NextChildElement(u"a"));
    EXPECT_EQ(doc.ChildAttribute(u"x"), u"");
}

// The platform's reading, failing as a disk would once `g_failAt` bytes were read.
std::size_t g_failAt = 0;
bool ReadFailingAtOffset(std::u16string_view path, std::vector<std::uint8_t>& bytes, std::u16string& error) {
    EXPECT_TRUE(ReadFileBytes(path, bytes, error));
    EXPECT_GT(bytes.size(), g_failAt);
    bytes.resize(g_failAt);
    error = u"Input/output error";
    return false;
}

TEST(DocumentFile, ReadFailingAtAnOffset) {
    const std::string tail(2000, 'x');
    struct Case {
        std::string bytes;
        std::size_t failAt;
        const char* status;
    } cases[] = {
        // Past the first 1024 bytes: what they showed, then the system's message.
        {"<?xml version=\"1.0\" encoding=\"Windows-1252\"?><r>" + tail, 1024, "Windows-1252 Input/output error"},
        {std::string("\xFF\xFE<\0r\0>\0", 8) + tail, 1800, "UTF-16LE BOM + Input/output error"},
        {"\xEF\xBB\xBF<r>" + tail, 1500, "UTF-8 BOM + Input/output error"},
        {" <r>" + tail, 1024, "ANSI Input/output error"},
        // Within them: the message alone.
        {std::string("\xFE\xFF\0<", 4) + tail, 1023, "Input/output error"},
        {"<r>" + tail, 0, "Input/output error"},
    };
    for (const Case& c : cases) {
        ScratchFile file(c.bytes);
        XmlDocument doc;
        // An earlier document's text and encoding flag do not outlive the failure.
        ScratchFile earlier(std::string("\xFF\xFE<\0r\0/\0>\0", 10));
        ASSERT_TRUE(doc.LoadFile(earlier.Path()));
        ASSERT_EQ(doc.Flags(), XmlDocument::kUtf16LeFile);
        g_failAt = c.failAt;
        EXPECT_FALSE(doc.LoadFile(file.Path(), ReadFailingAtOffset)) << c.status;
        EXPECT_EQ(U8(doc.StatusText()), c.status);
        EXPECT_EQ(doc.Flags(), 0u) << c.status;
        EXPECT_EQ(doc.DocumentText(), u"") << c.status;
    }
}

TEST(DocumentFile, DeclaredEncoding) {
    Loaded cp1252 = Load("<?xml version=\"1.0\" encoding=\"WINDOWS-1252\"?><r>\x80</r>");
    EXPECT_TRUE(cp1252.ok);
    EXPECT_EQ(cp1252.status, "WINDOWS-1252 length 53 to 53 wide chars ");
    EXPECT_TRUE(EndsWith(cp1252.doc.DocumentText(), u"<r>\u20AC</r>"));

    Loaded cp437 = Load("<?xml version='1.0' encoding='437'?><r>\x80</r>");
    EXPECT_TRUE(EndsWith(cp437.doc.DocumentText(), u"<r>\u00C7</r>"));

    Loaded cyrillic = Load("<?XML encoding=koi8-r ?><r>\xC1</r>");
    EXPECT_EQ(cyrillic.status.substr(0, 7), "koi8-r ");
    EXPECT_TRUE(EndsWith(cyrillic.doc.DocumentText(), u"<r>\u0430</r>"));

    // A name not in the table converts from the default code page, under its own name.
    Loaded unknown = Load("<?xml version=\"1.0\" encoding=\"x-unknown\"?><r>\xE9</r>");
    EXPECT_EQ(unknown.status, "x-unknown length 50 to 50 wide chars ");
    EXPECT_TRUE(EndsWith(unknown.doc.DocumentText(), u"<r>\u00E9</r>"));

    // An empty encoding attribute, or none, determines nothing: the leading "<" rule.
    EXPECT_EQ(Load("<?xml encoding=\"\"?><r/>").status, "UTF-8 length 23 to 23 wide chars ");
    EXPECT_EQ(Load("<?xml version=\"1.0\"?><r/>").status, "UTF-8 length 25 to 25 wide chars ");
}

TEST(DocumentFile, OnlyTheFirstProcessingInstructionBeforeAnyTag) {
    EXPECT_EQ(Load("<?other x?><?xml encoding=\"koi8-r\"?><r/>").status.substr(0, 6), "UTF-8 ");
    EXPECT_EQ(Load("<r><?xml encoding=\"koi8-r\"?></r>").status.substr(0, 6), "UTF-8 ");
    EXPECT_EQ(Load("<!-- c --><?xml encoding=\"koi8-r\"?><r/>").status.substr(0, 7), "koi8-r ");
}

TEST(DocumentFile, EncodingsWithoutAConverter) {
    // 32-bit text: read like a file whose encoding is not declared.
    Loaded utf32 = Load("<?xml version=\"1.0\" encoding=\"UTF-32\"?><r>\xC3\xA9</r>");
    EXPECT_TRUE(utf32.ok);
    EXPECT_EQ(utf32.status, "UTF-8 length 48 to 47 wide chars ");
    // A code page that cannot be converted from falls back to the default one.
    Loaded utf16 = Load("<?xml version=\"1.0\" encoding=\"utf-16\"?><r>\xE9</r>");
    EXPECT_TRUE(utf16.ok);
    EXPECT_EQ(utf16.status, "utf-16 length 47 to 47 wide chars ");
    EXPECT_TRUE(EndsWith(utf16.doc.DocumentText(), u"<r>\u00E9</r>"));
}

TEST(DocumentFile, HtmlMetaCharset) {
    Loaded l = Load(
        "<html><head><meta name=x><META HTTP-EQUIV=\"content-type\" "
        "content=\"text/html; charset = windows-1251\"></head><body>\xE0</body></html>");
    EXPECT_EQ(l.status.substr(0, 13), "windows-1251 ");
    EXPECT_NE(l.doc.DocumentText().find(u"<body>\u0430</body>"), std::u16string::npos);

    // Not after html, after the end of head, or without a charset word: nothing found.
    const char* none[] = {
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\"><html/>",
        "<html><head></head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\"></html>",
        ("<html><meta http-equiv=\"Content-Type\" content=\"text/html\"><meta http-equiv=\"Content-Type\" "
         "content=\"text/html; charset=koi8-r\"></html>"),
    };
    for (const char* text : none) EXPECT_EQ(Load(text).status.substr(0, 6), "UTF-8 ") << text;
}

TEST(DocumentFile, MarkupErrorEndsTheDeclarationScan) {
    EXPECT_EQ(Load("<html>< <meta http-equiv=\"Content-Type\" content=\"charset=koi8-r\"></html>").status.substr(0, 6),
              "UTF-8 ");
}

TEST(DocumentFile, ParseProblemsFollowTheReadingText) {
    Loaded l = Load("<a/><b/>");
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.status, "UTF-8 length 8 to 8 wide chars  Root element has sibling");
    EXPECT_TRUE(l.doc.NextElement(u"b"));
}

TEST(DocumentFile, BytesInMemoryReadLikeAFile) {
    XmlDocument doc;
    const std::uint8_t bytes[] = {'<', 'r', '/', '>'};
    EXPECT_TRUE(doc.LoadBytes(bytes));
    EXPECT_EQ(U8(doc.StatusText()), "UTF-8 length 4 to 4 wide chars ");
}

// Documents big enough for the reader to ask for huge pages for their text (8.6 MB)
// read exactly as the same text given directly: in UTF-8 (which also takes a smaller
// text than bytes) and in UTF-16 with nulls removed.
TEST(DocumentFile, LargeDocumentsReadLikeTheirText) {
    const std::string filler(1'000, 'f');
    std::string utf8 = "<r>";
    std::u16string text = u"<r>";
    for (int i = 0; utf8.size() < 4'500'000; ++i) {
        const std::string number = std::to_string(i);
        utf8 += "<k n='" + number + " caf\xC3\xA9'>&lt;" + number + filler + "</k>\n";
        text += u"<k n='" + U16(number) + u" caf\u00E9'>&lt;" + U16(number + filler) + u"</k>\n";
    }
    utf8 += "</r>";
    text += u"</r>";
    std::string utf16(2 + 2 * text.size() + 4, '\0');  // ending in two null units
    utf16[0] = '\xFF', utf16[1] = '\xFE';
    for (std::size_t i = 0; i < text.size(); ++i) {
        utf16[2 + 2 * i] = static_cast<char>(text[i] & 0xFF);
        utf16[3 + 2 * i] = static_cast<char>(text[i] >> 8);
    }

    XmlDocument expected;
    expected.SetDocumentText(text);
    ASSERT_TRUE(expected.ParseDocument());
    for (const std::string& bytes : {utf8, utf16}) {
        XmlDocument doc;
        ASSERT_TRUE(doc.LoadBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())));
        ASSERT_EQ(doc.DocumentText(), text);
        ASSERT_EQ(doc.Elements().size(), expected.Elements().size());
        EXPECT_EQ(std::memcmp(doc.Elements().data(), expected.Elements().data(),
                              doc.Elements().size() * sizeof(ElementRecord)),
                  0);
        ASSERT_TRUE(doc.NextChildElement(u"k"));
        EXPECT_EQ(doc.ChildAttribute(u"n"), u"0 caf\u00E9");
        EXPECT_EQ(doc.ChildText(), u"<0" + U16(filler));
    }
}

}  // namespace
