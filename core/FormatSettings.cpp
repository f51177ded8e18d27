#include "core/FormatSettings.h"

TFormatSettings& ProgramSettings()
{
    static TFormatSettings settings;
    return settings;
}

const TFormatSettings& StoredDateSettings()
{
    static const TFormatSettings settings{'.', '-', "yyyy-mm-dd"};
    return settings;
}
