#include "CliTestSupport.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "cli/BrindleCli.h"
#include "core/FormatSettings.h"
#include "core/qelStrings.h"

TCliRun Cli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    TCliRun run;
    run.Status = RunCli(args, out, err);
    run.Out = out.str();
    run.Err = err.str();
    ProgramSettings() = TFormatSettings{};  // options of one run do not leak into the next
    return run;
}

TCliFolder::TCliFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-cli-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FPath = pattern;
}

TCliFolder::~TCliFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

std::string TCliFolder::Write(const std::string& name, const std::string& text) const
{
    WriteFileText(Path(name), text);
    return Path(name);
}

std::string ExamplePath(const std::string& name)
{
    const char* folder = std::getenv("BRINDLE_EXAMPLES");
    return (std::filesystem::path(folder ? folder : "examples") / name).string();
}
