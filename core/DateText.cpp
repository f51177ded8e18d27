#include "core/DateText.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

namespace {

constexpr std::int64_t MillisecondsPerDay = 86'400'000;
// Days from 1 January 0001 (counted as day 1) back to day 0 of the serial numbers.
constexpr int DaysBeforeDayZero = 693594;

const char* const ShortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const ShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                      "July",    "August",   "September", "October", "November", "December"};

// Days in the years before this one, from 1 January 0001.
int DaysBeforeYear(int year)
{
    const int y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

// Year, month and day of a whole serial day inside the valid range.
void DecodeDay(int serial, TDateParts& parts)
{
    constexpr int Days400 = 146097, Days100 = 36524, Days4 = 1461, Days1 = 365;
    int n = serial + DaysBeforeDayZero - 1;  // days since 1 January 0001
    const int cycles400 = n / Days400;
    n %= Days400;
    const int cycles100 = std::min(n / Days100, 3);  // the last day of a 400-year cycle stays in its 4th century
    n -= cycles100 * Days100;
    const int cycles4 = n / Days4;
    n %= Days4;
    const int years = std::min(n / Days1, 3);  // the same for the leap day of a 4-year cycle
    n -= years * Days1;
    parts.Year = cycles400 * 400 + cycles100 * 100 + cycles4 * 4 + years + 1;
    parts.Month = 1;
    while (n >= DaysInMonth(parts.Year, parts.Month))
        n -= DaysInMonth(parts.Year, parts.Month++);
    parts.Day = n + 1;
}

std::string Padded(int value, std::size_t width)
{
    std::string digits = std::to_string(value);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return digits;
}

// One piece of a short date format: a run of d, m or y ('d', 'm', 'y' with its length),
// the date separator ('/'), or literal text (Field 0).
struct TFormatPiece {
    char Field = 0;
    std::size_t Length = 0;
    std::string_view Text;
};

char LowerLetter(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Splits the format left to right: runs of one of the letters d, m, y in either case,
// "/", text in double or single quotes (an unclosed quote runs to the end), and every
// other character on its own.
std::vector<TFormatPiece> SplitDateFormat(std::string_view format)
{
    std::vector<TFormatPiece> pieces;
    std::size_t pos = 0;
    while (pos < format.size()) {
        const char c = format[pos];
        const char letter = LowerLetter(c);
        if (letter == 'd' || letter == 'm' || letter == 'y') {
            std::size_t end = pos;
            while (end < format.size() && LowerLetter(format[end]) == letter)
                ++end;
            pieces.push_back({letter, end - pos, {}});
            pos = end;
        } else if (c == '/') {
            pieces.push_back({'/', 1, {}});
            ++pos;
        } else if (c == '"' || c == '\'') {
            const std::size_t close = format.find(c, pos + 1);
            const std::size_t end = close == std::string_view::npos ? format.size() : close;
            pieces.push_back({0, 0, format.substr(pos + 1, end - pos - 1)});
            pos = close == std::string_view::npos ? end : end + 1;
        } else {
            pieces.push_back({0, 0, format.substr(pos, 1)});
            ++pos;
        }
    }
    return pieces;
}

// The short date format applied to a decoded day.
std::string FormatDate(const TDateParts& parts, const TFormatSettings& settings)
{
    double day = 0;
    EncodeDate(parts.Year, parts.Month, parts.Day, day);
    const int weekday = DayOfWeek(day) - 1;

    std::string text;
    for (const TFormatPiece& piece : SplitDateFormat(settings.ShortDateFormat)) {
        switch (piece.Field) {
        case 'd':
            text += piece.Length <= 2 ? Padded(parts.Day, piece.Length)
                    : piece.Length == 3 ? ShortDayNames[weekday] : LongDayNames[weekday];
            break;
        case 'm':
            text += piece.Length <= 2 ? Padded(parts.Month, piece.Length)
                    : piece.Length == 3 ? ShortMonthNames[parts.Month - 1] : LongMonthNames[parts.Month - 1];
            break;
        case 'y':
            text += piece.Length <= 2 ? Padded(parts.Year % 100, 2) : Padded(parts.Year, 4);
            break;
        case '/':
            text += settings.DateSeparator;
            break;
        default:
            text += piece.Text;
        }
    }
    return text;
}

// The field that comes first in the format: 'd', 'm' or 'y'; 'm' when there is none.
char FirstDateField(std::string_view format)
{
    for (const TFormatPiece& piece : SplitDateFormat(format))
        if (piece.Field == 'd' || piece.Field == 'm' || piece.Field == 'y')
            return piece.Field;
    return 'm';
}

// A cursor over the text of a date.
class TDateScanner {
public:
    explicit TDateScanner(std::string_view text) : FText(text) {}

    bool AtEnd() const { return FPos == FText.size(); }
    std::size_t Position() const { return FPos; }
    void MoveTo(std::size_t position) { FPos = position; }
    bool Next(char c) const { return FPos < FText.size() && FText[FPos] == c; }

    // Skips spaces; the number skipped.
    std::size_t SkipBlanks()
    {
        const std::size_t start = FPos;
        while (Next(' '))
            ++FPos;
        return FPos - start;
    }

    bool Take(char c)
    {
        if (!Next(c))
            return false;
        ++FPos;
        return true;
    }

    // 1 to maxDigits decimal digits; a longer run of digits fails.
    bool TakeNumber(std::size_t maxDigits, int& value, std::size_t& digits)
    {
        const std::size_t start = FPos;
        value = 0;
        while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') {
            if (FPos - start == maxDigits)
                return false;
            value = value * 10 + (FText[FPos++] - '0');
        }
        digits = FPos - start;
        return digits > 0;
    }

    bool TakeNumber(std::size_t maxDigits, int& value)
    {
        std::size_t digits = 0;
        return TakeNumber(maxDigits, value, digits);
    }

private:
    std::string_view FText;
    std::size_t FPos = 0;
};

// The date separator with the blanks around it; when the separator is itself a blank,
// any run of blanks.
bool TakeDateSeparator(TDateScanner& scanner, char separator)
{
    if (separator == ' ')
        return scanner.SkipBlanks() > 0;
    scanner.SkipBlanks();
    if (!scanner.Take(separator))
        return false;
    scanner.SkipBlanks();
    return true;
}

// h:n[:s], one or two digits each.
bool TakeTime(TDateScanner& scanner, TDateParts& parts)
{
    if (!scanner.TakeNumber(2, parts.Hour) || !scanner.Take(':') || !scanner.TakeNumber(2, parts.Minute))
        return false;
    return !scanner.Take(':') || scanner.TakeNumber(2, parts.Second);
}

// The year ending in these two digits from 50 years before the current year to 49 after it.
int WindowYear(int twoDigits)
{
    const int first = CurrentYear() - 50;
    return first + ((twoDigits - first) % 100 + 100) % 100;
}

std::function<int()>& YearSource()
{
    static std::function<int()> source;
    return source;
}

}  // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool EncodeDate(int year, int month, int day, double& value)
{
    if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month))
        return false;
    int dayOfYear = day;
    for (int m = 1; m < month; ++m)
        dayOfYear += DaysInMonth(year, m);
    value = DaysBeforeYear(year) + dayOfYear - DaysBeforeDayZero;
    return true;
}

