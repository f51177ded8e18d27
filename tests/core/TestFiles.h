#pragma once
// Helpers shared by the core tests: example documents and tree signatures.

#include <filesystem>
#include <memory>
#include <string>

#include "TestFolder.h"
#include "core/qelXMLParser2.h"


// The file names in examples/ that end with extension.
std::vector<std::string> ExampleFiles(const std::string& extension);

// One line that shows a whole subtree: name, attributes, text and children, e.g.
// a[id=1]{text}(b,c[x=y])
std::string Signature(const TqelXMLNode2& node);

// A document loaded from text.
std::unique_ptr<TqelXMLParser2> Parsed(const std::string& text);
