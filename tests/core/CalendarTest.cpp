#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "core/DateText.h"
#include "core/qelStrings.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

double Serial(int year, int month, int day, int hour = 0)
{
    double value = NaN;
    EXPECT_TRUE(EncodeDateTime({year, month, day, hour, 0, 0, 0}, value)) << year << '-' << month << '-' << day;
    return value;
}

// Easter Sunday, including the years where the epact is corrected (1954, 1981, 2000, 2011, 2038, 2049).
TEST(CalendarTest, EasterSunday)
{
    const struct {
        int Year, Month, Day;
    } cases[] = {
        {2001, 4, 15}, {2002, 3, 31}, {2008, 3, 23}, {2024, 3, 31}, {2025, 4, 20}, {1954, 4, 18},
        {1981, 4, 19}, {2000, 4, 23}, {2011, 4, 24}, {2038, 4, 25}, {2049, 4, 18}, {2285, 3, 22},
        {1583, 4, 10}, {9999, 3, 28},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EasterSunday(c.Year), Serial(c.Year, c.Month, c.Day)) << c.Year;
    for (int year : {0, -1, 10000, std::numeric_limits<int>::max()})
        EXPECT_EQ(EasterSunday(year), 0) << year;
}

TEST(CalendarTest, CalendarFieldsOfADate)
{
    const struct {
        double Value;
        int Year, Month, Day;
    } cases[] = {
        {36957.75, 2001, 3, 7}, {-1.25, 1899, 12, 29}, {-0.5, 1899, 12, 30}, {36957.999999999, 2001, 3, 8},
        {MaxDateValue, 9999, 12, 31}, {MinDateValue, 1, 1, 1},
        // Out of range: 0 for every field.
        {MaxDateValue + 1, 0, 0, 0}, {MinDateValue - 1, 0, 0, 0}, {NaN, 0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ((std::array{YearOfDate(c.Value), MonthOfDate(c.Value), DayOfDate(c.Value)}),
                  (std::array{c.Year, c.Month, c.Day}))
            << c.Value;
}

TEST(CalendarTest, NewYearsDay)
{
    EXPECT_EQ(NewYearsDay(2001), 36892);
    EXPECT_EQ(NewYearsDay(1), MinDateValue);
    EXPECT_EQ(NewYearsDay(0), 0);
    EXPECT_EQ(NewYearsDay(10000), 0);
}

// The Sunday of the same week, keeping the time of day, also across day 0.
TEST(CalendarTest, WeekStart)
{
    const struct {
        double Value, Sunday;
    } cases[] = {
        {Serial(2001, 3, 7, 6), Serial(2001, 3, 4, 6)},
        {Serial(2001, 3, 4, 18), Serial(2001, 3, 4, 18)},
        {Serial(2001, 3, 10), Serial(2001, 3, 4)},
        {Serial(1899, 12, 30, 6), Serial(1899, 12, 24, 6)},  // 0.25 to -6.25
        {Serial(1899, 12, 29, 6), Serial(1899, 12, 24, 6)},
        {Serial(1900, 1, 2, 12), Serial(1899, 12, 31, 12)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeekStart(c.Value), c.Sunday) << c.Value;
}

// Fractions are cut toward zero before subtracting.
TEST(CalendarTest, DayDifference)
{
    const struct {
        double A, B;
        int Days;
    } cases[] = {
        {36957.9, 36950.1, 7}, {36957.1, 36957.9, 0}, {36950.9, 36957.1, -7}, {-1.5, 1.5, -2}, {0.5, -0.5, 0},
        {MaxDateValue, MinDateValue, 3652058}, {NaN, 1, 0}, {1e300, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayDifference(c.A, c.B), c.Days) << c.A << " - " << c.B;
}

// Weeks start on Sunday; New Year's Day is always in week 1.
TEST(CalendarTest, WeekOfYear)
{
    const struct {
        double Value;
        int Week;
    } cases[] = {
        {Serial(2001, 1, 1), 1},  {Serial(2006, 1, 1), 1},  {Serial(2005, 1, 1), 1},
        {Serial(2001, 1, 6, 23), 1}, {Serial(2001, 1, 7), 2}, {Serial(2001, 3, 7), 10}, {Serial(2001, 12, 31), 53},
        // New Year's Day on a Sunday: week 2 begins on day 8.
        {Serial(2006, 1, 7), 1},  {Serial(2006, 1, 8), 2},
        // New Year's Day on a Saturday: week 2 begins the next day.
        {Serial(2005, 1, 2), 2},  {Serial(2005, 12, 31), 53}, {Serial(2000, 12, 31), 54},
        // Before day 0: the day counts, not the smaller number a later time makes.
        {Serial(1899, 1, 8, 12), 2}, {Serial(1899, 1, 7, 12), 1}, {Serial(1899, 12, 30, 6), 52},
        {MaxDateValue + 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeekOfYear(c.Value), c.Week) << c.Value;
}

// Year in characters 1-4, month in 6-7, day in 9-10; 0 on any failure.
TEST(CalendarTest, ParseISODate)
{
    const struct {
        const char* Text;
        double Value;
    } cases[] = {
        {"2001-02-28", 36950}, {"2001/03/07", 36957}, {"2001-03-07 14:30", 36957}, {"0001-01-01", MinDateValue},
        {"9999-12-31", MaxDateValue},
        {"2001-02-30", 0}, {"1899-12-30", 0}, {"2001-13-01", 0}, {"0000-01-01", 0}, {"2001-3-7", 0},
        {"abcd-03-07", 0}, {"2001-03", 0}, {"2001-03-", 0}, {"", 0}, {"2001-0x-07", 0}, {"2001-03-7", 36957},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseISODate(c.Text), c.Value) << '"' << c.Text << '"';
}

}  // namespace
