// brindle-cli transform FILE STYLESHEET [--at N] [-o OUT]
// brindle-cli xslt FILE STYLESHEET [--at N] [-o OUT] [--param NAME=VALUE]...

#include "cli/CliVerbs.h"
#include "core/qelXMLParser2.h"
#include "standard/StandardXslt.h"

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

int VerbXslt(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(2);
    const std::string& fileName = args.Need(0, "FILE");
    TStandardXsltRequest request;
    request.StylesheetFile = args.Need(1, "STYLESHEET");
    request.DocumentName = fileName;
    request.Parameters = args.Parameters;
    TqelXMLParser2 document;
    LoadDocumentStrict(document, fileName, args);
    const TqelXMLNode2* element = TargetElement(document, args);
    request.DocumentText = element == &document ? document.GetXMLText() : document.GetNodeXML(element);
    const TStandardXsltResult result = TransformStandardXslt(request);  // raises before anything is written
    if (!result.Messages.empty()) io.Err << result.Messages << '\n';
    WriteResult(args, io, result.Output);
    return 0;
}
