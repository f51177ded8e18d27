#pragma once
// Formatting with one printf-style directive taken from user input. The pattern is
// parsed here and never handed to the C library as it stands:
//
//   pattern    := literal* directive literal*          ("%%" in a literal is one "%")
//   directive  := "%" flags [width] ["." precision] conversion
//   flags      := each of "-" "+" " " "0" "#" at most once, as the conversion allows
//   width      := 1 to 3 digits, not starting with 0, at most 255
//   precision  := 1 or 2 digits
//   conversion := "d" (flags - + space 0)   "x" (- 0 #)   "s" (-)
//                 "f" "e" "E" "g" "G" (- + space 0 #)
//
// Anything else (a second directive, "*", "$", length modifiers, other conversions)
// is refused, and the caller falls back to its own result.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/FormatSettings.h"

// The argument a pattern asks for, chosen by its last byte: "d" or "x" an integer,
// "s" a text, anything else a floating-point number.
enum TFormatKind : unsigned char { fkInteger, fkText, fkFloat };
TFormatKind FormatKindOf(std::string_view pattern);

// Applies pattern to the value; false when the pattern is refused or its conversion
// does not suit the argument.
bool FormatInteger(std::string_view pattern, std::int32_t value, std::string& result);
bool FormatText(std::string_view pattern, std::string_view value, std::string& result);
// The decimal point of the output is the settings' decimal separator.
bool FormatFloat(std::string_view pattern, double value, std::string& result,
                 const TFormatSettings& settings = ProgramSettings());

// "format": the text of a value under a non-empty pattern, converted to the argument
// the pattern asks for; false when that conversion or the formatting fails.
bool FormatValueText(std::string_view pattern, std::string_view valueText, std::string& result);
