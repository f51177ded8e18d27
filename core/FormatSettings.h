#pragma once
// The number and date settings that every conversion reads.

#include <string>

struct TFormatSettings {
    char DecimalSeparator = '.';
    char DateSeparator = '-';
    // Runs of d, m and y (either case) print day, month and year; "/" prints the
    // date separator; quoted text is copied without its quotes.
    std::string ShortDateFormat = "dd/mm/yyyy";
};

// The program-wide settings: changed only by the program (command-line options,
// the settings file), never taken from the environment.
TFormatSettings& ProgramSettings();

// The fixed settings of stored table dates ("yyyy-mm-dd" with "-").
const TFormatSettings& StoredDateSettings();
