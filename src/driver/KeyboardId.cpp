#include "driver/KeyboardId.h"

#include <algorithm>

namespace {

// The pattern is ASCII, so folding ASCII letters is enough to compare without case.
char16_t FoldCase(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c; }

}  // namespace

bool ContainsKeyboardId(std::u16string_view path) {
    const std::u16string_view pattern = KEYBOARD_ID_PATTERN;
    const auto hit = std::search(path.begin(), path.end(), pattern.begin(), pattern.end(),
                                 [](char16_t a, char16_t b) { return FoldCase(a) == FoldCase(b); });
    return hit != path.end();
}
