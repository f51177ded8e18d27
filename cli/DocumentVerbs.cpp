// Verbs that load and write documents.

#include <ostream>

#include "cli/CliVerbs.h"
#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"

int VerbParse(const TCliArguments& args, TCliStreams&)
{
    args.AtMost(1);
    TqelXMLParser2 document;
    LoadDocumentStrict(document, args.Need(0, "FILE"), args);
    return 0;
}

int VerbWrite(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(1);
    TqelXMLParser2 document;
    LoadDocument(document, args.Need(0, "FILE"), args);
    const std::string text = args.At ? document.GetNodeXML(TargetElement(document, args)) : document.GetXMLText();
    WriteResult(args, io, text);
    if (!document.LastError.empty()) throw ParseFailure(document);
    return 0;
}

int VerbFragment(const TCliArguments& args, TCliStreams& io)
{
    args.AtMost(2);
    const std::string& fileName = args.Need(0, "FILE");
    const std::string fragment = ReadFileText(args.Need(1, "TEXTFILE"));
    TqelXMLParser2 document;
    LoadDocument(document, fileName, args);
    document.ParseFragment(TargetElement(document, args), fragment);
    WriteResult(args, io, document.GetXMLText());
    if (!document.LastError.empty()) throw ParseFailure(document);
    return 0;
}
