// Huge pages through madvise: with transparent huge pages in "madvise" mode (Debian's
// default) a large allocation gets them only when asked.
#include "xml/MemoryAdvice.h"

#include <sys/mman.h>

#include <cstdint>

void AdviseHugePages(void* data, std::size_t bytes) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = 2u << 20;
    const auto from = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t begin = (from + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = (from + bytes) & ~(kHugePage - 1);
    // Advice only: a system that refuses it leaves the pages as they were.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}
