// Searching UTF-16 text for one of a few code units, eight units at a time with SSE2
// (every x86-64 processor has it) and one at a time for the rest. The reader spends
// most of its time looking for the next "<", ">", quote or "&".
#pragma once

#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The offset of the first unit at or after `from` that equals one of `units`, or
// text.size() if there is none.
template <typename... Units> inline std::size_t FindUnit(std::u16string_view text, std::size_t from, Units... units) {
    const char16_t* p = text.data();
    const std::size_t n = text.size();
    std::size_t i = from;
#if defined(__SSE2__)
    for (; i + 8 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        __m128i hits = _mm_setzero_si128();
        ((hits = _mm_or_si128(hits, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(units))))), ...);
        if (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)))
            return i + static_cast<std::size_t>(std::countr_zero(mask)) / 2;
    }
#endif
    for (; i < n; ++i)
        if (((p[i] == units) || ...)) return i;
    return n;
}
