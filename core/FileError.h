#pragma once
// The error a file operation raises: it names the file and the system's reason.

#include <stdexcept>
#include <string>

class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "<action> file "<name>": <reason of errno>", e.g. Cannot open file "x.xml": No such file or directory.
EFileError FileError(const std::string& action, const std::string& fileName, int errorNumber);
