// The calendar functions of the expression language. Dates in text are read and
// written under the program-wide date settings; only "isdate" reads the fixed
// year-month-day layout.

#include <cmath>
#include <cstdint>

#include "core/DateText.h"
#include "core/qelStrings.h"
#include "xpath/qelXPathExpression2.h"

namespace {

// Tells that a function falls back to its own result.
struct TFallback {};

double ParseDate(const std::string& text)
{
    double value = 0.0;
    if (!TextToDateTime(text, value)) throw TFallback{};
    return value;
}

std::string DateText(double value)
{
    std::string text;
    if (!DateToText(value, text)) throw TFallback{};
    return text;
}

bool ValidYear(std::int64_t year)
{
    return year >= 1 && year <= 9999;
}

// Adds months to a day, keeping the day of month but not past the end of the new month.
double AddMonths(double day, std::int64_t months)
{
    TDateParts parts;
    if (!DecodeDateTime(day, parts)) throw TFallback{};
    const std::int64_t index = std::int64_t{parts.Year} * 12 + (parts.Month - 1) + months;
    const std::int64_t year = index >= 0 ? index / 12 : -((-index + 11) / 12);
    const int month = static_cast<int>(index - year * 12) + 1;
    if (!ValidYear(year)) throw TFallback{};
    const int lastDay = DaysInMonth(static_cast<int>(year), month);
    double value = 0.0;
    if (!EncodeDate(static_cast<int>(year), month, parts.Day < lastDay ? parts.Day : lastDay, value)) throw TFallback{};
    return value;
}

double AddYears(double day, std::int64_t years)
{
    TDateParts parts;
    if (!DecodeDateTime(day, parts)) throw TFallback{};
    const std::int64_t year = parts.Year + years;
    double value = 0.0;
    if (!ValidYear(year) || !EncodeDate(static_cast<int>(year), parts.Month, parts.Day, value)) throw TFallback{};
    return value;
}

// "d" days, "w" weeks, "m" months, "q" quarters, "y" years; any other interval
// leaves the day unchanged.
std::string DateAdd(const std::string& interval, std::int32_t n, const std::string& dateText)
{
    const double day = std::trunc(ParseDate(dateText));
    double result = day;
    if (interval == "d")
        result = day + n;
    else if (interval == "w")
        result = day + 7.0 * n;
    else if (interval == "m")
        result = AddMonths(day, n);
    else if (interval == "q")
        result = AddMonths(day, std::int64_t{3} * n);
    else if (interval == "y")
        result = AddYears(day, n);
    return DateText(result);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

void TqelXPathExpression2::ExecuteDateFunction(TTokenOp op)
{
    switch (op) {
    case opAsDate:
        try {
            Push(Variant::FromDate(ParseDate(PopText())));
        } catch (const TFallback&) {
            Push(Variant::FromInteger(0));
        } catch (const EVariantError&) {
            Push(Variant::FromInteger(0));
        }
        break;
    case opIsDate:
        Push(Variant::FromBoolean(ParseISODate(PopText()) != 0));
        break;
    case opYear:
    case opMonth:
    case opDay: {
        const std::string text = PopText();
        std::int32_t part = 0;
        try {
            const double value = ParseDate(text);
            part = op == opYear ? YearOfDate(value) : (op == opMonth ? MonthOfDate(value) : DayOfDate(value));
        } catch (const TFallback&) {
        }
        Push(Variant::FromInteger(part));
        break;
    }
    case opWeekNumber: {
        std::int32_t week = 0;
        try {
            week = WeekOfYear(ParseDate(PopText()));
        } catch (const TFallback&) {
        } catch (const EVariantError&) {
        }
        Push(Variant::FromInteger(week));
        break;
    }
    case opEaster: {
        std::string text;
        try {
            const std::int32_t year = Pop().ToInteger();
            if (ValidYear(year)) text = DateText(EasterSunday(year));
        } catch (const TFallback&) {
        } catch (const EVariantError&) {
        }
        Push(Variant::FromText(std::move(text)));
        break;
    }
    case opDateAdd: {
        const std::string dateText = PopText();
        const std::int32_t n = Pop().ToInteger();
        const std::string interval = Lower(PopText());
        std::string result;
        try {
            result = DateAdd(interval, n, dateText);
        } catch (const TFallback&) {
            result = dateText;
        }
        Push(Variant::FromText(std::move(result)));
        break;
    }
    default:
        break;
    }
}
