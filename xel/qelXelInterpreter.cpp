// Running XEL programs: the statements are elements, walked as they stand in the
// tree; conditions and actions are expressions from the document's cache.

#include "xel/qelXelInterpreter.h"

#include <chrono>

#include "core/StackSpace.h"
#include "xpath/qelXPathParser2.h"

namespace {

std::int64_t WhileLimitMs = 10000;

std::int64_t MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// One run of a program; depth counts the calls and blocks being run.
class TXelRun {
public:
    explicit TXelRun(TqelXMLParser2& document) : FDocument(document) {}

    void Execute(TqelXMLNode2& element, int depth)
    {
        if (depth > MaxXelDepth || StackSpaceLow())
            throw EXelError("The XEL run stopped: calls and blocks nest too deeply (at most " +
                            std::to_string(MaxXelDepth) + " levels). Does a function call itself without end?");
        const std::string_view name = element.Name;
        if (name.substr(0, 4) != "xel:") {
            RunChildren(element, depth);
            return;
        }
        const std::string& act = element.GetAttribute("act");
        TqelXPathParser2& compiled = FDocument.GetXPathParser(act);
        const std::string_view keyword = name.substr(4);
        if (keyword == "do") {
            compiled.Test(&element);
        } else if (keyword == "call") {
            if (TqelXMLNode2* function = element.FindXelFunction()) RunChildren(*function, depth);
        } else if (keyword == "if") {
            if (compiled.Test(&element)) RunChildren(element, depth);
        } else if (keyword == "while") {
            const auto start = std::chrono::steady_clock::now();
            while (compiled.Test(&element) && MillisecondsSince(start) <= WhileLimitMs &&
                   element.Children.Count() > 0)
                RunChildren(element, depth);
        } else if (keyword == "switch") {
            Switch(element, depth);
        } else if (keyword == "custom") {
            if (FDocument.OnXelCustom) FDocument.OnXelCustom(FDocument, element, act);
        } else {
            RunChildren(element, depth);  // program, function, var, case and any other name
        }
    }

    void Switch(TqelXMLNode2& element, int depth)
    {
        for (int i = 0; i < element.Children.Count(); ++i) {
            TqelXMLNode2& branch = *element.Children[i];
            if (branch.Name != "xel:case") continue;
            if (FDocument.GetXPathParser(branch.GetAttribute("act")).Test(&branch)) {
                RunChildren(branch, depth);
                return;
            }
        }
    }

private:
    // The count is taken when the loop starts; children are visited by position.
    void RunChildren(TqelXMLNode2& element, int depth)
    {
        const int count = element.Children.Count();
        for (int i = 0; i < count && i < element.Children.Count(); ++i) Execute(*element.Children[i], depth + 1);
    }

    TqelXMLParser2& FDocument;
};

}  // namespace

std::int64_t XelWhileLimit() { return WhileLimitMs; }

void SetXelWhileLimit(std::int64_t milliseconds) { WhileLimitMs = milliseconds; }

void TqelXMLNode2::ExecuteXel(TqelXMLParser2& document) { TXelRun(document).Execute(*this, 0); }

void TqelXMLNode2::ExecuteSwitch(TqelXMLParser2& document) { TXelRun(document).Switch(*this, 0); }

TqelXMLNode2* TqelXMLNode2::FindXelFunction() const
{
    const TqelXMLNode2* program = FindAncestor("xel:program");
    if (!program) return nullptr;
    TqelXMLNode2* function = program->FindById(Text, false);
    return function && function->Name == "xel:function" ? function : nullptr;
}

std::string ComposeXelMessage(const TqelXMLNode2& element, const std::string& text)
{
    if (text.compare(0, 5, "show:") != 0) return text;
    const std::string name = text.substr(5);
    const TqelXMLNode2* variable = element.FindXelVariable(name);
    return variable ? name + ": " + variable->Text : name;
}
