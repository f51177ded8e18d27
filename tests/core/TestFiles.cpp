#include "TestFiles.h"

#include <algorithm>

std::vector<std::string> ExampleFiles(const std::string& extension)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(ExampleFile(""))))
        if (entry.path().extension() == extension) names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Signature(const TqelXMLNode2& node)
{
    std::string s = node.Name;
    if (node.Attributes.Count() > 0) {
        s += '[';
        for (int i = 0; i < node.Attributes.Count(); ++i) {
            if (i > 0) s += ',';
            s += node.Attributes[i]->Name + "=" + node.Attributes[i]->Value;
        }
        s += ']';
    }
    if (!node.Text.empty()) s += "{" + node.Text + "}";
    if (node.Children.Count() > 0) {
        s += '(';
        for (int i = 0; i < node.Children.Count(); ++i) {
            if (i > 0) s += ',';
            s += Signature(*node.Children[i]);
        }
        s += ')';
    }
    return s;
}

std::unique_ptr<TqelXMLParser2> Parsed(const std::string& text)
{
    auto document = std::make_unique<TqelXMLParser2>();
    document->LoadFromText(text);
    return document;
}
