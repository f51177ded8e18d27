#include "core/NodePool.h"

#include <cstdint>
#include <cstring>
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

// The tree's objects hold pointers, integers and strings, never anything aligned
// more strictly than a pointer, so sizes are rounded to pointers, not to the
// largest alignment: an element or a list of three children wastes nothing.
constexpr std::size_t Granule = alignof(std::uint64_t);
static_assert(Granule >= alignof(void*));
constexpr std::size_t ClassCount = 32;  // sizes up to 32 granules (256 bytes)
constexpr std::size_t ChunkSize = std::size_t{256} << 10;

struct TFreeBlock {
    TFreeBlock* Next;  // not owned
};

// What one thread holds of one size class: released blocks, and the unused rest
// of the chunk it carves new blocks from.
//
// Released blocks are kept as an array of addresses rather than a list threaded
// through the blocks: a tree of millions of objects is released and built again
// in cold memory, and taking a block from a list would wait for the block itself
// to be read before the next one is known. From the array the addresses come
// without touching the blocks, whose first writes then overlap. The list takes
// only the blocks for which the array could not grow.
//
// The state has no destructor, so that objects destroyed after the thread's own
// at exit still find it; like the chunks, the array lives as long as the process.
struct TClassState {
    void** Released = nullptr;   // owned array of blocks (the blocks are not owned)
    std::size_t Count = 0;       // blocks in Released
    std::size_t Capacity = 0;    // room in Released
    TFreeBlock* Free = nullptr;  // not owned
    std::byte* Next = nullptr;   // not owned
    std::byte* End = nullptr;    // not owned
};

// Makes room for one more address in state's array; false when memory ran out.
bool GrowReleased(TClassState& state) noexcept
{
    const std::size_t capacity = state.Capacity == 0 ? 1024 : state.Capacity * 2;
    auto* grown = static_cast<void**>(::operator new(capacity * sizeof(void*), std::nothrow));
    if (!grown) return false;
    if (state.Count > 0) std::memcpy(grown, state.Released, state.Count * sizeof(void*));
    ::operator delete(state.Released);
    state.Released = grown;
    state.Capacity = capacity;
    return true;
}

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
    if (state.Count > 0) return state.Released[--state.Count];
    if (TFreeBlock* block = state.Free) {
        state.Free = block->Next;
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
    if (state.Count < state.Capacity || GrowReleased(state)) {
        state.Released[state.Count++] = block;
        return;
    }
    auto* free = static_cast<TFreeBlock*>(block);
    free->Next = state.Free;
    state.Free = free;
}
