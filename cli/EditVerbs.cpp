// The edit verbs: set-attribute, remove-attribute, set-text, rename, add-child, delete.

#include <functional>
#include <memory>

#include "cli/CliVerbs.h"
#include "core/ReadingChoice.h"
#include "core/SourceMarkup.h"
#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"

namespace {

using TEdit = std::function<void(TqelXMLParser2& document, TqelXMLNode2& element)>;

// Loads FILE, makes the change, writes the whole document where the options say.
int Edit(const TCliArguments& args, TCliStreams& io, std::size_t positional, const TEdit& edit)
{
    args.AtMost(positional);
    const std::string& fileName = args.Need(0, "FILE");
    TqelXMLParser2 document;
    LoadDocumentStrict(document, fileName, args);
    edit(document, *TargetElement(document, args));
    const std::string text = document.GetXMLText();
    if (args.InPlace)
        WriteFileText(fileName, text);
    else
        WriteResult(args, io, text);
    return 0;
}

const std::string& NeedName(const TCliArguments& args, std::size_t index, const char* kind)
{
    const std::string& name = args.Need(index, "NAME");
    if (!IsXmlName(name)) throw ECliFailure("\"" + name + "\" is not a valid " + kind + " name");
    return name;
}

}  // namespace

int VerbSetAttribute(const TCliArguments& args, TCliStreams& io)
{
    const std::string& name = NeedName(args, 1, "attribute");
    const std::string& value = args.Need(2, "VALUE");
    return Edit(args, io, 3, [&](TqelXMLParser2& document, TqelXMLNode2& element) {
        if (document.Reading() == TqelXMLReading::Classic)
            if (const std::string problem = AttributeValueProblem(value); !problem.empty())
                throw ECliFailure(problem + " Use --reading=standard.");
        element.SetAttribute(name, value);
    });
}

int VerbRemoveAttribute(const TCliArguments& args, TCliStreams& io)
{
    const std::string& name = NeedName(args, 1, "attribute");
    return Edit(args, io, 2, [&](TqelXMLParser2&, TqelXMLNode2& element) {
        const int index = element.IndexOfAttribute(name);
        if (index >= 0) element.RemoveAttribute(element.Attributes[index]);
    });
}

int VerbSetText(const TCliArguments& args, TCliStreams& io)
{
    const std::string& text = args.Need(1, "TEXT");
    return Edit(args, io, 2, [&](TqelXMLParser2&, TqelXMLNode2& element) { element.SetText(text); });
}

int VerbRename(const TCliArguments& args, TCliStreams& io)
{
    const std::string& name = NeedName(args, 1, "element");
    return Edit(args, io, 2, [&](TqelXMLParser2&, TqelXMLNode2& element) { element.SetName(name); });
}

int VerbAddChild(const TCliArguments& args, TCliStreams& io)
{
    const std::string& name = NeedName(args, 1, "element");
    return Edit(args, io, 2, [&](TqelXMLParser2& document, TqelXMLNode2& element) {
        auto child = std::make_unique<TqelXMLNode2>();
        child->Document = &document;
        child->SetName(name);
        element.AddChild(std::move(child));
    });
}

int VerbDelete(const TCliArguments& args, TCliStreams& io)
{
    return Edit(args, io, 1, [&](TqelXMLParser2&, TqelXMLNode2& element) {
        if (!element.Parent) throw ECliFailure("the outermost element cannot be deleted");
        element.Parent->DeleteChild(&element);
    });
}
