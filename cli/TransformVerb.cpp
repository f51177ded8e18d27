// brindle-cli transform FILE STYLESHEET [--at N] [-o OUT]

#include "cli/CliVerbs.h"
#include "core/qelXMLParser2.h"

int VerbTransform(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(2);
    const std::string& fileName = args.Need(0, "FILE");
    const std::string& styleName = args.Need(1, "STYLESHEET");
    TqelXMLParser2 document;
    TqelXMLParser2 stylesheet;
    LoadDocumentStrict(document, fileName, args);
    LoadDocumentStrict(stylesheet, styleName, args);
    TqelXMLNode2* element = TargetElement(document, args);
    std::string text;
    element->TransformWith(stylesheet, text);  // raises before anything is written
    WriteResult(args, io, text);
    return 0;
}
