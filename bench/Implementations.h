#pragma once
// The XML implementations that the benchmarks compare, behind one interface:
// this engine and its peers, each building its own tree from text or a file,
// writing it back to memory and counting what it holds.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brindle::bench {

// Elements and attributes in a parsed tree (an XML declaration is not counted).
struct TTreeCounts {
    std::size_t Elements = 0;
    std::size_t Attributes = 0;
};

// One implementation holding at most one document at a time.
class TImplementation {
public:
    virtual ~TImplementation() = default;

    // "brindle", "brindle-standard" (the standard reading), "pugixml" or "libxml2".
    virtual std::string_view Name() const = 0;
    // Builds the tree of text, replacing the one held; false with Error() set on
    // failure. deep lifts a peer's nesting limit where it has one.
    virtual bool Parse(std::string_view text, bool deep) = 0;
    // As Parse, reading the file the way the implementation ordinarily does.
    virtual bool LoadFile(const std::string& fileName) = 0;
    // Destroys the tree held.
    virtual void Release() = 0;
    // Writes the tree to memory, indented or not where the implementation has a
    // choice, and returns the length of the text; copies it when copy is given.
    virtual std::size_t Write(bool indented, std::string* copy) = 0;
    // Counts the tree held (iteratively, so deep trees are fine).
    virtual TTreeCounts Count() const = 0;
    // The message of the last failure.
    const std::string& Error() const { return FError; }

protected:
    std::string FError;
};

// The implementation with that name, or nullptr.
std::unique_ptr<TImplementation> MakeImplementation(std::string_view name);

// The names MakeImplementation knows, this engine first.
const std::vector<std::string_view>& ImplementationNames();

}  // namespace brindle::bench
