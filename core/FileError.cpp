#include "core/FileError.h"

#include <cstring>

EFileError FileError(const std::string& action, const std::string& fileName, int errorNumber)
{
    return EFileError(action + " file \"" + fileName + "\": " + std::strerror(errorNumber));
}
