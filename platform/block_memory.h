// Memory for the script pools' block regions: large zero-filled spans that the
// pools carve into blocks, backed by huge pages where the system offers them.
#pragma once

#include <cstddef>

namespace platform {

// The size of an x86-64 huge page: regions start on this boundary so that the
// kernel can back them with huge pages (one page fault per 2 MB, not per 4 KiB).
constexpr size_t region_alignment = size_t(2) << 20;

// Maps `size` bytes of zero-filled memory. Where huge pages exist the region is
// aligned to region_alignment and the bytes from `huge_from` on are advised to
// use them (nothing is advised when huge_from >= size); elsewhere it is plain
// memory. Null when the system has none left.
void* map_region(size_t size, size_t huge_from);
// Gives a region from map_region back to the system.
void unmap_region(void* region, size_t size);

} // namespace platform
