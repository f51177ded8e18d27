#pragma once
// Files for tests: a fresh folder removed afterwards, and the example files.

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>

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

// The message of the error the call raises, or "" when it raises none.
std::string ErrorOf(const std::function<void()>& call);

// While it lives, the system cuts every file write short past bytes, so that
// saves fail halfway (the signal that would end the process is ignored).
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes);
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;
    ~TFileSizeLimit();

private:
    struct rlimit FOld {};
    void (*FOldHandler)(int) = nullptr;
};
