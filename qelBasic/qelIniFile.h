#pragma once
// INI files: Qt's settings class in its INI format, with the reading rules of
// this program: a missing section or key gives the default, integers are
// decimal 32-bit numbers and any other text gives the default.

#include <QString>

class QSettings;

// The INI file that belongs to an executable: its full file name with the
// extension replaced by ".ini", or ".ini" added when the name has none
// ("/opt/brindle/brindle" gives "/opt/brindle/brindle.ini").
QString IniFileBeside(const QString& exeName);

// The value of key in section as it is stored, or def when either is missing.
// Qt reads a value with unquoted commas as a list; its items are joined again
// with ", ", the way such a value is usually written.
QString ReadIniString(const QSettings& ini, const QString& section, const QString& key, const QString& def);
// The value of key in section as a decimal 32-bit integer; def when it is
// missing or is any other text.
int ReadIniInteger(const QSettings& ini, const QString& section, const QString& key, int def);
// Stores value under key in section of the INI file fileName, written at once.
void WriteIniString(const QString& fileName, const QString& section, const QString& key, const QString& value);
