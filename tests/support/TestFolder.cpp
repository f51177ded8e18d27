#include "TestFolder.h"

#include <cstdlib>
#include <stdexcept>

#include "core/qelStrings.h"

TTestFolder::TTestFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "brindle-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    FRoot = pattern;
}

TTestFolder::~TTestFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(FRoot, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(FRoot, ignored);
}

std::string TTestFolder::Write(const std::string& name, const std::string& text) const
{
    WriteFileText(Path(name), text);
    return Path(name);
}

std::string TTestFolder::Read(const std::string& name) const { return ReadFileText(Path(name)); }

std::string ExampleFile(const std::string& name)
{
    const char* folder = std::getenv("BRINDLE_EXAMPLES");
    return (std::filesystem::path(folder ? folder : "examples") / name).string();
}

std::string ErrorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

TFileSizeLimit::TFileSizeLimit(rlim_t bytes)
{
    if (::getrlimit(RLIMIT_FSIZE, &FOld) != 0) throw std::runtime_error("cannot read the file size limit");
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = FOld;
    limit.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) throw std::runtime_error("cannot set the file size limit");
}

TFileSizeLimit::~TFileSizeLimit()
{
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
}
