#include "xpath/qelXPathFormat.h"

#include <cstdio>

#include "core/NumberText.h"

namespace {

struct TFormatDirective {
    std::string Prefix;
    std::string Suffix;
    std::string Flags;   // in the order written, each at most once
    int Width = 0;       // 0: none
    int Precision = -1;  // -1: none
    char Conversion = 0;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads 1 to maxDigits digits at position i; false when there are none or too many.
bool ReadNumber(std::string_view pattern, std::size_t& i, std::size_t maxDigits, int& value)
{
    std::size_t digits = 0;
    value = 0;
    while (i < pattern.size() && IsDigit(pattern[i])) {
        if (++digits > maxDigits) return false;
        value = value * 10 + (pattern[i] - '0');
        ++i;
    }
    return digits > 0;
}

std::string_view AllowedFlags(char conversion)
{
    switch (conversion) {
    case 'd': return "-+ 0";
    case 'x': return "-0#";
    case 's': return "-";
    case 'f':
    case 'e':
    case 'E':
    case 'g':
    case 'G': return "-+ 0#";
    default: return {};
    }
}

bool ConversionSuits(char conversion, TFormatKind kind)
{
    switch (kind) {
    case fkInteger: return conversion == 'd' || conversion == 'x';
    case fkText: return conversion == 's';
    case fkFloat: break;
    }
    return std::string_view("feEgG").find(conversion) != std::string_view::npos;
}

// Reads the directive that starts at the "%" at position i.
bool ParseDirective(std::string_view pattern, std::size_t& i, TFormatDirective& d)
{
    ++i;
    while (i < pattern.size() && std::string_view("-+ 0#").find(pattern[i]) != std::string_view::npos) {
        if (d.Flags.find(pattern[i]) != std::string::npos) return false;
        d.Flags += pattern[i++];
    }
    if (i < pattern.size() && IsDigit(pattern[i])) {
        if (!ReadNumber(pattern, i, 3, d.Width) || d.Width > 255) return false;
    }
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        if (!ReadNumber(pattern, i, 2, d.Precision)) return false;
    }
    if (i >= pattern.size()) return false;
    d.Conversion = pattern[i++];
    const std::string_view allowed = AllowedFlags(d.Conversion);
    if (allowed.empty()) return false;
    for (char flag : d.Flags)
        if (allowed.find(flag) == std::string_view::npos) return false;
    return true;
}

// Splits the pattern into literal text around exactly one directive of the kind.
bool ParsePattern(std::string_view pattern, TFormatKind kind, TFormatDirective& d)
{
    bool found = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        std::string& literal = found ? d.Suffix : d.Prefix;
        if (pattern[i] != '%') {
            literal += pattern[i++];
        } else if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            literal += '%';
            i += 2;
        } else {
            if (found || !ParseDirective(pattern, i, d)) return false;
            found = true;
        }
    }
    return found && ConversionSuits(d.Conversion, kind);
}

// The directive rebuilt from its checked parts, for one argument of the C library.
std::string LibraryDirective(const TFormatDirective& d)
{
    std::string spec(1, '%');
    spec += d.Flags;
    if (d.Width > 0) spec += IntToText(d.Width);
    if (d.Precision >= 0) {
        spec += '.';
        spec += IntToText(d.Precision);
    }
    spec += d.Conversion;
    return spec;
}

template <class T>
bool FormatNumber(const TFormatDirective& d, T value, std::string& formatted)
{
    // Width 255 and precision 99 bound the longest output ("%.99f" of 1e308) well below this.
    char buffer[512];
    const std::string spec = LibraryDirective(d);
    const int length = std::snprintf(buffer, sizeof buffer, spec.c_str(), value);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof buffer) return false;
    formatted.assign(buffer, static_cast<std::size_t>(length));
    return true;
}

}  // namespace

TFormatKind FormatKindOf(std::string_view pattern)
{
    if (!pattern.empty()) {
        if (pattern.back() == 'd' || pattern.back() == 'x') return fkInteger;
        if (pattern.back() == 's') return fkText;
    }
    return fkFloat;
}

bool FormatInteger(std::string_view pattern, std::int32_t value, std::string& result)
{
    TFormatDirective d;
    std::string formatted;
    if (!ParsePattern(pattern, fkInteger, d)) return false;
    const bool done = d.Conversion == 'd' ? FormatNumber(d, static_cast<int>(value), formatted)
                                          : FormatNumber(d, static_cast<unsigned int>(static_cast<std::uint32_t>(value)), formatted);
    if (!done) return false;
    result = d.Prefix + formatted + d.Suffix;
    return true;
}

bool FormatText(std::string_view pattern, std::string_view value, std::string& result)
{
    TFormatDirective d;
    if (!ParsePattern(pattern, fkText, d)) return false;
    if (d.Precision >= 0 && value.size() > static_cast<std::size_t>(d.Precision)) value = value.substr(0, static_cast<std::size_t>(d.Precision));
    const std::size_t padding = value.size() < static_cast<std::size_t>(d.Width) ? static_cast<std::size_t>(d.Width) - value.size() : 0;
    const bool leftAligned = d.Flags.find('-') != std::string::npos;
    result = d.Prefix;
    if (!leftAligned) result.append(padding, ' ');
    result += value;
    if (leftAligned) result.append(padding, ' ');
    result += d.Suffix;
    return true;
}

bool FormatFloat(std::string_view pattern, double value, std::string& result, const TFormatSettings& settings)
{
    TFormatDirective d;
    std::string formatted;
    if (!ParsePattern(pattern, fkFloat, d) || !FormatNumber(d, value, formatted)) return false;
    for (char& c : formatted)
        if (c == '.') c = settings.DecimalSeparator;
    result = d.Prefix + formatted + d.Suffix;
    return true;
}

bool FormatValueText(std::string_view pattern, std::string_view valueText, std::string& result)
{
    switch (FormatKindOf(pattern)) {
    case fkInteger: {
        std::int32_t value = 0;
        return TextToInt(valueText, value) && FormatInteger(pattern, value, result);
    }
    case fkText:
        return FormatText(pattern, valueText, result);
    case fkFloat:
        break;
    }
    double value = 0.0;
    return TextToFloat(valueText, value) && FormatFloat(pattern, value, result);
}
