#include "cli/BrindleCli.h"

#include <charconv>
#include <new>
#include <ostream>
#include <string_view>

#include "cli/CliVerbs.h"
#include "core/FormatSettings.h"
#include "core/qelStrings.h"

namespace {

struct TVerb {
    std::string_view Name;
    int (*Run)(const TCliArguments&, TCliStreams&);
};

constexpr TVerb Verbs[] = {
    {"parse", VerbParse},
    {"write", VerbWrite},
    {"fragment", VerbFragment},
    {"eval", VerbEval},
    {"select", VerbSelect},
    {"transform", VerbTransform},
    {"xpath", VerbXPath},
    {"xslt", VerbXslt},
    {"xel", VerbXel},
    {"table", VerbTable},
    {"set-attribute", VerbSetAttribute},
    {"remove-attribute", VerbRemoveAttribute},
    {"set-text", VerbSetText},
    {"rename", VerbRename},
    {"add-child", VerbAddChild},
    {"delete", VerbDelete},
};

std::string Usage()
{
    std::string usage =
        "usage: brindle-cli [--decimal-separator C] [--date-separator C] [--short-date-format F]\n"
        "                   [--while-limit MS] [--reading classic|standard|auto] VERB ARGUMENTS...\n"
        "verbs:";
    for (const TVerb& verb : Verbs) {
        usage += ' ';
        usage += verb.Name;
    }
    usage += '\n';
    return usage;
}

char ReadSeparator(const std::string& option, const std::string& value)
{
    if (value.size() != 1) throw ECliUsage(option + " needs one character");
    return value[0];
}

long ReadLimit(const std::string& value)
{
    long limit = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), limit);
    if (value.empty() || error != std::errc() || end != value.data() + value.size() || limit <= 0)
        throw ECliUsage("--while-limit needs a positive whole number of milliseconds");
    return limit;
}

TCliReading ReadReading(const std::string& value)
{
    if (value == "classic") return TCliReading::Classic;
    if (value == "standard") return TCliReading::Standard;
    if (value == "auto") return TCliReading::Auto;
    throw ECliUsage("--reading needs classic, standard or auto, not \"" + value + "\"");
}

int Run(const std::vector<std::string>& args, TCliStreams& io)
{
    TCliGlobals globals;
    TFormatSettings& settings = ProgramSettings();
    std::size_t i = 0;
    for (; i < args.size() && args[i].size() > 1 && args[i][0] == '-'; ++i) {
        std::string option = args[i];
        std::string value;
        if (const std::size_t eq = option.find('='); eq != std::string::npos) {
            value = option.substr(eq + 1);
            option.resize(eq);
        } else {
            if (i + 1 >= args.size()) throw ECliUsage(option + " needs a value");
            value = args[++i];
        }
        if (option == "--decimal-separator")
            settings.DecimalSeparator = ReadSeparator(option, value);
        else if (option == "--date-separator")
            settings.DateSeparator = ReadSeparator(option, value);
        else if (option == "--short-date-format")
            settings.ShortDateFormat = value;
        else if (option == "--while-limit")
            globals.WhileLimit = ReadLimit(value);
        else if (option == "--reading")
            globals.Reading = ReadReading(value);
        else
            throw ECliUsage("unknown option " + option);
    }
    if (i >= args.size()) throw ECliUsage("missing verb");
    const std::string& verb = args[i];
    for (const TVerb& entry : Verbs) {
        if (entry.Name == verb) {
            const std::vector<std::string> rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            return entry.Run(ParseVerbArguments(rest, globals), io);
        }
    }
    throw ECliUsage("unknown verb " + verb);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    TCliStreams io{out, err};
    try {
        return Run(args, io);
    } catch (const ECliUsage& error) {
        err << "brindle-cli: " << error.what() << '\n' << Usage();
        return 2;
    } catch (const std::bad_alloc&) {
        err << "brindle-cli: out of memory\n";
        return 1;
    } catch (const std::exception& error) {
        err << "brindle-cli: " << VisibleControlBytes(error.what()) << '\n';
        return 1;
    }
}
