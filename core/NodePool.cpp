#include "core/NodePool.h"

#include <mutex>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define BRINDLE_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRINDLE_POOL_BYPASS 1
#endif
#endif

namespace {

constexpr std::size_t Granule = alignof(std::max_align_t);
constexpr std::size_t ClassCount = 16;  // sizes up to 16 granules (256 bytes)
constexpr std::size_t ChunkSize = std::size_t{256} << 10;

struct TFreeBlock {
    TFreeBlock* Next;  // not owned
};

// What one thread holds of one size class: released blocks, and the unused rest
// of the chunk it carves new blocks from.
struct TClassState {
    TFreeBlock* Free = nullptr;  // not owned
    std::byte* Next = nullptr;   // not owned
    std::byte* End = nullptr;    // not owned
};

thread_local TClassState States[ClassCount];

// Every chunk starts with a link to the previous one, so that all of them stay
// reachable from ChunkList for the whole run (they are never freed, on purpose).
struct TChunkHeader {
    TChunkHeader* Previous;  // not owned
};
std::mutex ChunkMutex;
TChunkHeader* ChunkList = nullptr;  // not owned: chunks live until the process ends

std::byte* NewChunk()
{
    void* memory = ::operator new(ChunkSize);
    auto* header = static_cast<TChunkHeader*>(memory);
    const std::lock_guard<std::mutex> lock(ChunkMutex);
    header->Previous = ChunkList;
    ChunkList = header;
    return static_cast<std::byte*>(memory);
}

std::size_t ClassOf(std::size_t size) { return (size + Granule - 1) / Granule - 1; }

bool Pooled(std::size_t size)
{
#ifdef BRINDLE_POOL_BYPASS
    (void)size;
    return false;
#else
    return size > 0 && size <= ClassCount * Granule;
#endif
}

}  // namespace

void* NodePool::Allocate(std::size_t size)
{
    if (!Pooled(size)) return ::operator new(size);
    const std::size_t sizeClass = ClassOf(size);
    TClassState& state = States[sizeClass];
    if (TFreeBlock* block = state.Free) {
        state.Free = block->Next;
        // Blocks come back in the order a tree was destroyed, scattered: fetching
        // the next one now keeps a parse from waiting on each block in turn.
        __builtin_prefetch(state.Free, 1);
        return block;
    }
    const std::size_t blockSize = (sizeClass + 1) * Granule;
    if (static_cast<std::size_t>(state.End - state.Next) < blockSize) {
        std::byte* chunk = NewChunk();
        state.Next = chunk + Granule;  // past the header, keeping the alignment
        state.End = chunk + ChunkSize;
    }
    void* block = state.Next;
    state.Next += blockSize;
    return block;
}

void NodePool::Release(void* block, std::size_t size) noexcept
{
    if (!block) return;
    if (!Pooled(size)) return ::operator delete(block, size);
    TClassState& state = States[ClassOf(size)];
    auto* free = static_cast<TFreeBlock*>(block);
    free->Next = state.Free;
    state.Free = free;
}
