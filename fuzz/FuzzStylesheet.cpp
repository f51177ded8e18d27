// A transformation of a small document by a fuzzed stylesheet.

#include <cstdint>
#include <exception>

#include "FuzzSupport.h"
#include "core/qelXMLParser2.h"
#include "xslt/qelXSLTransform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TqelXMLParser2 document;
    document.LoadFromText(FuzzDocumentText());
    TqelXMLParser2 stylesheet;
    stylesheet.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    std::string text;
    try {
        document.TransformWith(stylesheet, text);
        document.Children[0]->TransformWith(stylesheet, text);  // the same stylesheet again, cached
    } catch (const std::exception&) {
    }
    return 0;
}
