#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "core/DateText.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

TFormatSettings DateSettings(const char* format, char separator)
{
    TFormatSettings settings;
    settings.ShortDateFormat = format;
    settings.DateSeparator = separator;
    return settings;
}

const TFormatSettings Default = DateSettings("dd/mm/yyyy", '-');

// The serial number of a day and time, for expectations written as calendar fields.
double Serial(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int millisecond = 0)
{
    double value = NaN;
    EXPECT_TRUE(EncodeDateTime({year, month, day, hour, minute, second, millisecond}, value))
        << year << '-' << month << '-' << day;
    return value;
}

// Pins the current year for one test and gives the clock back afterwards.
class TPinnedYear {
public:
    explicit TPinnedYear(int year) { SetCurrentYearSource([year] { return year; }); }
    ~TPinnedYear() { SetCurrentYearSource({}); }
    TPinnedYear(const TPinnedYear&) = delete;
    TPinnedYear& operator=(const TPinnedYear&) = delete;
};

// Day 0 is 30 December 1899, proleptic Gregorian, years 1 to 9999.
TEST(DateSerialTest, EncodesCalendarDays)
{
    const struct {
        int Year, Month, Day;
        double Value;
    } cases[] = {
        {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1900, 1, 1, 2}, {2001, 3, 7, 36957}, {2000, 2, 29, 36585},
        {1899, 12, 29, -1}, {1, 1, 1, MinDateValue}, {9999, 12, 31, MaxDateValue}, {1900, 3, 1, 61},
        // The last day of a 4-year and of a 400-year cycle.
        {2004, 12, 31, 38352}, {2000, 12, 31, 36891}, {1600, 12, 31, -109206}, {2400, 12, 31, 182988},
    };
    for (const auto& c : cases) {
        double value = NaN;
        EXPECT_TRUE(EncodeDate(c.Year, c.Month, c.Day, value)) << c.Year << '-' << c.Month << '-' << c.Day;
        EXPECT_EQ(value, c.Value) << c.Year << '-' << c.Month << '-' << c.Day;
        TDateParts parts;
        ASSERT_TRUE(DecodeDateTime(c.Value, parts)) << c.Value;
        EXPECT_EQ((std::array{parts.Year, parts.Month, parts.Day}), (std::array{c.Year, c.Month, c.Day}));
    }
}

TEST(DateSerialTest, RefusesDaysThatDoNotExist)
{
    const int cases[][3] = {
        {2001, 2, 29}, {1900, 2, 29}, {2001, 4, 31}, {2001, 1, 0}, {2001, 0, 1}, {2001, 13, 1}, {0, 1, 1},
        {10000, 1, 1}, {-1, 1, 1},
    };
    for (const auto& c : cases) {
        double value = 0;
        EXPECT_FALSE(EncodeDate(c[0], c[1], c[2], value)) << c[0] << '-' << c[1] << '-' << c[2];
    }
}

TEST(DateSerialTest, LeapYearsAndMonthLengths)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2004));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2001));
    EXPECT_EQ(DaysInMonth(2001, 2), 28);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2001, 4), 30);
    EXPECT_EQ(DaysInMonth(2001, 12), 31);
    EXPECT_EQ(DaysInMonth(2001, 13), 0);
}

