// brindle-cli xel FILE [--at N] [-o OUT]

#include <ostream>

#include "cli/CliVerbs.h"
#include "core/qelStrings.h"
#include "xel/qelXelInterpreter.h"

int VerbXel(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(1);
    TqelXMLParser2 document;
    LoadDocumentStrict(document, args.Need(0, "FILE"), args);
    TqelXMLNode2* element = TargetElement(document, args);
    SetXelWhileLimit(args.Globals.WhileLimit);
    document.SetXelCustomHandler([&io](TqelXMLParser2&, TqelXMLNode2& node, const std::string& text) {
        io.Out << ComposeXelMessage(node, text) << '\n';
    });
    // The document is written after the run however it ended, so that the
    // variables' values can be seen.
    auto writeDocument = [&] {
        if (args.Output) WriteFileText(*args.Output, document.GetXMLText());
    };
    try {
        element->ExecuteXel(document);
    } catch (...) {
        writeDocument();
        throw;
    }
    writeDocument();
    return 0;
}
