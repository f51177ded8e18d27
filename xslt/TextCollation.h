#pragma once
// The fixed collation of text sort keys.
//
// Bytes compare by weight, letter case ignored: blanks, control characters,
// punctuation and symbols (by code) < digits < letters A-Z < bytes 128-255 (by
// their upper-case code). A proper prefix sorts first. Texts that differ only in
// letter case sort the small letter first at the first differing byte.

#include <string_view>

// Negative, zero or positive.
int CollateText(std::string_view a, std::string_view b);