// Below day 0 the day is the integer part cut toward zero and the time the absolute fraction.
TEST(DateSerialTest, DecodesDayAndTimeOfDay)
{
    const struct {
        double Value;
        TDateParts Parts;
    } cases[] = {
        {36957.5, {2001, 3, 7, 12, 0, 0, 0}},
        {36957 + 14.5 / 24, {2001, 3, 7, 14, 30, 0, 0}},
        {-1.25, {1899, 12, 29, 6, 0, 0, 0}},
        {-0.5, {1899, 12, 30, 12, 0, 0, 0}},
        {0.5, {1899, 12, 30, 12, 0, 0, 0}},
        {36957.999999999, {2001, 3, 8, 0, 0, 0, 0}},  // rounds up to midnight: the next day
        {-1.999999999, {1899, 12, 30, 0, 0, 0, 0}},
        {36957 + 1.0 / 86'400'000, {2001, 3, 7, 0, 0, 0, 1}},
        {MaxDateValue + 0.5, {9999, 12, 31, 12, 0, 0, 0}},
        {MinDateValue - 0.5, {1, 1, 1, 12, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        TDateParts p;
        ASSERT_TRUE(DecodeDateTime(c.Value, p)) << c.Value;
        const TDateParts& e = c.Parts;
        EXPECT_EQ((std::array{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, p.Millisecond}),
                  (std::array{e.Year, e.Month, e.Day, e.Hour, e.Minute, e.Second, e.Millisecond}))
            << c.Value;
    }
    for (double value : {MaxDateValue + 1, MaxDateValue + 0.9999999999, MinDateValue - 1, NaN, Infinity, -Infinity,
                         1e300, -1e300}) {
        TDateParts parts;
        EXPECT_FALSE(DecodeDateTime(value, parts)) << value;
    }
}

TEST(DateSerialTest, EncodesTimeOfDaySubtractedBeforeDayZero)
{
    EXPECT_EQ(Serial(1899, 12, 29, 6), -1.25);
    EXPECT_EQ(Serial(1899, 12, 30, 12), 0.5);
    EXPECT_EQ(Serial(2001, 3, 7, 18), 36957.75);
    const TDateParts wrongTimes[] = {
        {2001, 3, 7, 24, 0, 0, 0}, {2001, 3, 7, 0, 60, 0, 0}, {2001, 3, 7, 0, 0, 60, 0},
        {2001, 3, 7, 0, 0, 0, 1000}, {2001, 3, 7, -1, 0, 0, 0}, {2001, 2, 29, 0, 0, 0, 0},
    };
    for (const TDateParts& parts : wrongTimes) {
        double value = 0;
        EXPECT_FALSE(EncodeDateTime(parts, value)) << parts.Hour << ':' << parts.Minute << ':' << parts.Second;
    }
}

TEST(DateSerialTest, DayOfWeekCountsFromSunday)
{
    const struct {
        double Value;
        int Day;
    } cases[] = {
        {0, 7}, {1, 1}, {36957, 4}, {36957.9, 4}, {-1, 6}, {-1.25, 6}, {-0.5, 7}, {-6, 1}, {-7, 7},
        {MinDateValue, 2}, {MaxDateValue, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayOfWeek(c.Value), c.Day) << c.Value;
}

// The short date format: runs of d, m, y; "/" the separator; quoted literals.
TEST(DateToTextTest, AppliesTheShortDateFormat)
{
    const struct {
        const char* Format;
        char Separator;
        double Value;
        const char* Text;
    } cases[] = {
        {"dd/mm/yyyy", '-', 36957, "07-03-2001"},
        {"d/m/yy", '.', 36957, "7.3.01"},
        {"mm/dd/yyyy", '/', 36957, "03/07/2001"},
        {"yyyy-mm-dd", '.', 36957, "2001-03-07"},
        {"dd.mm.yyyy", '-', 36957, "07.03.2001"},
        {"dd/mm/yyyy", '-', 0, "30-12-1899"},
        {"dd/mm/yyyy", '-', 0.5, "30-12-1899"},  // the day only
        {"dd/mm/yyyy", '-', -1.25, "29-12-1899"},
        {"DD/MM/YYYY", '-', 36957, "07-03-2001"},
        {"ddd, d mmm yyyy", '-', 36957, "Wed, 7 Mar 2001"},
        {"dddd d mmmm", '-', 36957, "Wednesday 7 March"},
        {"ddddd mmmmm", '-', 0, "Saturday December"},
        {"y", '-', 36957, "01"},
        {"yyyyy", '-', 36957, "2001"},
        {"yyy", '-', Serial(99, 3, 7), "0099"},
        {"'day' d \"of\" m", '-', 36957, "day 7 of 3"},
        {"d 'unclosed", '-', 36957, "7 unclosed"},
        {"hh:nn d", '-', 36957, "hh:nn 7"},
        {"", '-', 36957, ""},
    };
    for (const auto& c : cases) {
        std::string text = "unchanged";
        EXPECT_TRUE(DateToText(c.Value, text, DateSettings(c.Format, c.Separator))) << c.Format;
        EXPECT_EQ(text, c.Text) << c.Format;
    }
}

// Date-and-time text: the date, then " hh:nn:ss" unless the time is 0 in whole milliseconds.
TEST(DateToTextTest, AddsTheTimeOfDay)
{
    const struct {
        double Value;
        const char* Text;
    } cases[] = {
        {36957, "07-03-2001"},
        {Serial(2001, 3, 7, 14, 30), "07-03-2001 14:30:00"},
        {0, "30-12-1899"},
        {0.5, "30-12-1899 12:00:00"},
        {-0.5, "30-12-1899 12:00:00"},
        {-1.25, "29-12-1899 06:00:00"},
        {Serial(99, 3, 7), "07-03-0099"},
        {Serial(2001, 3, 7, 23, 59, 59, 999), "07-03-2001 23:59:59"},  // milliseconds dropped
        {Serial(2001, 3, 7, 0, 0, 0, 1), "07-03-2001 00:00:00"},
        {36957.999999999, "08-03-2001"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_TRUE(DateTimeToText(c.Value, text, Default)) << c.Text;
        EXPECT_EQ(text, c.Text);
    }
}

TEST(DateToTextTest, FailsOutsideTheValidRange)
{
    for (double value : {MaxDateValue + 1, MinDateValue - 1, NaN, Infinity}) {
        std::string text;
        EXPECT_FALSE(DateToText(value, text, Default)) << value;
        EXPECT_FALSE(DateTimeToText(value, text, Default)) << value;
    }
}

// Text to date: N1 sep N2 [sep N3] [time], in the order of the short date format.
TEST(TextToDateTimeTest, ReadsDatesInTheOrderOfTheFormat)
{
    const TPinnedYear year(2025);
    const struct {
        const char* Text;
        const char* Format;
        char Separator;
        double Value;
    } cases[] = {
        {"07-03-2001", "dd/mm/yyyy", '-', Serial(2001, 3, 7)},
        {"7-3-2001", "dd/mm/yyyy", '-', Serial(2001, 3, 7)},
        {" 7 - 3 - 2001 ", "dd/mm/yyyy", '-', Serial(2001, 3, 7)},
        {"0007-003-2001", "dd/mm/yyyy", '-', Serial(2001, 3, 7)},
        {"07-03-01", "dd/mm/yyyy", '-', Serial(2001, 3, 7)},
        {"07-03-75", "dd/mm/yyyy", '-', Serial(1975, 3, 7)},
        {"07-03-0099", "dd/mm/yyyy", '-', Serial(99, 3, 7)},
        {"07-03-099", "dd/mm/yyyy", '-', Serial(99, 3, 7)},
        {"07-03", "dd/mm/yyyy", '-', Serial(2025, 3, 7)},
        {"29-02-2000", "dd/mm/yyyy", '-', Serial(2000, 2, 29)},
        {"07-03-2001", "mm/dd/yyyy", '-', Serial(2001, 7, 3)},
        {"07-03", "mm/dd/yyyy", '-', Serial(2025, 7, 3)},
        {"2001-05-03", "yyyy-mm-dd", '-', Serial(2001, 5, 3)},
        {"2001-5-3", "yyyy-mm-dd", '-', Serial(2001, 5, 3)},
        {"99-5-3", "yyyy-mm-dd", '-', Serial(1999, 5, 3)},
        {"05-03", "yyyy-mm-dd", '-', Serial(2025, 5, 3)},  // two numbers: month and day
        {"2001/05/03", "YYYY.MM.DD", '/', Serial(2001, 5, 3)},
        {"7.3.01", "d/m/yy", '.', Serial(2001, 3, 7)},
        {"07-03-2001", "#/#/#", '-', Serial(2001, 7, 3)},  // month-day-year
        {"07-03-2001", "'year' dd/mm/yyyy", '-', Serial(2001, 3, 7)},  // quoted letters are text
        {"7 3 2001", "d/m/y", ' ', Serial(2001, 3, 7)},
        {"30-12-1899", "dd/mm/yyyy", '-', 0},
        {"1-1-1", "yyyy/mm/dd", '-', Serial(2001, 1, 1)},
        {"0001-1-1", "yyyy/mm/dd", '-', MinDateValue},
    };
    for (const auto& c : cases) {
        double value = NaN;
        EXPECT_TRUE(TextToDateTime(c.Text, value, DateSettings(c.Format, c.Separator))) << '"' << c.Text << '"';
        EXPECT_EQ(value, c.Value) << '"' << c.Text << '"' << " with " << c.Format;
    }
}

TEST(TextToDateTimeTest, ReadsAnOptionalTimeOfDay)
{
    const TPinnedYear year(2025);
    const struct {
        const char* Text;
        double Value;
    } cases[] = {
        {"07-03-2001 14:30", Serial(2001, 3, 7, 14, 30)},
        {"07-03-2001 14:30:15", Serial(2001, 3, 7, 14, 30, 15)},
        {"07-03-2001   7:5:9  ", Serial(2001, 3, 7, 7, 5, 9)},
        {"07-03-2001 0:00", Serial(2001, 3, 7)},
        {"07-03-2001 23:59:59", Serial(2001, 3, 7, 23, 59, 59)},
        {"07-03 14:30", Serial(2025, 3, 7, 14, 30)},
        {"29-12-1899 06:00:00", -1.25},
        {"30-12-1899 12:00:00", 0.5},
    };
    for (const auto& c : cases) {
        double value = NaN;
        EXPECT_TRUE(TextToDateTime(c.Text, value, Default)) << '"' << c.Text << '"';
        EXPECT_EQ(value, c.Value) << '"' << c.Text << '"';
    }
    double value = NaN;
    EXPECT_TRUE(TextToDateTime("7 3 14:30", value, DateSettings("d/m/y", ' ')));
    EXPECT_EQ(value, Serial(2025, 3, 7, 14, 30));
}

TEST(TextToDateTimeTest, RefusesMalformedAndImpossibleDates)
{
    const TPinnedYear year(2025);
    const char* const cases[] = {
        "", "   ", "07", "07-", "-07-03", "07-03-", "07--03-2001", "07-03-2001-05", "07/03/2001", "07.03.2001",
        "2001-03-07", "31-02-2001", "29-02-2001", "29-02", "00-03-2001", "07-13-2001", "07-03-0000",
        "07-03-20011", "00007-03-2001", "\t07-03-2001", "07-03-2001\n", "07-03-2001x", "7a-03-2001",
        // times
        "07-03-2001 24:00", "07-03-2001 14:60", "07-03-2001 14:30:60", "07-03-2001 14", "07-03-2001 14:",
        "07-03-2001 14:30:", "07-03-2001 123:00", "07-03-2001 14 : 30", "07-03-200114:30",
        "07-03-2001 2:30 PM", "07-03-2001 14:30:15.5", "07-03-2001 -1:00", "14:30",
    };
    for (const char* text : cases) {
        double value = 0;
        EXPECT_FALSE(TextToDateTime(text, value, Default)) << '"' << text << '"';
    }
}

// Two-digit years fall from 50 years before the current year to 49 after it.
TEST(TextToDateTimeTest, PlacesTwoDigitYearsAroundTheCurrentYear)
{
    const struct {
        int CurrentYear;
        const char* Text;
        int Year;
    } cases[] = {
        {2025, "1-1-00", 2000}, {2025, "1-1-74", 2074}, {2025, "1-1-75", 1975}, {2025, "1-1-99", 1999},
        {2025, "1-1-7", 2007}, {2000, "1-1-49", 2049}, {2000, "1-1-50", 1950}, {2051, "1-1-00", 2100},
        {2051, "1-1-01", 2001},
    };
    for (const auto& c : cases) {
        const TPinnedYear year(c.CurrentYear);
        double value = NaN;
        EXPECT_TRUE(TextToDateTime(c.Text, value, Default)) << c.Text << " in " << c.CurrentYear;
        EXPECT_EQ(value, Serial(c.Year, 1, 1)) << c.Text << " in " << c.CurrentYear;
    }
}

TEST(TextToDateTimeTest, DateTimeTextReadsBack)
{
    for (double value : {36957.0, Serial(2001, 3, 7, 14, 30, 15), 0.5, -1.25, Serial(99, 3, 7), MinDateValue}) {
        std::string text;
        ASSERT_TRUE(DateTimeToText(value, text, Default));
        double back = NaN;
        EXPECT_TRUE(TextToDateTime(text, back, Default)) << text;
        EXPECT_EQ(back, value) << text;
    }
}

TEST(CurrentYearTest, APinnedSourceWinsUntilTheClockIsRestored)
{
    {
        const TPinnedYear year(1234);
        EXPECT_EQ(CurrentYear(), 1234);
    }
    EXPECT_GE(CurrentYear(), 2024);
}

}  // namespace
