#pragma once
// XSLT 1.0 through libxslt. The document is handed over as text; the stylesheet
// is read from its file, so that xsl:import, xsl:include and document() find
// local files beside it. Nothing is ever read from or written to the network,
// and a stylesheet writes no file.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A document or stylesheet that does not parse, a stylesheet error, a transform
// that stopped: the text holds every message libxslt and libxml2 reported.
class EStandardXsltError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TStandardXsltRequest {
    std::string DocumentText;    // the document as text, in the encoding it declares
    std::string DocumentName;    // where the document's relative references point from; may be empty
    std::string StylesheetFile;  // the stylesheet's file name
    // Top-level parameters, each set to its value as a string.
    std::vector<std::pair<std::string, std::string>> Parameters;
};

struct TStandardXsltResult {
    std::string Output;    // as the stylesheet's xsl:output says (method, encoding, indentation)
    std::string Messages;  // xsl:message output and warnings, one per line; empty when there were none
};

// Runs the transformation. Raises EStandardXsltError with the messages when it fails.
TStandardXsltResult TransformStandardXslt(const TStandardXsltRequest& request);
