#pragma once
// Argument handling shared by the verbs of brindle-cli.

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TqelXMLNode2;
class TqelXMLParser2;

// A usage error: unknown verb or option, missing or malformed argument (exit status 2).
class ECliUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure the engine reported (exit status 1). Control bytes in the message are
// made visible (VisibleControlBytes): the text of an exception ends at a NUL.
class ECliFailure : public std::runtime_error {
public:
    explicit ECliFailure(std::string_view message);
};

// How FILE and STYLESHEET are read: as --reading names it.
enum class TCliReading { Classic, Standard, Auto };

// The options of the whole program, given before the verb.
struct TCliGlobals {
    long WhileLimit = 10000;  // milliseconds
    TCliReading Reading = TCliReading::Classic;
};

// What follows the verb: options anywhere, the rest positional.
struct TCliArguments {
    std::vector<std::string> Positional;
    std::optional<long> At;
    std::optional<std::string> Output;
    bool StopAtMatch = false;
    bool InPlace = false;
    // --param NAME=VALUE, in the order given.
    std::vector<std::pair<std::string, std::string>> Parameters;
    TCliGlobals Globals;

    // The positional argument at index; a usage error naming what is missing when absent.
    const std::string& Need(std::size_t index, const char* what) const;
    // A usage error when more than count positional arguments were given.
    void AtMost(std::size_t count) const;
};

struct TCliStreams {
    std::ostream& Out;
    std::ostream& Err;
};

// Reads the arguments after the verb.
TCliArguments ParseVerbArguments(const std::vector<std::string>& args, const TCliGlobals& globals);

// The element at pre-order index index of the document (0 is the document itself);
// a usage error when the document has fewer elements.
TqelXMLNode2* ElementAt(TqelXMLParser2& document, long index);
// Loads FILE in the reading --reading names. A standard reading that fails
// fails here with its message; a classic one leaves LastError to the verb (a file
// that cannot be read raises EFileError).
void LoadDocument(TqelXMLParser2& document, const std::string& fileName, const TCliArguments& args);
// Loads FILE and fails with its LastError when the load reported one.
void LoadDocumentStrict(TqelXMLParser2& document, const std::string& fileName, const TCliArguments& args);
// The failure of a load or fragment parse: the document's LastError, with the
// partially read document it quotes cut after PartialDocumentShown bytes and a
// line saying how many more there were.
ECliFailure ParseFailure(TqelXMLParser2& document);
constexpr std::size_t PartialDocumentShown = 4096;
// The element --at names (0 by default).
TqelXMLNode2* TargetElement(TqelXMLParser2& document, const TCliArguments& args);
// A text for one TAB-separated field of a printed line: backslash, TAB, CR and LF
// written as \\, \t, \r and \n.
std::string EscapeField(const std::string& text);
// Writes engine text exactly to -o OUT or to standard output.
void WriteResult(const TCliArguments& args, TCliStreams& io, const std::string& text);
