#pragma once
// Text helpers of the expression functions that the string utilities lack.

#include <string>
#include <string_view>

// Every occurrence of find replaced, left to right without overlap, letter case
// ignored through the upper-case table; an empty find changes nothing.
std::string ReplaceAllText(std::string_view source, std::string_view find, std::string_view replacement);
