#pragma once
// The date serial number and its text forms.
//
// A date is a double counting days since 30 December 1899 (day 0); the fraction is
// the time of day. Below 0 the integer part (cut toward zero) is the day and the
// absolute value of the fraction is the time: -1.25 is 29 December 1899 06:00.
// Valid years are 1 to 9999. Weekdays count 1 = Sunday to 7 = Saturday.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/FormatSettings.h"

struct TDateParts {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

constexpr double MinDateValue = -693593.0;   // 1 January 0001
constexpr double MaxDateValue = 2958465.0;   // 31 December 9999

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Serial number of a calendar day; false for a day that does not exist or a year outside 1 to 9999.
bool EncodeDate(int year, int month, int day, double& value);
// Serial number of a day plus a time of day (a time on a day before day 0 is subtracted).
bool EncodeDateTime(const TDateParts& parts, double& value);
// Calendar fields of a serial number; false outside the valid range or for NaN.
bool DecodeDateTime(double value, TDateParts& parts);
// 1 = Sunday to 7 = Saturday; the day is the integer part cut toward zero (0 for infinity or NaN).
int DayOfWeek(double value);
// The day of a serial number: its integer part cut toward zero.
double DateDay(double value);
// The time of day of a serial number as a fraction of a day: the absolute value of its fraction.
double DateTimeOfDay(double value);
// A whole day plus a time of day (0 <= time < 1); on a day before day 0 the time is subtracted.
double CombineDayAndTime(double day, double time);

// The short date format applied to the day.
bool DateToText(double value, std::string& text, const TFormatSettings& settings = ProgramSettings());
// The date text, followed by " hh:nn:ss" when the time of day is not 0.
bool DateTimeToText(double value, std::string& text, const TFormatSettings& settings = ProgramSettings());
// Reads N1 sep N2 [sep N3] [time] in the order the short date format gives (d, m or y
// first); two numbers take the current year; two-digit years fall in the window from
// 50 years before the current year to 49 after it; time is h:n[:s].
bool TextToDateTime(std::string_view text, double& value, const TFormatSettings& settings = ProgramSettings());

// The current local year; tests may pin it.
int CurrentYear();
void SetCurrentYearSource(std::function<int()> source);  // an empty function restores the clock
