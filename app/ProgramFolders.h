#pragma once
// Where the workbench finds the files it ships with and where it keeps what it
// writes, both in a build folder (everything beside the executable) and when
// installed under a prefix (PREFIX/bin/brindle with PREFIX/share/brindle/).

#include <QString>

// The folder of the shipped files (samples.txt, help/, the examples): the
// executable's folder when samples.txt lies there, else ../share/brindle beside
// it when that folder exists, else the executable's folder. No trailing separator.
QString ProgramDataFolder(const QString& exeFolder);

// The folder the program writes its settings file and transformation output to:
// the executable's folder when it may be written, else "brindle" in configHome
// (the person's configuration folder, e.g. ~/.config). No trailing separator.
QString ProgramWritableFolder(const QString& exeFolder, const QString& configHome);

// The settings file of the executable exeName: its file name with the extension
// ".ini", in ProgramWritableFolder of its folder.
QString ProgramSettingsFile(const QString& exeName, const QString& configHome);
