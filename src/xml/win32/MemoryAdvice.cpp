// Windows backs ordinary memory with small pages only: large pages come from
// VirtualAlloc with MEM_LARGE_PAGES, which needs the "Lock pages in memory" privilege
// that a user's agent does not hold, and the agent's files are a few kilobytes.
#include "xml/MemoryAdvice.h"

void AdviseHugePages(void*, std::size_t) {}
