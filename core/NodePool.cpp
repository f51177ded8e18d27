#include "core/NodePool.h"

#include <atomic>
#include <cstdint>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define BRINDLE_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BRINDLE_POOL_BYPASS 1
#endif
#endif

namespace {

// The tree's objects hold pointers, integers and strings, never anything aligned
// more strictly than a pointer, so sizes are rounded to pointers, not to the
// largest alignment: an element or a list of three children wastes nothing.
constexpr std::size_t Granule = alignof(std::uint64_t);
static_assert(Granule >= alignof(void*));
constexpr std::size_t LargestBlock = 256;
// Chunks are aligned to their size, so that a block finds its chunk's header by
// masking its address.
constexpr std::size_t ChunkSize = std::size_t{256} << 10;
// Empty chunks a thread keeps for its next ones (4 MB), so that a tree destroyed
// and read again does not go through the C library chunk by chunk.
constexpr std::size_t KeptChunks = 16;

// While a thread carves blocks from a chunk, the chunk's count holds this bias
// besides: it cannot reach zero before the thread has moved on and added the
// number of blocks it carved.
constexpr std::int64_t CarvingBias = std::int64_t{1} << 40;

struct TChunkHeader {
    // Blocks carved and not yet released (plus CarvingBias while the chunk is
    // being carved). Any thread may release a block, so the count is atomic.
    std::atomic<std::int64_t> Live;
};
constexpr std::size_t HeaderSize = (sizeof(TChunkHeader) + Granule - 1) / Granule * Granule;

TChunkHeader* ChunkOf(const void* block)
{
    return reinterpret_cast<TChunkHeader*>(reinterpret_cast<std::uintptr_t>(block) & ~(ChunkSize - 1));
}

// What one thread holds: the chunk it carves from, the releases not yet counted
// against their chunk, and a few empty chunks.
//
// Releases are counted in runs: the blocks of a tree lie together, so destroying
// one releases many blocks of the same chunk in a row, and the chunk's count
// changes once per run rather than once per block. A release still pending only
// delays the return of its chunk.
//
// The state has no destructor, so that objects destroyed after the thread's own
// at exit still find it; the chunk it was carving then stays until the process ends.
struct TThreadState {
    std::byte* Next = nullptr;      // not owned; the next block of Carving
    std::byte* End = nullptr;       // not owned
    TChunkHeader* Carving = nullptr;  // not owned
    std::int64_t Carved = 0;        // blocks carved from Carving
    TChunkHeader* RunChunk = nullptr;  // not owned; chunk of the pending releases
    std::int64_t RunCount = 0;      // releases of RunChunk not yet counted
    TChunkHeader* Kept[KeptChunks] = {};  // owned, empty
    std::size_t KeptCount = 0;
};

thread_local TThreadState State;

// Gives an empty chunk to the thread's spares, or back to the C library.
void Recycle(TThreadState& state, TChunkHeader* chunk) noexcept
{
    if (state.KeptCount < KeptChunks) {
        state.Kept[state.KeptCount++] = chunk;
        return;
    }
    chunk->~TChunkHeader();
    ::operator delete(static_cast<void*>(chunk), std::align_val_t{ChunkSize});
}

// Subtracts count releases from chunk's count; recycles the chunk when nothing
// in it is left.
void Settle(TThreadState& state, TChunkHeader* chunk, std::int64_t count) noexcept
{
    if (chunk->Live.fetch_sub(count, std::memory_order_acq_rel) == count) Recycle(state, chunk);
}

void FlushRun(TThreadState& state) noexcept
{
    if (state.RunChunk) Settle(state, state.RunChunk, state.RunCount);
    state.RunChunk = nullptr;
    state.RunCount = 0;
}

// Ends the carving of the current chunk and starts a fresh one.
void NextChunk(TThreadState& state)
{
    TChunkHeader* chunk = nullptr;
    if (state.KeptCount > 0) {
        chunk = state.Kept[--state.KeptCount];
    } else {
        void* memory = ::operator new(ChunkSize, std::align_val_t{ChunkSize});
        chunk = new (memory) TChunkHeader{};
    }
    chunk->Live.store(CarvingBias, std::memory_order_relaxed);
    if (TChunkHeader* done = state.Carving) {
        // The pending releases of this chunk go first, so that the one that
        // empties it is seen.
        if (state.RunChunk == done) FlushRun(state);
        Settle(state, done, CarvingBias - state.Carved);
    }
    state.Carving = chunk;
    state.Carved = 0;
    state.Next = reinterpret_cast<std::byte*>(chunk) + HeaderSize;
    state.End = reinterpret_cast<std::byte*>(chunk) + ChunkSize;
}

bool Pooled(std::size_t size)
{
#ifdef BRINDLE_POOL_BYPASS
    (void)size;
    return false;
#else
    return size > 0 && size <= LargestBlock;
#endif
}

}  // namespace

void* NodePool::Allocate(std::size_t size)
{
    if (!Pooled(size)) return ::operator new(size);
    TThreadState& state = State;
    const std::size_t bytes = (size + Granule - 1) & ~(Granule - 1);
    if (static_cast<std::size_t>(state.End - state.Next) < bytes) NextChunk(state);
    void* block = state.Next;
    state.Next += bytes;
    ++state.Carved;
    return block;
}

void NodePool::Release(void* block, std::size_t size) noexcept
{
    if (!block) return;
    if (!Pooled(size)) return ::operator delete(block, size);
    TThreadState& state = State;
    TChunkHeader* chunk = ChunkOf(block);
    if (chunk != state.RunChunk) {
        FlushRun(state);
        state.RunChunk = chunk;
    }
    ++state.RunCount;
}
