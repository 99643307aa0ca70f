#include "platform/core/large_block.h"

#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <new>

namespace afx {

namespace {
constexpr size_t kHugePage = size_t(2) << 20;
// Below this a block comes from the ordinary heap.
constexpr size_t kDirectThreshold = kHugePage;

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }
}  // namespace

void* AllocateLargeBlock(size_t bytes) {
    if (bytes < kDirectThreshold) return ::operator new(bytes);
    // Map one huge page more than needed and cut the ends off, so that the block starts
    // on a huge-page boundary.
    const size_t size = RoundUp(bytes, kHugePage);
    const size_t mapped = size + kHugePage;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = RoundUp(start, kHugePage);
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t end = aligned + size;
    const uintptr_t mappedEnd = start + mapped;
    if (mappedEnd > end) munmap(reinterpret_cast<void*>(end), mappedEnd - end);
    void* block = reinterpret_cast<void*>(aligned);
    // Only a hint: without huge pages the block works the same, page by page.
    madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void FreeLargeBlock(void* block, size_t bytes) noexcept {
    if (!block) return;
    if (bytes < kDirectThreshold) {
        ::operator delete(block);
        return;
    }
    munmap(block, RoundUp(bytes, kHugePage));
}

void BackMemory(void* block, size_t bytes) noexcept {
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const uintptr_t from = RoundUp(reinterpret_cast<uintptr_t>(block), page);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(block) + bytes) / page * page;
    if (to <= from) return;
    madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
}

unsigned UsableProcessorCount() noexcept {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int n = CPU_COUNT(&set);
        if (n > 0) return static_cast<unsigned>(n);
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? static_cast<unsigned>(online) : 1u;
}

}  // namespace afx
