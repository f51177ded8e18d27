#pragma once
// Helpers shared by the core tests: temporary folders, example files, tree signatures.

#include <filesystem>
#include <memory>
#include <string>

#include "core/qelXMLParser2.h"

// A fresh folder that is removed with everything in it.
class TTempDir {
public:
    TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    ~TTempDir();
    std::string File(const std::string& name) const { return (FPath / name).string(); }
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

// Path of a file in examples/.
std::string ExampleFile(const std::string& name);
// The file names in examples/ that end with extension.
std::vector<std::string> ExampleFiles(const std::string& extension);

// One line that shows a whole subtree: name, attributes, text and children, e.g.
// a[id=1]{text}(b,c[x=y])
std::string Signature(const TqelXMLNode2& node);

// A document loaded from text.
std::unique_ptr<TqelXMLParser2> Parsed(const std::string& text);
