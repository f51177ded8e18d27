// Verbs that evaluate expressions and select elements, in the engine's own
// language and in XPath 1.0.

#include <ostream>
#include <unordered_map>
#include <vector>

#include "cli/CliVerbs.h"
#include "core/TreeWalk.h"
#include "core/qelXMLParser2.h"
#include "standard/StandardXPath.h"
#include "xpath/qelXPathParser2.h"

namespace {


// The pre-order index of every element of the document (0 is the document itself).
std::unordered_map<const TqelXMLNode2*, long> PreOrderIndexes(const TqelXMLParser2& document)
{
    std::unordered_map<const TqelXMLNode2*, long> indexes;
    long next = 0;
    WalkPreOrder(static_cast<const TqelXMLNode2*>(&document), [&](const TqelXMLNode2* node) {
        indexes.emplace(node, next++);
        return false;
    });
    return indexes;
}

void PrintSelection(const TqelXMLParser2& document, const TqelNodeRefList& list, std::ostream& out)
{
    if (list.empty()) return;
    const auto indexes = PreOrderIndexes(document);
    for (const TqelXMLNode2* node : list)
        out << indexes.at(node) << '\t' << EscapeField(node->Name) << '\t' << EscapeField(node->Text) << '\n';
}

}  // namespace

int VerbEval(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(2);
    const std::string& fileName = args.Need(0, "FILE");
    const std::string& expression = args.Need(1, "EXPR");
    TqelXMLParser2 document;
    TqelXMLNode2* context = nullptr;
    if (fileName == "-") {
        if (args.At) throw ECliUsage("--at needs a document, not -");
    } else {
        LoadDocumentStrict(document, fileName, args);
        context = TargetElement(document, args);
    }

    TqelXPathParser2 parser;
    parser.SetExpression(expression);
    parser.Expression->SetNode(context);
    Variant result;
    parser.Expression->Evaluate(result);
    if (result.IsNull())
        io.Out << "Null\n";
    else
        io.Out << VarKindName(result.Kind()) << ": " << result.ToText() << '\n';
    return 0;
}

int VerbSelect(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(2);
    const std::string& fileName = args.Need(0, "FILE");
    const std::string& expression = args.Need(1, "EXPR");
    TqelXMLParser2 document;
    LoadDocumentStrict(document, fileName, args);
    TqelXMLNode2* start = TargetElement(document, args);

    TqelNodeRefList list;
    try {
        SelectNodesDirect(start, list, expression, args.StopAtMatch);
    } catch (...) {
        // The elements selected before the error are printed, then the error.
        PrintSelection(document, list, io.Out);
        throw;
    }
    PrintSelection(document, list, io.Out);
    return 0;
}

int VerbXPath(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(2);
    const std::string& fileName = args.Need(0, "FILE");
    const std::string& expression = args.Need(1, "EXPR");
    TqelXMLParser2 document;
    LoadDocumentStrict(document, fileName, args);
    const TqelXMLNode2* context = TargetElement(document, args);
    const TStandardXPathDocument copy(document);
    const TStandardXPathResult result = copy.Evaluate(expression, context);
    if (result.Kind == TStandardXPathResult::TKind::Elements)
        PrintSelection(document, result.Elements, io.Out);
    else
        io.Out << result.ValueLine() << '\n';
    return 0;
}
