#include "xml/Utf8Text.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(std::uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (IsHighSurrogate(c) || IsLowSurrogate(c) || c > 0x10FFFF) c = kReplacement;
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

// UTF-8 directly: glibc converts it through UCS-4 at a fraction of the speed. The
// units go through a small buffer into the reserved text, which saves filling a
// text of the input's size with zeros first.
void AppendUtf16FromUtf8(std::span<const std::uint8_t> in, std::u16string& text) {
    constexpr std::size_t kBufferUnits = 4096;
    constexpr std::size_t kAsciiRun = 16;  // bytes tested at a time
    char16_t buffer[kBufferUnits];
    char16_t* const full = buffer + kBufferUnits - kAsciiRun;  // room left for one step
    char16_t* out = buffer;
    text.reserve(text.size() + in.size());  // never more units than bytes
    const std::size_t n = in.size();
    for (std::size_t i = 0; i < n;) {
        if (out >= full) {
            text.append(buffer, out);
            out = buffer;
        }
#if defined(__SSE2__)
        // Widens the ASCII bytes that lead the next 16 (all of them, usually).
        if (i + kAsciiRun <= n) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in.data() + i));
            const __m128i zero = _mm_setzero_si128();
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
            const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(bytes));
            const std::size_t ascii = high ? static_cast<std::size_t>(std::countr_zero(high)) : kAsciiRun;
            out += ascii;
            i += ascii;
            if (ascii == kAsciiRun) continue;
        }
#endif
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
            if (j >= n || in[j] < low || in[j] > high) break;
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
    text.append(buffer, out);
}

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    AppendUtf16FromUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), out);
    return out;
}
