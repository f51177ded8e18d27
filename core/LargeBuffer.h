#pragma once
// Room for a text of known size.

#include <cstddef>
#include <string>

// Reserves room for size characters in buffer. A buffer of tens of megabytes is
// mapped afresh by the C library and its pages are faulted in one by one as the
// output fills them, which costs far more than writing the output; such a buffer
// asks the system for large pages instead, where it offers them.
void ReserveLarge(std::string& buffer, std::size_t size);
