#include "platform/core/large_block.h"

#include <sys/mman.h>

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

}  // namespace afx
