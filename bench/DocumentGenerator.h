#pragma once
// Deterministic XML documents for the benchmarks and the memory comparison.
// Every document is plain ASCII XML with LF line ends and a UTF-8 declaration,
// without comments, entity references or whitespace inside tags other than
// single spaces, so that all three parsers read the same tree from it.

#include <cstddef>
#include <string>

namespace brindle::bench {

// A generated text and the numbers of elements and attributes it holds (the
// declaration's pseudo-attributes are not counted), for checking a parse.
struct TGeneratedDocument {
    std::string Text;
    std::size_t Elements = 0;
    std::size_t Attributes = 0;
};

// "records": items with two attributes and five child elements with short
// texts, indented by two spaces per level, until the text reaches targetBytes.
TGeneratedDocument GenerateRecords(std::size_t targetBytes);

// "attributes": empty rows with twelve attributes each, until the text
// reaches targetBytes.
TGeneratedDocument GenerateAttributeHeavy(std::size_t targetBytes);

// "deep": a chain of levels elements, each the only child of the one before,
// one tag per line and no indentation (which would grow with the square of the
// depth).
TGeneratedDocument GenerateDeep(std::size_t levels);

}  // namespace brindle::bench
