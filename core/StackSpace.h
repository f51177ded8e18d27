#pragma once
// How much of the calling thread's stack is left, for engines whose nesting
// follows their input: they stop with an error of their own before the stack ends.

#include <cstddef>

// True when less than reserve bytes of the calling thread's stack remain.
bool StackSpaceLow(std::size_t reserve = 512 * 1024);