bool EncodeDateTime(const TDateParts& parts, double& value)
{
    double day = 0;
    if (!EncodeDate(parts.Year, parts.Month, parts.Day, day))
        return false;
    if (parts.Hour < 0 || parts.Hour > 23 || parts.Minute < 0 || parts.Minute > 59 || parts.Second < 0 ||
        parts.Second > 59 || parts.Millisecond < 0 || parts.Millisecond > 999)
        return false;
    const std::int64_t ms = ((parts.Hour * 60 + parts.Minute) * 60 + parts.Second) * 1000 + parts.Millisecond;
    value = CombineDayAndTime(day, static_cast<double>(ms) / MillisecondsPerDay);
    return true;
}

bool DecodeDateTime(double value, TDateParts& parts)
{
    // Rules out NaN, infinities and magnitudes that do not fit an int.
    if (!(value > MinDateValue - 1 && value < MaxDateValue + 1))
        return false;
    double day = DateDay(value);
    std::int64_t ms = std::llround(DateTimeOfDay(value) * MillisecondsPerDay);
    if (ms == MillisecondsPerDay) {  // rounds up to midnight: the next day
        ms = 0;
        day += 1;
    }
    if (day < MinDateValue || day > MaxDateValue)
        return false;
    DecodeDay(static_cast<int>(day), parts);
    parts.Millisecond = static_cast<int>(ms % 1000);
    parts.Second = static_cast<int>(ms / 1000 % 60);
    parts.Minute = static_cast<int>(ms / 60'000 % 60);
    parts.Hour = static_cast<int>(ms / 3'600'000);
    return true;
}

int DayOfWeek(double value)
{
    if (!std::isfinite(value))
        return 0;
    double index = std::fmod(DateDay(value) - 1, 7.0);
    if (index < 0)
        index += 7;
    return static_cast<int>(index) + 1;
}

double DateDay(double value)
{
    return std::trunc(value);
}

double DateTimeOfDay(double value)
{
    return std::fabs(value - std::trunc(value));
}

double CombineDayAndTime(double day, double time)
{
    return day >= 0 ? day + time : day - time;
}

bool DateToText(double value, std::string& text, const TFormatSettings& settings)
{
    TDateParts parts;
    if (!DecodeDateTime(value, parts))
        return false;
    text = FormatDate(parts, settings);
    return true;
}

bool DateTimeToText(double value, std::string& text, const TFormatSettings& settings)
{
    TDateParts parts;
    if (!DecodeDateTime(value, parts))
        return false;
    text = FormatDate(parts, settings);
    if (parts.Hour != 0 || parts.Minute != 0 || parts.Second != 0 || parts.Millisecond != 0)
        text += ' ' + Padded(parts.Hour, 2) + ':' + Padded(parts.Minute, 2) + ':' + Padded(parts.Second, 2);
    return true;
}

// N1 sep N2 [sep N3] [blanks h:n[:s]], blanks around every number and separator.
bool TextToDateTime(std::string_view text, double& value, const TFormatSettings& settings)
{
    TDateScanner scanner(text);
    int numbers[3] = {};
    std::size_t digits[3] = {};
    scanner.SkipBlanks();
    if (!scanner.TakeNumber(4, numbers[0], digits[0]) || !TakeDateSeparator(scanner, settings.DateSeparator) ||
        !scanner.TakeNumber(4, numbers[1], digits[1]))
        return false;

    int count = 2;
    const std::size_t afterTwo = scanner.Position();
    if (TakeDateSeparator(scanner, settings.DateSeparator)) {
        if (!scanner.TakeNumber(4, numbers[2], digits[2]))
            return false;
        count = 3;
        if (scanner.Next(':')) {  // with a blank as separator this was the hour
            scanner.MoveTo(afterTwo);
            count = 2;
        }
    } else {
        scanner.MoveTo(afterTwo);
    }

    TDateParts parts;
    if (scanner.SkipBlanks() > 0 && !scanner.AtEnd()) {
        if (!TakeTime(scanner, parts))
            return false;
        scanner.SkipBlanks();
    }
    if (!scanner.AtEnd())
        return false;

    const char order = FirstDateField(settings.ShortDateFormat);
    if (count == 2) {
        parts.Year = CurrentYear();
        parts.Day = numbers[order == 'd' ? 0 : 1];
        parts.Month = numbers[order == 'd' ? 1 : 0];
    } else {
        const int yearIndex = order == 'y' ? 0 : 2;
        parts.Year = digits[yearIndex] <= 2 ? WindowYear(numbers[yearIndex]) : numbers[yearIndex];
        parts.Month = numbers[order == 'm' ? 0 : 1];
        parts.Day = numbers[order == 'd' ? 0 : order == 'm' ? 1 : 2];
    }
    return EncodeDateTime(parts, value);
}

int CurrentYear()
{
    if (YearSource())
        return YearSource()();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

void SetCurrentYearSource(std::function<int()> source)
{
    YearSource() = std::move(source);
}
