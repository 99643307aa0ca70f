// Memory for large numeric work (sorted columns of millions of values). Blocks of a few
// megabytes and more are asked of the system directly, with a hint to back them with huge
// pages where it allows: touching tens of megabytes of fresh memory in 4 KB pages costs
// a page fault per page, which dominates a sort of a million values.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

namespace afx {

// Uninitialised room for bytes bytes, aligned for any fundamental type; throws
// std::bad_alloc when there is no memory. Free it with FreeLargeBlock and the same size.
void* AllocateLargeBlock(size_t bytes);
void FreeLargeBlock(void* block, size_t bytes) noexcept;

struct LargeBlockDeleter {
    size_t bytes = 0;
    void operator()(void* block) const noexcept { FreeLargeBlock(block, bytes); }
};

// An uninitialised array of count values of a trivial type.
template <class T>
using LargeArray = std::unique_ptr<T[], LargeBlockDeleter>;

template <class T>
LargeArray<T> MakeLargeArray(size_t count) {
    static_assert(std::is_trivial_v<T>);
    const size_t bytes = (count ? count : 1) * sizeof(T);
    return LargeArray<T>(static_cast<T*>(AllocateLargeBlock(bytes)), LargeBlockDeleter{bytes});
}

// A standard-container allocator over AllocateLargeBlock: a vector of a million records
// then starts on huge pages instead of faulting in tens of thousands of small ones.
template <class T>
struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() noexcept = default;
    template <class U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}
    T* allocate(size_t count) { return static_cast<T*>(AllocateLargeBlock(count * sizeof(T))); }
    void deallocate(T* block, size_t count) noexcept { FreeLargeBlock(block, count * sizeof(T)); }
    template <class U>
    bool operator==(const LargeBlockAllocator<U>&) const noexcept { return true; }
};

// Backs the whole pages inside [block, block + bytes) at once, in huge pages where the
// system allows, instead of a fault per page at first write; only a hint.
void BackMemory(void* block, size_t bytes) noexcept;

// The number of processors this process may run on (at least 1): the worker threads that
// large numeric work is worth spreading over.
unsigned UsableProcessorCount() noexcept;

}  // namespace afx
