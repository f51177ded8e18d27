#include "xpath/qelXPathTextUtils.h"

#include "core/qelStrings.h"

namespace {

std::string UpperCopy(std::string_view text)
{
    std::string result(text);
    for (char& c : result) c = static_cast<char>(UpperCaseChar(static_cast<unsigned char>(c)));
    return result;
}

}  // namespace

std::string ReplaceAllText(std::string_view source, std::string_view find, std::string_view replacement)
{
    if (find.empty()) return std::string(source);
    const std::string foldedSource = UpperCopy(source);
    const std::string foldedFind = UpperCopy(find);
    std::string result;
    std::size_t from = 0;
    for (auto at = foldedSource.find(foldedFind); at != std::string::npos; at = foldedSource.find(foldedFind, from)) {
        result.append(source.substr(from, at - from));
        result.append(replacement);
        from = at + find.size();
    }
    result.append(source.substr(from));
    return result;
}
