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
    std::string text = ReadFileText(fileName);  // raises before anything changes
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
