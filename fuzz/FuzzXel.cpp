// An XEL run of a fuzzed program, with a short loop limit.

#include <cstdint>
#include <exception>

#include "core/qelXMLParser2.h"
#include "xel/qelXelInterpreter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    SetXelWhileLimit(5);
    TqelXMLParser2 document;
    document.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    std::string messages;
    document.SetXelCustomHandler([&messages](TqelXMLParser2&, TqelXMLNode2& node, const std::string& text) {
        messages += ComposeXelMessage(node, text);
        if (messages.size() > 4096) messages.clear();
    });
    try {
        document.ExecuteXel(document);
    } catch (const std::exception&) {
    }
    return 0;
}
