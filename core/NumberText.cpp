#include "core/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "core/qelStrings.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The text without its leading and trailing spaces (other blanks are kept, and rejected later).
std::string_view TrimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The run of digits at pos; pos moves behind it.
std::string_view TakeDigits(std::string_view text, std::size_t& pos)
{
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

// The parts of a number that passed the grammar check.
struct TNumberParts {
    bool Negative = false;
    std::string_view IntDigits, FracDigits;
    bool ExpNegative = false;
    std::string_view ExpDigits;
};

// [+|-] mantissa [exponent], the whole (trimmed) text.
bool SplitNumber(std::string_view text, char separator, TNumberParts& parts)
{
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        parts.Negative = text[pos++] == '-';
    parts.IntDigits = TakeDigits(text, pos);
    if (pos < text.size() && text[pos] == separator) {
        ++pos;
        parts.FracDigits = TakeDigits(text, pos);
    }
    if (parts.IntDigits.empty() && parts.FracDigits.empty())
        return false;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            parts.ExpNegative = text[pos++] == '-';
        parts.ExpDigits = TakeDigits(text, pos);
        if (parts.ExpDigits.empty())
            return false;
    }
    return pos == text.size();
}

// True when a number the converter found out of range is too small rather than too large:
// its decimal exponent (position of the first significant digit plus the exponent) is negative.
bool IsUnderflow(const TNumberParts& parts)
{
    const std::int64_t cap = 1'000'000'000;  // far beyond any double, and no overflow below
    std::int64_t exponent = 0;
    for (char c : parts.ExpDigits)
        exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), cap);
    if (parts.ExpNegative)
        exponent = -exponent;
    const auto firstInt = parts.IntDigits.find_first_not_of('0');
    if (firstInt != std::string_view::npos)
        return exponent + static_cast<std::int64_t>(parts.IntDigits.size() - firstInt) <= 0;
    const auto firstFrac = parts.FracDigits.find_first_not_of('0');
    if (firstFrac == std::string_view::npos)
        return true;
    return exponent - static_cast<std::int64_t>(firstFrac) <= 0;
}

}  // namespace

bool TextToFloat(std::string_view text, double& value, const TFormatSettings& settings)
{
    TNumberParts parts;
    if (!SplitNumber(TrimSpaces(text), settings.DecimalSeparator, parts))
        return false;

    // A canonical form the converter reads the same everywhere: -I.FeX
    std::string canonical;
    canonical.reserve(parts.IntDigits.size() + parts.FracDigits.size() + parts.ExpDigits.size() + 6);
    if (parts.Negative)
        canonical += '-';
    canonical += parts.IntDigits.empty() ? std::string_view("0") : parts.IntDigits;
    canonical += '.';
    canonical += parts.FracDigits.empty() ? std::string_view("0") : parts.FracDigits;
    if (!parts.ExpDigits.empty()) {
        canonical += parts.ExpNegative ? "e-" : "e";
        canonical += parts.ExpDigits;
    }

    double result = 0;
    const char* end = canonical.data() + canonical.size();
    const auto [ptr, ec] = std::from_chars(canonical.data(), end, result, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (!IsUnderflow(parts))
            return false;
        result = parts.Negative ? -0.0 : 0.0;
    } else if (ec != std::errc() || ptr != end || !std::isfinite(result)) {
        return false;
    }
    value = result;
    return true;
}

bool TextToInt(std::string_view text, std::int32_t& value)
{
    const std::string_view trimmed = TrimSpaces(text);
    std::size_t pos = 0;
    bool negative = false;
    if (pos < trimmed.size() && (trimmed[pos] == '+' || trimmed[pos] == '-'))
        negative = trimmed[pos++] == '-';
    const std::string_view digits = TakeDigits(trimmed, pos);
    if (digits.empty() || pos != trimmed.size())
        return false;

    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t magnitude = 0;
    for (char c : digits) {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit)
            return false;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

bool TextToBoolean(std::string_view text, bool& value, const TFormatSettings& settings)
{
    const auto first = text.find_first_not_of(' ');
    const std::string_view word =
        first == std::string_view::npos ? std::string_view() : text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (SameText(word, "true") || SameText(word, "false")) {
        value = SameText(word, "true");
        return true;
    }
    double number = 0;
    if (!TextToFloat(word, number, settings)) return false;
    value = number != 0;
    return true;
}

std::string IntToText(std::int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool FloatToText(double value, std::string& text, const TFormatSettings& settings)
{
    if (!std::isfinite(value))
        return false;
    if (value == 0) {  // negative zero too
        text.clear();
        text.push_back('0');
        return true;
    }
    // The general conversion with 15 significant digits: fixed notation for decimal
    // exponents from -4 to 14, trailing zeros dropped; e.g. "1.5e-10", "1e+20".
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    const std::string_view raw(buffer, static_cast<std::size_t>(result.ptr - buffer));

    const auto e = raw.find('e');
    std::string out(raw.substr(0, e));
    for (char& c : out)
        if (c == '.')
            c = settings.DecimalSeparator;
    if (e != std::string_view::npos) {
        out += 'E';
        std::size_t pos = e + 1;
        if (raw[pos] == '-')
            out += '-';
        if (raw[pos] == '-' || raw[pos] == '+')
            ++pos;
        while (pos + 1 < raw.size() && raw[pos] == '0')
            ++pos;
        out += raw.substr(pos);
    }
    text = std::move(out);
    return true;
}

bool RoundToInt32(double value, std::int32_t& result)
{
    if (!std::isfinite(value))
        return false;
    // By hand, so that the result does not depend on the floating-point rounding mode.
    double rounded = std::floor(value);
    const double rest = value - rounded;  // exact
    if (rest > 0.5 || (rest == 0.5 && std::fmod(rounded, 2.0) != 0))
        rounded += 1;
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return false;
    result = static_cast<std::int32_t>(rounded);
    return true;
}
