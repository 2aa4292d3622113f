// The unit search against a plain search, over every start and length around the
// blocks it compares at once.
#include <gtest/gtest.h>

#include <string>

#include "xml/UnitSearch.h"

namespace {

TEST(UnitSearch, FindsTheFirstUnitOfTheSetAtEveryPlace) {
    for (std::size_t length = 0; length < 40; ++length) {
        for (std::size_t at = 0; at <= length; ++at) {
            // The wanted units differ from the others only in their high byte or low byte.
            std::u16string text(length, u'\u3E3C');
            if (at < length) text[at] = u'>';
            if (at + 1 < length) text[at + 1] = u'<';
            const std::u16string_view view = std::u16string_view(text);
            for (std::size_t from = 0; from <= length + 1; ++from) {
                std::size_t expected = view.find_first_of(u"><", from);
                if (expected == std::u16string_view::npos) expected = length;
                EXPECT_EQ(FindUnit(view, from, u'>', u'<'), expected) << length << " " << at << " " << from;
                std::size_t one = view.find(u'<', from);
                EXPECT_EQ(FindUnit(view, from, u'<'), one == std::u16string_view::npos ? length : one);
            }
        }
    }
}

// A search never reads beyond its text, even when the text goes on.
TEST(UnitSearch, StaysInsideItsText) {
    const std::u16string text = u"abcdefghijklmnop>";
    for (std::size_t length = 0; length < text.size(); ++length)
        EXPECT_EQ(FindUnit(std::u16string_view(text).substr(0, length), 0, u'>'), length);
}

}  // namespace
