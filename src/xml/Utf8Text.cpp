#include "xml/Utf8Text.h"

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF)
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
        AppendUtf8(out, c);
    }
    return out;
}

// UTF-8 directly: glibc converts it through UCS-4 at a fraction of the speed.
void AppendUtf16FromUtf8(std::span<const std::uint8_t> in, std::u16string& text) {
    // Never more units than bytes.
    const std::size_t start = text.size();
    text.resize(start + in.size());
    char16_t* out = text.data() + start;
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        std::uint8_t b = in[i];
        if (b < 0x80) {
            *out++ = static_cast<char16_t>(b);
            ++i;
            continue;
        }
        int follow;
        std::uint8_t low = 0x80, high = 0xBF;  // range of the first continuation byte
        std::uint32_t c;
        if (b >= 0xC2 && b <= 0xDF) {
            follow = 1, c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2, c = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3, c = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        } else {
            *out++ = static_cast<char16_t>(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; follow > 0; --follow, ++j) {
            if (j >= n || in[j] < low || in[j] > high)
                break;
            c = (c << 6) | (in[j] & 0x3F);
            low = 0x80, high = 0xBF;
        }
        i = j;
        if (follow > 0) {
            *out++ = static_cast<char16_t>(kReplacement);
        } else if (c < 0x10000) {
            *out++ = static_cast<char16_t>(c);
        } else {
            *out++ = static_cast<char16_t>(((c - 0x10000) >> 10) | 0xD800);
            *out++ = static_cast<char16_t>((c & 0x3FF) | 0xDC00);
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
}

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    AppendUtf16FromUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), out);
    return out;
}
