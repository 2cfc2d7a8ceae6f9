// Block regions from anonymous mappings, trimmed to a 2 MB boundary and marked
// for transparent huge pages. Leak checkers are told to scan them: the pools
// keep heap pointers (names, tables) inside the nodes they hold.
#include "platform/block_memory.h"

#include <cstdint>

#include <sys/mman.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(leak_sanitizer)
#define MC_LEAK_CHECKER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(MC_LEAK_CHECKER)
#define MC_LEAK_CHECKER 1
#endif
#ifdef MC_LEAK_CHECKER
#include <sanitizer/lsan_interface.h>
#endif

namespace platform {

namespace {

void watch(void* region, size_t size)
{
#ifdef MC_LEAK_CHECKER
    __lsan_register_root_region(region, size);
#else
    (void)region;
    (void)size;
#endif
}

void unwatch(void* region, size_t size)
{
#ifdef MC_LEAK_CHECKER
    __lsan_unregister_root_region(region, size);
#else
    (void)region;
    (void)size;
#endif
}

void advise_huge_pages(unsigned char* region, size_t size, size_t huge_from)
{
#ifdef MADV_HUGEPAGE
    if (huge_from < size)
        madvise(region + huge_from, size - huge_from, MADV_HUGEPAGE); // advice only: failure changes nothing
#else
    (void)region;
    (void)size;
    (void)huge_from;
#endif
}

} // namespace

void* map_region(size_t size, size_t huge_from)
{
    // Map one alignment more than asked, then cut the unaligned head and tail.
    size_t span = size + region_alignment;
    void* mapped = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
    uintptr_t aligned = (start + region_alignment - 1) & ~uintptr_t(region_alignment - 1);
    if (aligned > start)
        munmap(mapped, aligned - start);
    size_t tail = start + span - (aligned + size);
    if (tail > 0)
        munmap(reinterpret_cast<void*>(aligned + size), tail);
    auto* region = reinterpret_cast<unsigned char*>(aligned);
    advise_huge_pages(region, size, huge_from);
    watch(region, size);
    return region;
}

void unmap_region(void* region, size_t size)
{
    unwatch(region, size);
    munmap(region, size);
}

} // namespace platform
