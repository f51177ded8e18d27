#pragma once
// Shared pieces of the fuzz targets: a small document to work on, and splitting
// one input into several texts.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A small document with attributes, texts, nesting and XEL variables.
inline const char* FuzzDocumentText()
{
    return "<?xml version='1.0'?><catalog name='c' xmlns:x='urn:x'>"
           "<xel:program><xel:var id='n'>3</xel:var><xel:var id='s'>text</xel:var>"
           "<book id='1' price='12.5' lang='en'><title>A &amp; B</title><year>1998</year><x:tag k='v'/></book>"
           "<book id='2' price='9' lang='de'><title><![CDATA[1 < 2]]></title><year>2004</year></book>"
           "<empty/></xel:program></catalog>";
}

// The input split at NUL bytes into at most count texts.
inline std::vector<std::string> SplitInput(const std::uint8_t* data, std::size_t size, std::size_t count)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && parts.size() < count)
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    return parts;
}
