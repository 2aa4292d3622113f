// The reader over decoded text: element records, the messages of the first
// problem, navigation, attributes, element text and references.
#include <gtest/gtest.h>

#include "TestText.h"
#include "xml/XmlDocument.h"

namespace {

struct Parsed {
    XmlDocument doc;
    bool ok;
};

Parsed Parse(std::u16string_view text, unsigned flags = 0) {
    Parsed p;
    p.doc.SetFlags(flags);
    p.doc.SetDocumentText(std::u16string(text));
    p.ok = p.doc.ParseDocument();
    return p;
}

std::string Problem(std::u16string_view text) {
    Parsed p = Parse(text);
    EXPECT_FALSE(p.ok) << U8(text);
    return U8(p.doc.StatusText());
}

// Names of the main element's children, in order, by walking with the cursor.
std::string ChildNames(XmlDocument& doc) {
    std::string names;
    while (doc.NextChildElement(u"")) {
        std::u16string tag = doc.ChildAttribute(u"n");
        names += U8(tag) + " ";
    }
    return names;
}

TEST(XmlDocument, NewDocumentIsEmpty) {
    XmlDocument doc;
    EXPECT_EQ(U8(doc.StatusText()), "Empty document");
    EXPECT_FALSE(doc.NextElement(u""));
    EXPECT_FALSE(doc.NextChildElement(u""));
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_EQ(doc.ChildText(), u"");
    EXPECT_EQ(doc.ChildAttribute(u"a"), u"");
}

TEST(XmlDocument, EmptyTextAndTextWithoutElements) {
    EXPECT_EQ(Problem(u""), "Empty document");
    EXPECT_EQ(Problem(u"just text"), "No root element");
    EXPECT_EQ(Problem(u"<!-- c --><?pi x?>  "), "No root element");
    // "No root element" replaces an earlier message.
    EXPECT_EQ(Problem(u"< x"), "No root element");
}

TEST(XmlDocument, WellFormedDocument) {
    Parsed p = Parse(
        u"<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r a CDATA \">\">]>\n"
        u"<r a='1'><!-- c --><x/><y>t</y><![CDATA[<z>]]></r>\n");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(U8(p.doc.StatusText()), "");
    ASSERT_EQ(p.doc.Elements().size(), 4u);
}

TEST(XmlDocument, MarkupErrorsAreReportedWithTheirOffset) {
    EXPECT_EQ(Problem(u"<a>< b</a>"), "Incorrect tag name character at offset 3");
    EXPECT_EQ(Problem(u"<a><1></a>"), "Incorrect tag name character at offset 3");
    EXPECT_EQ(Problem(u"<a><!x></a>"), "Incorrect ! tag at offset 3");
    EXPECT_EQ(Problem(u"<a><!doctype a></a>"), "Incorrect ! tag at offset 3");
    EXPECT_EQ(Problem(u"<a><!-x></a>"), "Incorrect comment tag at offset 3");
    EXPECT_EQ(Problem(u"<a><![x></a>"), "Incorrect tag at offset 3");
}

TEST(XmlDocument, NodesCutOffByTheEndOfTheText) {
    EXPECT_EQ(Problem(u"<a><b x='>'"), "Element tag at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a></a"), "Element end tag at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><![CDATA[x]]"), "CDATA Section at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><?pi x?"), "Processing instruction at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><!-- x --"), "Comment at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><!DOCTYPE a [<!ELEMENT a ANY>]"), "Doctype at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><!ENTITY e \">\""), "Doctype at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><"), "tag at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><!"), "tag at offset 3 unterminated");
    EXPECT_EQ(Problem(u"<a><!-"), "tag at offset 3 unterminated");
}

TEST(XmlDocument, ScanningGoesOnAfterAnIncorrectNode) {
    Parsed p = Parse(u"<r><!x <y/> ><z n='z'/></r>");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(U8(p.doc.StatusText()), "Incorrect ! tag at offset 3");
    // The error node reaches the first ">", so <y/> is inside it; z is found.
    ASSERT_TRUE(p.doc.NextElement(u"r"));
    EXPECT_EQ(ChildNames(p.doc), "z ");
}

TEST(XmlDocument, EndTagErrors) {
    EXPECT_EQ(Problem(u"<a></b></a>"), "No start tag for end tag 'b' at offset 3");
    EXPECT_EQ(Problem(u"<a><b></a>"), "End tag 'a' at offset 7 does not match start tag 'b' at offset 3");
    // Closing a not-ended root makes its children top-level elements.
    EXPECT_EQ(Problem(u"<a><b>"), "Element 'b' at offset 3 not endedRoot element has sibling");
    // Only the first problem is described.
    EXPECT_EQ(Problem(u"<a></x><b></a>"), "No start tag for end tag 'x' at offset 3");
}

