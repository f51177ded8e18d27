#pragma once
// The XEL interpreter: programs written as elements whose names begin with "xel:".
// Its operations are members of the element class; this header adds the run's
// error, its limits and the composition of the messages a program shows.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/qelXMLParser2.h"

// Calls and blocks nest deeper than a run allows.
class EXelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Calls and blocks may nest this deep, and only while the stack has room.
constexpr int MaxXelDepth = 5000;

// How long one "xel:while" may loop, in milliseconds (10000 unless changed).
std::int64_t XelWhileLimit();
void SetXelWhileLimit(std::int64_t milliseconds);

// The text a custom element shows: "show:" followed by a variable's name becomes
// the name, ": " and the variable's text (the name alone when no variable of
// that name is visible from element); any other text stays as it is.
std::string ComposeXelMessage(const TqelXMLNode2& element, const std::string& text);
