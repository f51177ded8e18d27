#pragma once
// Conversions between numbers and text. They never consult the environment's
// locale: the only setting is the decimal separator of the settings passed.
//
// Text to number:  [spaces] [+|-] mantissa [exponent] [spaces]
//   mantissa := digits [SEP [digits]] | SEP digits      (SEP: the decimal separator)
//   exponent := (e|E) [+|-] digits
// Text to integer: [spaces] [+|-] digits [spaces], from -2147483648 to 2147483647.
// Blanks are spaces only: a tab or line break anywhere makes the text invalid.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/FormatSettings.h"

// Reads a floating-point number; false when the text does not follow the grammar
// or its magnitude is too large for a double (a too small one reads as 0).
bool TextToFloat(std::string_view text, double& value, const TFormatSettings& settings = ProgramSettings());
// Reads a decimal 32-bit integer; false for anything else (separator, exponent, overflow).
bool TextToInt(std::string_view text, std::int32_t& value);

// The words true and false in any letter case, or a number (true when not zero),
// with blanks around; false when the text is neither.
bool TextToBoolean(std::string_view text, bool& value, const TFormatSettings& settings = ProgramSettings());

// Decimal digits with "-" before negatives.
std::string IntToText(std::int64_t value);
// The general form: 15 significant digits, fixed notation for decimal exponents
// from -4 to 14, otherwise scientific ("1E20", "1.5E-10"); trailing zeros dropped;
// zero is "0". False for an infinite or NaN value.
bool FloatToText(double value, std::string& text, const TFormatSettings& settings = ProgramSettings());

// Rounds to the nearest integer, halves to even; false outside the 32-bit range
// or for an infinite or NaN value.
bool RoundToInt32(double value, std::int32_t& result);
