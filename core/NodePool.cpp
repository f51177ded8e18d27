#include "core/NodePool.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>

namespace {

// The tree's objects hold pointers, integers and strings, never anything aligned
// more strictly than a pointer, so sizes are rounded to pointers, not to the
// largest alignment: an element or a list of three children wastes nothing.
using NodePool::Granule;
using NodePool::LargestBlock;
static_assert(Granule >= alignof(void*));
// Chunks are aligned to their size, so that a block finds its chunk's header by
// masking its address.
constexpr std::size_t ChunkSize = std::size_t{256} << 10;
// Chunks are taken from the C library this many at a time, so that aligning them
// costs one gap per slab rather than one per chunk.
constexpr std::size_t SlabChunks = 16;
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
    TChunkHeader* NextEmpty;     // not owned; the next of a thread's empty chunks
    TChunkHeader* PreviousSlab;  // not owned; in a slab's first chunk, the slab made before
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
    TChunkHeader* Carving = nullptr;  // not owned; the chunk of NodePool::Carving
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

// The first chunks of all slabs, linked through PreviousSlab, so that every slab
// stays reachable for the whole run (they are never freed, on purpose).
std::mutex SlabMutex;
TChunkHeader* SlabList = nullptr;  // not owned: slabs live until the process ends

// Adds a new slab's chunks to the thread's empty ones, lowest address first.
void NewSlab(TThreadState& state)
{
    auto* memory = static_cast<std::byte*>(::operator new(ChunkSize * SlabChunks, std::align_val_t{ChunkSize}));
    TChunkHeader* first = nullptr;
    for (std::size_t i = SlabChunks; i-- > 0;) Recycle(state, first = new (memory + i * ChunkSize) TChunkHeader{});
    const std::lock_guard<std::mutex> lock(SlabMutex);
    first->PreviousSlab = SlabList;
    SlabList = first;
}

// Ends the carving of the current chunk and starts a fresh one.
void NextChunk(TThreadState& state)
{
    if (!state.Empty) NewSlab(state);
    TChunkHeader* chunk = state.Empty;
    state.Empty = chunk->NextEmpty;
    chunk->Live.store(CarvingBias, std::memory_order_relaxed);
    NodePool::TCarving& carving = NodePool::Carving;
    if (state.Carving) Settle(state, state.Carving, CarvingBias - carving.Carved);
    state.Carving = chunk;
    carving.Carved = 0;
    carving.Next = reinterpret_cast<std::byte*>(chunk) + HeaderSize;
    carving.End = reinterpret_cast<std::byte*>(chunk) + ChunkSize;
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

constinit thread_local NodePool::TCarving NodePool::Carving;

void* NodePool::AllocateElsewhere(std::size_t size)
{
    if (!Pooled(size)) return ::operator new(size);
    NextChunk(State);
    return Allocate(size);
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
