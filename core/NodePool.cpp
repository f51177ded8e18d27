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
// Chunks whose releases a thread counts at once: an element and its attributes lie
// in one chunk, its child list, made when the element ends, often in a later one.
constexpr std::size_t RunSlots = 4;
// While a thread carves blocks from a chunk, the chunk's count holds this bias
// besides: it cannot reach zero before the thread has moved on and added the
// number of blocks it carved.
constexpr std::int64_t CarvingBias = std::int64_t{1} << 40;

struct TChunkHeader {
    // Blocks carved and not yet released (plus CarvingBias while the chunk is
    // being carved). Any thread may release a block, so the count is atomic.
    std::atomic<std::int64_t> Live;
    TChunkHeader* NextEmpty;  // not owned; the next of a thread's empty chunks
};
constexpr std::size_t HeaderSize = (sizeof(TChunkHeader) + Granule - 1) / Granule * Granule;

TChunkHeader* ChunkOf(const void* block)
{
    return reinterpret_cast<TChunkHeader*>(reinterpret_cast<std::uintptr_t>(block) & ~(ChunkSize - 1));
}

// What one thread holds: the chunk it carves from, the releases not yet counted
// against their chunk, and the empty chunks it will carve from next.
//
// Releases are counted in runs: the blocks of a tree lie together, so destroying
// one releases many blocks of the same few chunks in a row, and a chunk's count
// changes once per run rather than once per block. A release still pending only
// delays the return of its chunk.
//
// The state has no destructor, so that objects destroyed after the thread's own
// at exit still find it. Like the chunks, which are never given back to the C
// library (a tree destroyed and read again takes the same memory), it lives as long
// as the process.
struct TThreadState {
    std::byte* Next = nullptr;      // not owned; the next block of Carving
    std::byte* End = nullptr;       // not owned
    TChunkHeader* Carving = nullptr;  // not owned
    std::int64_t Carved = 0;        // blocks carved from Carving
    TChunkHeader* RunChunk[RunSlots] = {};  // not owned; chunks with pending releases
    std::int64_t RunCount[RunSlots] = {};   // releases of each RunChunk not yet counted
    std::size_t RunVictim = 0;              // the slot the next new chunk takes
    TChunkHeader* Empty = nullptr;  // not owned: chunks live until the process ends
};

thread_local TThreadState State;

// Keeps an empty chunk for the thread's next ones.
void Recycle(TThreadState& state, TChunkHeader* chunk) noexcept
{
    chunk->NextEmpty = state.Empty;
    state.Empty = chunk;
}

// Subtracts count releases from chunk's count; recycles the chunk when nothing
// in it is left.
void Settle(TThreadState& state, TChunkHeader* chunk, std::int64_t count) noexcept
{
    if (chunk->Live.fetch_sub(count, std::memory_order_acq_rel) == count) Recycle(state, chunk);
}

// Counts the pending releases of the slot's chunk and empties the slot.
void FlushRun(TThreadState& state, std::size_t slot) noexcept
{
    if (TChunkHeader* chunk = state.RunChunk[slot]) Settle(state, chunk, state.RunCount[slot]);
    state.RunChunk[slot] = nullptr;
    state.RunCount[slot] = 0;
}

// Ends the carving of the current chunk and starts a fresh one.
void NextChunk(TThreadState& state)
{
    TChunkHeader* chunk = nullptr;
    if (state.Empty) {
        chunk = state.Empty;
        state.Empty = chunk->NextEmpty;
    } else {
        void* memory = ::operator new(ChunkSize, std::align_val_t{ChunkSize});
        chunk = new (memory) TChunkHeader{};
    }
    chunk->Live.store(CarvingBias, std::memory_order_relaxed);
    if (state.Carving) Settle(state, state.Carving, CarvingBias - state.Carved);
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
    for (std::size_t slot = 0; slot < RunSlots; ++slot)
        if (state.RunChunk[slot] == chunk) {
            ++state.RunCount[slot];
            return;
        }
    const std::size_t slot = state.RunVictim;
    state.RunVictim = (slot + 1) % RunSlots;
    FlushRun(state, slot);
    state.RunChunk[slot] = chunk;
    state.RunCount[slot] = 1;
}
