#include "cli/CliArguments.h"

#include <charconv>
#include <ostream>

#include "core/TreeWalk.h"
#include "core/qelStrings.h"
#include "core/qelXMLParser2.h"

const std::string& TCliArguments::Need(std::size_t index, const char* what) const
{
    if (index >= Positional.size()) throw ECliUsage(std::string("missing ") + what);
    return Positional[index];
}

void TCliArguments::AtMost(std::size_t count) const
{
    if (Positional.size() > count) throw ECliUsage("unexpected argument \"" + Positional[count] + "\"");
}

namespace {
long ReadIndex(const std::string& text)
{
    long value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0)
        throw ECliUsage("--at needs an element index, not \"" + text + "\"");
    return value;
}
}  // namespace

TCliArguments ParseVerbArguments(const std::vector<std::string>& args, const TCliGlobals& globals)
{
    TCliArguments result;
    result.Globals = globals;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw ECliUsage(arg + " needs a value");
            return args[++i];
        };
        if (options && arg == "--") {
            options = false;
        } else if (options && arg == "--at") {
            result.At = ReadIndex(value());
        } else if (options && arg == "-o") {
            result.Output = value();
            if (result.Output->empty()) throw ECliUsage("-o needs a file name");
        } else if (options && arg == "--stop-at-match") {
            result.StopAtMatch = true;
        } else if (options && arg == "--param") {
            const std::string& parameter = value();
            const std::size_t eq = parameter.find('=');
            if (eq == std::string::npos || eq == 0) throw ECliUsage("--param needs NAME=VALUE, not \"" + parameter + "\"");
            result.Parameters.emplace_back(parameter.substr(0, eq), parameter.substr(eq + 1));
        } else if (options && arg == "--in-place") {
            result.InPlace = true;
        } else if (options && arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            throw ECliUsage("unknown option " + arg);
        } else {
            result.Positional.push_back(arg);
        }
    }
    if (result.InPlace && result.Output) throw ECliUsage("-o and --in-place exclude each other");
    return result;
}

TqelXMLNode2* ElementAt(TqelXMLParser2& document, long index)
{
    long seen = 0;
    TqelXMLNode2* found = WalkPreOrder(static_cast<TqelXMLNode2*>(&document), [&](TqelXMLNode2*) { return seen++ == index; });
    if (found) return found;
    throw ECliUsage("--at " + std::to_string(index) + ": the document has only " + std::to_string(seen) + " elements");
}

ECliFailure::ECliFailure(std::string_view message) : std::runtime_error(VisibleControlBytes(message)) {}

ECliFailure ParseFailure(TqelXMLParser2& document)
{
    const std::string_view message = document.LastError;
    // The message ends with the document as written after the failure; it is
    // found by writing it again, as nothing else marks where it starts.
    const std::string partial = document.GetXMLText();
    if (partial.size() <= PartialDocumentShown || !message.ends_with(partial)) return ECliFailure(message);
    const std::size_t start = message.size() - partial.size();
    return ECliFailure(std::string(message.substr(0, start + PartialDocumentShown)) + "\n... (" +
                       std::to_string(partial.size() - PartialDocumentShown) +
                       " more bytes of the partially read document)");
}

void LoadDocument(TqelXMLParser2& document, const std::string& fileName, const TCliArguments& args)
{
    TqelXMLReading reading = TqelXMLReading::Classic;
    if (args.Globals.Reading == TCliReading::Auto)
        reading = document.LoadFromFileAutomatic(fileName);
    else {
        if (args.Globals.Reading == TCliReading::Standard) reading = TqelXMLReading::Standard;
        document.LoadFromFile(fileName, reading);
    }
    if (reading == TqelXMLReading::Standard && !document.LastError.empty()) throw ECliFailure(document.LastError);
}

void LoadDocumentStrict(TqelXMLParser2& document, const std::string& fileName, const TCliArguments& args)
{
    LoadDocument(document, fileName, args);
    if (!document.LastError.empty()) throw ParseFailure(document);
}

TqelXMLNode2* TargetElement(TqelXMLParser2& document, const TCliArguments& args)
{
    return ElementAt(document, args.At.value_or(0));
}

void WriteResult(const TCliArguments& args, TCliStreams& io, const std::string& text)
{
    if (args.Output)
        WriteFileText(*args.Output, text);
    else
        io.Out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string EscapeField(const std::string& text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        case '\n': escaped += "\\n"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}
