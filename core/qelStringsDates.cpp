// The calendar routines of the string utilities, on the serial numbers of DateText.

#include <climits>
#include <cmath>
#include <cstdint>

#include "core/DateText.h"
#include "core/NumberText.h"
#include "core/qelStrings.h"

double EasterSunday(int year)
{
    if (year < 1 || year > 9999)
        return 0;
    // The Gregorian computus: golden number, century, the two century corrections,
    // the epact and the Sunday that follows the paschal full moon.
    const int golden = year % 19 + 1;
    const int century = year / 100 + 1;
    const int leapCorrection = 3 * century / 4 - 12;
    const int moonCorrection = (8 * century + 5) / 25 - 5;
    const int sundayKey = 5 * year / 4 - leapCorrection - 10;
    int epact = (11 * golden + 20 + moonCorrection - leapCorrection) % 30;
    if (epact < 0)
        epact += 30;
    if ((epact == 25 && golden > 11) || epact == 24)
        ++epact;
    int day = 44 - epact;
    if (day < 21)
        day += 30;
    day = day + 7 - (sundayKey + day) % 7;

    double value = 0;
    if (day > 31)
        EncodeDate(year, 4, day - 31, value);
    else
        EncodeDate(year, 3, day, value);
    return value;
}

int YearOfDate(double date)
{
    TDateParts parts;
    return DecodeDateTime(date, parts) ? parts.Year : 0;
}

int MonthOfDate(double date)
{
    TDateParts parts;
    return DecodeDateTime(date, parts) ? parts.Month : 0;
}

int DayOfDate(double date)
{
    TDateParts parts;
    return DecodeDateTime(date, parts) ? parts.Day : 0;
}

double NewYearsDay(int year)
{
    double value = 0;
    return EncodeDate(year, 1, 1, value) ? value : 0;
}

double WeekStart(double date)
{
    if (!std::isfinite(date))
        return 0;
    // Works on the day and the time separately: below day 0 the time is subtracted,
    // so plain arithmetic on the value would move the time across day 0.
    return CombineDayAndTime(DateDay(date) - DayOfWeek(date) + 1, DateTimeOfDay(date));
}

int DayDifference(double a, double b)
{
    const double days = DateDay(a) - DateDay(b);
    if (!(std::fabs(days) <= INT_MAX))  // NaN too
        return 0;
    return static_cast<int>(days);
}

int WeekOfYear(double date)
{
    const int year = YearOfDate(date);
    if (year == 0)
        return 0;
    // The first Sunday after the Sunday on or before New Year's Day.
    const double secondWeek = WeekStart(NewYearsDay(year)) + 7;
    // Compared by day: below day 0 a later time of day is a smaller number.
    if (DateDay(date) < secondWeek)
        return 1;
    return 2 + DayDifference(WeekStart(date), secondWeek) / 7;
}

double ParseISODate(std::string_view text)
{
    const auto field = [text](std::size_t first, std::size_t length) {
        return first < text.size() ? text.substr(first, length) : std::string_view();
    };
    std::int32_t year = 0, month = 0, day = 0;
    double value = 0;
    if (!TextToInt(field(0, 4), year) || !TextToInt(field(5, 2), month) || !TextToInt(field(8, 2), day) ||
        !EncodeDate(year, month, day, value))
        return 0;
    return value;
}
