#pragma once
// brindle-cli: the engine without a window.

#include <iosfwd>
#include <string>
#include <vector>

// Runs one command line (without the program name); returns the exit status:
// 0 success, 1 a failure the engine reported, 2 a usage error.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