TEST(XmlDocument, MismatchedTagsCloseTheInnerElementAsNotEnded) {
    Parsed p = Parse(u"<a n='a'><b n='b'><c n='c'/><d n='d'></d></a>");
    EXPECT_FALSE(p.ok);
    const auto& e = p.doc.Elements();
    ASSERT_EQ(e.size(), 5u);
    // a is complete through its end tag; b keeps only its start tag.
    EXPECT_EQ(e[1].length, 45u);
    EXPECT_EQ(e[1].endTagLength, 4u);
    EXPECT_EQ(e[1].flags, 0u);
    EXPECT_EQ(e[2].length, e[2].startTagLength);
    EXPECT_EQ(e[2].flags, ElementRecord::kNotEnded);
    EXPECT_EQ(e[0].flags, ElementRecord::kNotWellFormed);
    // b's children became its following siblings.
    ASSERT_TRUE(p.doc.NextElement(u"a"));
    EXPECT_EQ(ChildNames(p.doc), "b c d ");
    EXPECT_EQ(e[3].parent, 1u);
    EXPECT_EQ(e[e[1].firstChild].prevSibling, 4u);  // the first child points at the last
}

TEST(XmlDocument, ElementsStillOpenAtTheEndBecomeSiblings) {
    Parsed p = Parse(u"<r n='r'><a n='a'><b n='b'/>");
    EXPECT_EQ(U8(p.doc.StatusText()), "Element 'a' at offset 9 not endedRoot element has sibling");
    ASSERT_TRUE(p.doc.NextElement(u"r"));
    EXPECT_EQ(ChildNames(p.doc), "");
    ASSERT_TRUE(p.doc.NextElement(u"a"));
    ASSERT_TRUE(p.doc.NextElement(u"b"));
    EXPECT_FALSE(p.doc.NextElement(u""));
}

TEST(XmlDocument, DeepNestNeverEndedIsFlattenedInOnePass) {
    constexpr std::size_t kDepth = 300'000;
    std::u16string text;
    for (std::size_t i = 0; i < kDepth; ++i) text += u"<a>";
    text += u"<b/></a>";  // closes the innermost a only
    Parsed p = Parse(text);
    EXPECT_FALSE(p.ok);
    const auto& e = p.doc.Elements();
    ASSERT_EQ(e.size(), kDepth + 2);
    EXPECT_EQ(e[kDepth].flags, 0u);  // the innermost a, complete with its child b
    EXPECT_EQ(e[kDepth + 1].parent, kDepth);
    std::size_t top = 0;
    for (p.doc.Rewind(); p.doc.NextElement(u"");) ++top;
    EXPECT_EQ(top, kDepth);
}

// Stray end tags under a deep nest are each answered without walking the nest, and an end
// tag that does match still closes everything above it.
TEST(XmlDocument, StrayEndTagsUnderADeepNestCostNoMoreThanTheirSize) {
    constexpr std::size_t kDepth = 200'000;
    std::u16string text = u"<R>";
    for (std::size_t i = 0; i < kDepth; ++i) text += u"<a>";
    for (std::size_t i = 0; i < kDepth; ++i) text += u"</b>";
    text += u"</r>";
    Parsed p = Parse(text);
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(U8(p.doc.StatusText()).substr(0, 41), "No start tag for end tag 'b' at offset 60");
    EXPECT_EQ(p.doc.Elements().size(), kDepth + 2);

    // Names count as the document compares them: </r> ends <R> only when case is ignored.
    Parsed folded = Parse(text, XmlDocument::kIgnoreCase);
    EXPECT_FALSE(folded.ok);
    const auto& e = folded.doc.Elements();
    EXPECT_EQ(e[1].flags, 0u);  // <R> ended by </r>
    EXPECT_EQ(e[1].endTagLength, 4u);
    EXPECT_EQ(e[2].flags & ElementRecord::kNotEnded, ElementRecord::kNotEnded);
}

TEST(XmlDocument, RootWithSiblings) {
    Parsed p = Parse(u"<a/><b/>");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(U8(p.doc.StatusText()), "Root element has sibling");
    EXPECT_TRUE(p.doc.NextElement(u""));
    EXPECT_TRUE(p.doc.NextElement(u"b"));
    EXPECT_FALSE(p.doc.NextElement(u""));
    // Appended without a separator to a message already there.
    EXPECT_EQ(Problem(u"<a></x></a><b/>"), "No start tag for end tag 'x' at offset 3Root element has sibling");
}

