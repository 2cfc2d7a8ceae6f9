// Block regions on Windows: plain committed memory (pages are still only made
// resident when first touched). Large pages there need a privilege the game
// does not hold, so no huge-page advice is given.
#include "platform/block_memory.h"

#include "platform/win32/windows_api.h"

namespace platform {

void* map_region(size_t size, size_t) { return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }

void unmap_region(void* region, size_t) { VirtualFree(region, 0, MEM_RELEASE); }

} // namespace platform
