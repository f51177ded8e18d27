#include "core/LargeBuffer.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

// Below this the C library serves blocks from its heap, whose pages are in place
// already once a first output has used them.
constexpr std::size_t LargeOutput = std::size_t{32} << 20;

}  // namespace

void ReserveLarge(std::string& buffer, std::size_t size)
{
    buffer.reserve(size);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (buffer.capacity() < LargeOutput) return;
    constexpr std::uintptr_t page = 4096;
    const auto address = reinterpret_cast<std::uintptr_t>(buffer.data());
    const std::uintptr_t first = (address + page - 1) & ~(page - 1);
    const std::uintptr_t end = (address + buffer.capacity()) & ~(page - 1);
    // Only advice: where the system refuses it, the pages come as before.
    if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#endif
}