TEST(XmlDocument, EmptyElementTags) {
    // "/>" ends the element after the name, white space or a quoted value ...
    EXPECT_TRUE(Parse(u"<r><a/><b /><c x='1'/><d x=\"1\"/></r>").ok);
    // ... but after an unquoted value the "/" belongs to the value.
    EXPECT_EQ(Problem(u"<r><a x=1/></r>"), "End tag 'r' at offset 12 does not match start tag 'a' at offset 3");
    Parsed p = Parse(u"<r><a x=1/></a></r>");
    ASSERT_TRUE(p.ok);
    ASSERT_TRUE(p.doc.NextChildElement(u"a"));
    EXPECT_EQ(p.doc.ChildAttribute(u"x"), u"1/");
}

TEST(XmlDocument, QuotedValuesMayHoldAngleBrackets) {
    Parsed p = Parse(u"<r><a x=\"1>2\" y='<'/></r>");
    ASSERT_TRUE(p.ok);
    ASSERT_TRUE(p.doc.NextChildElement(u"a"));
    EXPECT_EQ(p.doc.ChildAttribute(u"x"), u"1>2");
    EXPECT_EQ(p.doc.ChildAttribute(u"y"), u"<");
}

TEST(XmlDocument, LengthsBeyondTheWidthOfPackedFields) {
    // A start tag longer than 22 bits and an end tag longer than 10 bits.
    std::u16string value(5'000'000, u'v');
    std::u16string name(2'000, u'n');
    std::u16string text = u"<r><" + name + u" a='" + value + u"'>t</" + name + u"></r>";
    Parsed p = Parse(text);
    ASSERT_TRUE(p.ok);
    const ElementRecord& e = p.doc.Elements()[2];
    EXPECT_EQ(e.startTagLength, name.size() + value.size() + 7);
    EXPECT_EQ(e.endTagLength, name.size() + 3);
    EXPECT_EQ(e.length, e.startTagLength + 1 + e.endTagLength);
    ASSERT_TRUE(p.doc.NextChildElement(name));
    EXPECT_EQ(p.doc.ChildText(), u"t");
    EXPECT_EQ(p.doc.ChildAttribute(u"a").size(), value.size());
}

TEST(XmlDocument, NamesMatchExactly) {
    Parsed p = Parse(u"<r><key;x n='1'/><Key n='2'/><keys n='3'/><kez n='5'/><key n='4'/></r>");
    ASSERT_TRUE(p.ok);
    ASSERT_TRUE(p.doc.NextChildElement(u"key"));  // the name ends at ";"
    EXPECT_EQ(p.doc.ChildAttribute(u"n"), u"1");
    ASSERT_TRUE(p.doc.NextChildElement(u"key"));
    EXPECT_EQ(p.doc.ChildAttribute(u"n"), u"4");
    EXPECT_FALSE(p.doc.NextChildElement(u"key"));
    EXPECT_FALSE(p.doc.NextChildElement(u"ke"));

    p.doc.SetFlags(XmlDocument::kIgnoreCase);
    p.doc.Rewind();
    ASSERT_TRUE(p.doc.NextChildElement(u"KEY"));
    ASSERT_TRUE(p.doc.NextChildElement(u"KEY"));
    EXPECT_EQ(p.doc.ChildAttribute(u"N"), u"2");
}

TEST(XmlDocument, CursorMoves) {
    Parsed p = Parse(u"<r n='r'><a n='a'><a1 n='a1'/><a2 n='a2'/></a><b n='b'/></r>");
    ASSERT_TRUE(p.ok);
    XmlDocument& doc = p.doc;
    EXPECT_FALSE(doc.EnterElement());         // no main position
    EXPECT_FALSE(doc.NextElement(u"a"));      // not on the top level
    ASSERT_TRUE(doc.NextChildElement(u"b"));  // takes r as the main position first
    EXPECT_EQ(doc.ChildAttribute(u"n"), u"b");
    EXPECT_FALSE(doc.NextChildElement(u"a"));   // a comes before b: not found ...
    EXPECT_EQ(doc.ChildAttribute(u"n"), u"b");  // ... and the child position stays
    doc.Rewind();
    EXPECT_EQ(doc.ChildAttribute(u"n"), u"");
    ASSERT_TRUE(doc.NextChildElement(u"a"));
    ASSERT_TRUE(doc.EnterElement());  // a becomes the main position
    EXPECT_EQ(ChildNames(doc), "a1 a2 ");
    ASSERT_TRUE(doc.EnterElement());  // into a2, which has no children
    EXPECT_FALSE(doc.NextChildElement(u""));
    ASSERT_TRUE(doc.EnterElement());  // no child position: main becomes none
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_EQ(doc.ChildAttribute(u"n"), u"");
}

TEST(XmlDocument, NextElementWalksTheMainLevel) {
    Parsed p = Parse(u"<r><a n='1'/><b n='2'/><a n='3'/></r>");
    ASSERT_TRUE(p.ok);
    XmlDocument& doc = p.doc;
    ASSERT_TRUE(doc.NextChildElement(u"a"));
    ASSERT_TRUE(doc.EnterElement());     // parent r, main the first a
    ASSERT_TRUE(doc.NextElement(u"a"));  // skips b
    EXPECT_FALSE(doc.NextElement(u""));
    EXPECT_FALSE(doc.NextElement(u"b"));  // nothing changed: still at the last a
    doc.Rewind();
    ASSERT_TRUE(doc.NextChildElement(u"a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.NextElement(u"b"));
    ASSERT_TRUE(doc.NextElement(u""));
    EXPECT_FALSE(doc.NextElement(u""));
}

TEST(XmlDocument, Attributes) {
    Parsed p = Parse(u"<r><k a=\"1\" b='2' c=3 flag d = \"4\" e='&amp;&lt;' f=\"x y\"/></r>");
    ASSERT_TRUE(p.ok);
    ASSERT_TRUE(p.doc.NextChildElement(u"k"));
    EXPECT_EQ(p.doc.ChildAttribute(u"a"), u"1");
    EXPECT_EQ(p.doc.ChildAttribute(u"b"), u"2");
    EXPECT_EQ(p.doc.ChildAttribute(u"c"), u"3");
    EXPECT_EQ(p.doc.ChildAttribute(u"flag"), u"flag");
    EXPECT_EQ(p.doc.ChildAttribute(u"d"), u"4");
    EXPECT_EQ(p.doc.ChildAttribute(u"e"), u"&<");
    EXPECT_EQ(p.doc.ChildAttribute(u"f"), u"x y");
    EXPECT_EQ(p.doc.ChildAttribute(u"y"), u"");  // inside a value, not an attribute
    EXPECT_EQ(p.doc.ChildAttribute(u"k"), u"");  // the element's own name
    EXPECT_EQ(p.doc.ChildAttribute(u"A"), u"");
}

// Attributes are remembered per element as far as they were read: any order of
// reads, another element, a change of letter-case matching and a new parse.
TEST(XmlDocument, AttributesReadInAnyOrder) {
    Parsed p = Parse(u"<r><k a='1' b='2' a='3' c='4'/><k c='5' b=\"6\"/></r>");
    XmlDocument& doc = p.doc;
    ASSERT_TRUE(doc.NextChildElement(u"k"));
    EXPECT_EQ(doc.ChildAttribute(u"c"), u"4");
    EXPECT_EQ(doc.ChildAttribute(u"a"), u"1");  // the first of two
    EXPECT_EQ(doc.ChildAttribute(u"b"), u"2");
    EXPECT_EQ(doc.ChildAttribute(u"C"), u"");
    EXPECT_EQ(doc.ChildAttribute(u"d"), u"");
    EXPECT_EQ(doc.ChildAttribute(u"c"), u"4");
    doc.SetFlags(XmlDocument::kIgnoreCase);
    EXPECT_EQ(doc.ChildAttribute(u"C"), u"4");
    doc.SetFlags(0);
    ASSERT_TRUE(doc.NextChildElement(u"k"));
    EXPECT_EQ(doc.ChildAttribute(u"b"), u"6");
    EXPECT_EQ(doc.ChildAttribute(u"a"), u"");
    EXPECT_EQ(doc.ChildAttribute(u"c"), u"5");

    // The same element number in a new text.
    doc.SetDocumentText(u"<r><k b='7'/></r>");
    ASSERT_TRUE(doc.ParseDocument());
    ASSERT_TRUE(doc.NextChildElement(u"k"));
    EXPECT_EQ(doc.ChildAttribute(u"c"), u"");
    EXPECT_EQ(doc.ChildAttribute(u"b"), u"7");
    const std::string bytes = "<r><k c='8'/><k c='9'/></r>";
    doc.LoadBytes(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(doc.NextChildElement(u"k"));
    ASSERT_TRUE(doc.NextChildElement(u"k"));
    EXPECT_EQ(doc.ChildAttribute(u"c"), u"9");
}

// The searches go eight units at a time: every length and position around a block,
// with the units they look for at each place.
TEST(XmlDocument, ValuesAndTextsOfEveryLength) {
    for (std::size_t pad = 0; pad < 9; ++pad) {
        for (std::size_t len = 0; len < 20; ++len) {
            const std::u16string lead(pad, u' '), run(len, u'x');
            const std::u16string text = u"<r>" + lead + u"<k " + lead + u"a=\"" + run + u"&amp;>'\" b='" + run +
                                        u"\"' c=" + run + u"d" + lead + u" /><t>" + run + u"&lt;" + run + u"</t>" +
                                        lead + u"<!--" + run + u"--></r>";
            Parsed p = Parse(text);
            SCOPED_TRACE(U8(text));
            ASSERT_TRUE(p.ok);
            ASSERT_TRUE(p.doc.NextChildElement(u"k"));
            EXPECT_EQ(p.doc.ChildAttribute(u"c"), run + u"d");
            EXPECT_EQ(p.doc.ChildAttribute(u"a"), run + u"&>'");
            EXPECT_EQ(p.doc.ChildAttribute(u"b"), run + u"\"");
            ASSERT_TRUE(p.doc.NextChildElement(u"t"));
            EXPECT_EQ(p.doc.ChildText(), run + u"<" + run);
            EXPECT_EQ(p.doc.Elements().size(), 4u);
        }
    }
}

TEST(XmlDocument, ChildText) {
    Parsed p = Parse(
        u"<r><a> x &amp; y </a><b><![CDATA[&amp;<c>]]> <!-- no --> z&lt;<?p i?> \n </b>"
        u"<c>t<d/></c><e/><f></f></r>");
    ASSERT_TRUE(p.ok);
    XmlDocument& doc = p.doc;
    ASSERT_TRUE(doc.NextChildElement(u"a"));
    EXPECT_EQ(doc.ChildText(), u" x & y ");  // nothing trimmed
    ASSERT_TRUE(doc.NextChildElement(u"b"));
    EXPECT_EQ(doc.ChildText(), u"&amp;<c> z<");  // CDATA not decoded, white-space runs left out
    ASSERT_TRUE(doc.NextChildElement(u"c"));
    EXPECT_EQ(doc.ChildText(), u"");  // has a child element
    ASSERT_TRUE(doc.NextChildElement(u"e"));
    EXPECT_EQ(doc.ChildText(), u"");
    ASSERT_TRUE(doc.NextChildElement(u"f"));
    EXPECT_EQ(doc.ChildText(), u"");
}

TEST(XmlDocument, ChildTextOfAnElementNeverEnded) {
    Parsed p = Parse(u"<r><a>text</r>");
    ASSERT_TRUE(p.doc.NextChildElement(u"a"));
    EXPECT_EQ(p.doc.ChildText(), u"");
}

TEST(DecodeEntities, NamedReferences) {
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&eacute;&Eacute;&EACUTE;&eAcute;"), u"\u00E9\u00C9\u00C9\u00C9");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&amp;&AMP;&Amp;&apos;&quot;&lt;&gt;"), u"&&&'\"<>");
    // Pairs that differ in case: written exactly as one name gives that one.
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&dArr;&darr;&DARR;"), u"\u21D3\u2193\u21D3");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&Prime;&prime;&THORN;&thorn;&Thorn;"), u"\u2033\u2032\u00DE\u00FE\u00DE");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&thetasym;&alefsym;"), u"\u03D1\u2135");  // 8 characters
}

TEST(DecodeEntities, ReferencesLeftAsWritten) {
    for (std::u16string_view s : {u"&unknown;", u"&abcdefghij;", u"&#0;", u"&#x0;", u"&#;", u"&;", u"&amp", u"& amp;",
                                  u"&#-65;", u"&#x110000;", u"&#99999999999;", u"&\u00E9;", u"&", u"&&"})
        EXPECT_EQ(U8(XmlDocument::DecodeEntities(s)), U8(s));
    // The "&" alone is kept and copying goes on after it.
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&&amp;"), u"&&");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&#abc&#65;"), u"&#abcA");
}

TEST(DecodeEntities, NumericReferences) {
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&#65;&#x41;&#X41;&#x0041;&#065;"), u"AAAAA");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&#x1F600;"), u"\xD83D\xDE00");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&#x10FFFF;"), u"\xDBFF\xDFFF");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&#xFFFF;"), u"\xFFFF");
    // Read as strtol reads: leading space, a prefix and trailing junk.
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&# 66;&#x0x43;&#68z;"), u"BCD");
    EXPECT_EQ(XmlDocument::DecodeEntities(u"&#1114111;"), u"\xDBFF\xDFFF");
}

}  // namespace
