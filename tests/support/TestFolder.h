#pragma once
// Files for tests: a fresh folder removed afterwards, and the example files.

#include <filesystem>
#include <string>

// A fresh folder that is removed with everything in it.
class TTestFolder {
public:
    TTestFolder();
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;
    ~TTestFolder();
    const std::filesystem::path& Root() const { return FRoot; }
    std::string Path(const std::string& name) const { return (FRoot / name).string(); }
    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path FRoot;
};

// The path of a file in examples/ (the folder the test runner names, or ./examples).
std::string ExampleFile(const std::string& name);
