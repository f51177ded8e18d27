#pragma once
// Storage for the small objects of the element tree (elements, attributes, the
// blocks of their lists).
//
// Each thread carves blocks of every size one after the other from large chunks,
// so that the objects of a tree read in one go lie together in the order they were
// made. A chunk counts the blocks in it that are still in use and is carved again
// only when the last one is released, whichever document, thread or undo step it
// last belonged to: an element may be cut from one document and pasted into
// another, or kept alive after its document was reloaded or destroyed. A released
// block is not handed out again on its own; its memory is reused with its chunk,
// which stays in the process for the next blocks and is never given back.
//
// Sizes above the largest block, and every size in sanitizer builds (so that the
// sanitizers see each object's lifetime), go to the global allocator.

#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define BRINDLE_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRINDLE_POOL_BYPASS 1
#endif
#endif

namespace NodePool {

// Sizes the pool serves; larger ones go to the global allocator.
constexpr std::size_t LargestBlock = 256;
// Sizes are rounded to this (see NodePool.cpp).
constexpr std::size_t Granule = alignof(std::uint64_t);

// Where the thread carves its next block: the rest of its current chunk.
struct TCarving {
    std::byte* Next = nullptr;  // not owned
    std::byte* End = nullptr;   // not owned
    std::int64_t Carved = 0;    // blocks carved from the chunk so far
};
extern constinit thread_local TCarving Carving;

// Allocate when the current chunk has no room left, or for a size the pool does not serve.
void* AllocateElsewhere(std::size_t size);

// A block of at least size bytes, aligned for a pointer or a 64-bit integer (not
// for long double or vector types); raises std::bad_alloc.
inline void* Allocate(std::size_t size)
{
#ifndef BRINDLE_POOL_BYPASS
    // Most blocks come from the room left in the chunk, without a call.
    const std::size_t bytes = (size + Granule - 1) & ~(Granule - 1);
    TCarving& carving = Carving;
    if (size - 1 < LargestBlock && static_cast<std::size_t>(carving.End - carving.Next) >= bytes) {
        void* block = carving.Next;
        carving.Next += bytes;
        ++carving.Carved;
        return block;
    }
#endif
    return AllocateElsewhere(size);
}
// Gives back a block that Allocate returned for the same size.
void Release(void* block, std::size_t size) noexcept;

}  // namespace NodePool

// An allocator that draws the small buffers of the tree's lists from the pool.
template <class T>
struct TqelPoolAllocator {
    using value_type = T;

    TqelPoolAllocator() = default;
    template <class U>
    TqelPoolAllocator(const TqelPoolAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n) { return static_cast<T*>(NodePool::Allocate(n * sizeof(T))); }
    void deallocate(T* block, std::size_t n) noexcept { NodePool::Release(block, n * sizeof(T)); }

    friend bool operator==(const TqelPoolAllocator&, const TqelPoolAllocator&) { return true; }
};
