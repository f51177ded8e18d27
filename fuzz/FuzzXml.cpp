// The document parser, whole and fragment, with a write and a re-parse of what it built.

#include <cstdint>

#include "FuzzSupport.h"
#include "core/qelXMLParser2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> parts = SplitInput(data, size, 2);
    TqelXMLParser2 document;
    document.LoadFromText(parts[0]);
    const std::string written = document.GetXMLText();
    // The writer does not escape, so what it wrote need not read back the same
    // (a ">" in a value, "]]>" in a text); reading it must still be safe.
    TqelXMLParser2 again;
    again.LoadFromText(written);

    if (parts.size() > 1) {
        // The fragment goes into the element reached by following first children as
        // many times as the first byte says (up to seven).
        TqelXMLNode2* target = &document;
        const int steps = parts[1].empty() ? 0 : static_cast<unsigned char>(parts[1][0]) % 8;
        for (int i = 0; i < steps && target->Children.Count() > 0; ++i) target = target->Children[0];
        document.ParseFragment(target, parts[1]);
        (void)document.GetXMLText();
        (void)document.GetNodeXML(target);
        auto copy = target->Clone();
        (void)document.GetNodeXML(copy.get());
    }
    return 0;
}
