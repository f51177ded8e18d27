#include "CliTestSupport.h"

#include <sstream>

#include "cli/BrindleCli.h"
#include "core/FormatSettings.h"

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
