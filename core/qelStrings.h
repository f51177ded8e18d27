#pragma once
// Text search and replacement, whole-file and stream transfer, name=value pairs,
// calendar routines and a phonetic code. Positions are 1-based; 0 means not found.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// Position of sub in s at or after start, comparing exactly; 0 when either is empty
// or sub does not fit.
int FindFrom(std::string_view sub, std::string_view s, int start);
// As FindFrom, comparing through the upper-case table.
int FindTextFrom(std::string_view sub, std::string_view s, int start);
// Every occurrence of find replaced, left to right, never searching replaced text.
std::string ReplaceAll(std::string_view source, std::string_view find, std::string_view replacement);
// Every occurrence of find replaced as ReplaceAll does, letter case ignored
// through the upper-case table; an empty find changes nothing.
std::string ReplaceAllText(std::string_view source, std::string_view find, std::string_view replacement);
// The fixed upper-case table: a-z and the small letters of the Cyrillic code page.
unsigned char UpperCaseChar(unsigned char c);
// True when both texts are equal through the upper-case table.
bool SameText(std::string_view a, std::string_view b);
// A message as it is shown to a person: NUL as \0 and every other byte below 32
// but TAB, CR and LF as \xHH, so that nothing after such a byte is lost.
std::string VisibleControlBytes(std::string_view message);

// The whole file as bytes; raises EFileError naming the file and the reason.
std::string ReadFileText(const std::string& fileName);
// Replaces the file atomically with exactly these bytes (a temporary file in the same
// folder, flushed, given the old file's permissions, renamed over it); raises EFileError
// and leaves the old file whole on failure.
void WriteFileText(const std::string& fileName, std::string_view text);
// The call WriteFileText makes the new file's content durable with (fsync) before
// the file takes the old one's place; replaceable so that tests can watch it.
// Returns the call it replaces.
using TFileSync = int (*)(int fileDescriptor);
TFileSync SetFileSync(TFileSync sync);
// True for an existing path that is not a folder.
bool FileExists(const std::string& fileName);
// Copies the text into the stream at its current position.
void WriteStringToStream(std::string_view text, std::ostream& stream);
// The stream's whole content, read from its start.
std::string ReadStreamText(std::istream& stream);

// The part before the first "="; the whole text without one.
std::string PairName(std::string_view text);
// The part after the first "="; the whole text without one.
std::string PairValue(std::string_view text);
// Every text between a "[" and the next "]"; the list is cleared first.
void ExtractBracketedItems(std::string_view text, std::vector<std::string>& items);

double EasterSunday(int year);
int YearOfDate(double date);
int MonthOfDate(double date);
int DayOfDate(double date);
double NewYearsDay(int year);
// The Sunday of the same week, keeping the time of day.
double WeekStart(double date);
// Whole days from b to a (fractions cut toward zero first).
int DayDifference(double a, double b);
// Week number with weeks starting on Sunday; New Year's Day is in week 1.
int WeekOfYear(double date);
// Year from characters 1-4, month 6-7, day 9-10; 0 on any failure.
double ParseISODate(std::string_view text);
// Soundex-style code: the first letter's code plus up to three digits weighted 26, 156, 936.
int PhoneticCode(std::string_view text);
