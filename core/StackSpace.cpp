#include "core/StackSpace.h"

#include <cstdint>
#include <pthread.h>

namespace {

// The lowest usable address of the calling thread's stack, or 0 when unknown.
std::uintptr_t StackLimit()
{
    thread_local std::uintptr_t limit = [] {
        pthread_attr_t attributes;
        if (pthread_getattr_np(pthread_self(), &attributes) != 0) return std::uintptr_t{0};
        void* address = nullptr;
        std::size_t size = 0;
        const int result = pthread_attr_getstack(&attributes, &address, &size);
        pthread_attr_destroy(&attributes);
        return result == 0 ? reinterpret_cast<std::uintptr_t>(address) : std::uintptr_t{0};
    }();
    return limit;
}

}  // namespace

bool StackSpaceLow(std::size_t reserve)
{
    const std::uintptr_t limit = StackLimit();
    if (limit == 0) return false;
    const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
    return here < limit + reserve;
}
