#pragma once
// Runs brindle-cli in-process and captures what it prints.

#include <filesystem>
#include <string>
#include <vector>

struct TCliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

TCliRun Cli(const std::vector<std::string>& args);

// A fresh folder for the files of one test, removed afterwards.
class TCliFolder {
public:
    TCliFolder();
    TCliFolder(const TCliFolder&) = delete;
    TCliFolder& operator=(const TCliFolder&) = delete;
    ~TCliFolder();
    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;
    std::string Path(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

std::string ExamplePath(const std::string& name);
