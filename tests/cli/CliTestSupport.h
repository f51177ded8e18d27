#pragma once
// Runs brindle-cli in-process and captures what it prints.

#include "TestFolder.h"
#include <string>
#include <vector>

struct TCliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

TCliRun Cli(const std::vector<std::string>& args);

