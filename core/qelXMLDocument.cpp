#include "core/ReadingChoice.h"
#include "core/StandardSource.h"
#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"

TqelXMLParser2::TqelXMLParser2() : Declaration(std::make_unique<TqelXMLNode2>()) {}

TqelXMLParser2::~TqelXMLParser2() = default;

void TqelXMLParser2::LoadFromFile(const std::string& fileName)
{
    LoadFromFile(fileName, TqelXMLReading::Classic);
}

void TqelXMLParser2::LoadFromFile(const std::string& fileName, TqelXMLReading reading)
{
    LoadFileText(ReadFileText(fileName), fileName, reading);  // a read error raises before anything changes
}

TqelXMLReading TqelXMLParser2::LoadFromFileAutomatic(const std::string& fileName)
{
    std::string text = ReadFileText(fileName);
    const TqelXMLReading reading = ChooseReading(text);
    LoadFileText(std::move(text), fileName, reading);
    return reading;
}

void TqelXMLParser2::LoadFileText(std::string text, const std::string& fileName, TqelXMLReading reading)
{
    if (reading == TqelXMLReading::Standard)
        LoadStandard(std::move(text), fileName);
    else
        LoadFromText(std::move(text));
}

void TqelXMLParser2::LoadFromText(std::string text)
{
    Source = std::move(text);
    LastError = Parse();
}

void TqelXMLParser2::LoadFromText(std::string text, TqelXMLReading reading)
{
    if (reading == TqelXMLReading::Standard)
        LoadStandard(std::move(text), {});
    else
        LoadFromText(std::move(text));
}

void TqelXMLParser2::SaveToFile(const std::string& fileName)
{
    std::string text;
    GetXMLText(text);
    WriteFileText(fileName, text);
}
