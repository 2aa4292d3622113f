// Advice to the system about the reader's large buffers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Asks for the whole 2 MiB pages inside [data, data + bytes) to be backed by huge pages
// when first written, where the system offers that for ordinary memory. Only advice:
// nothing changes if it is not taken.
void AdviseHugePages(void* data, std::size_t bytes);

// Below this a buffer holds no whole huge page worth the advice.
inline constexpr std::size_t kHugePageAdviceBytes = 8u << 20;

// Reserves room for `count` elements in a buffer about to be filled from its start:
// a 20 MB document's text otherwise costs one page fault for every 4 KiB it fills,
// which took four times as long as converting the text.
template <typename Buffer> void ReserveLargeBuffer(Buffer& buffer, std::size_t count) {
    buffer.reserve(count);
    const std::size_t bytes = buffer.capacity() * sizeof(typename Buffer::value_type);
    if (bytes >= kHugePageAdviceBytes) AdviseHugePages(buffer.data(), bytes);
}
