// Whole-file and stream transfer of text, byte for byte.

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <istream>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "core/FileError.h"
#include "core/qelStrings.h"

namespace {

// Closes a file descriptor on every path.
class TFileHandle {
public:
    explicit TFileHandle(int fd) : FFd(fd) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    ~TFileHandle() { Close(); }
    int Fd() const { return FFd; }
    int Close()
    {
        const int result = FFd >= 0 ? ::close(FFd) : 0;
        FFd = -1;
        return result;
    }

private:
    int FFd;
};

// Removes the temporary file of a save unless the save was completed.
class TTemporaryFile {
public:
    explicit TTemporaryFile(std::string path) : FPath(std::move(path)) {}
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile()
    {
        if (!FKept) ::unlink(FPath.c_str());
    }
    const std::string& Path() const { return FPath; }
    void Keep() { FKept = true; }

private:
    std::string FPath;
    bool FKept = false;
};

// The file a save really replaces: the target of a symbolic link, so that the link stays.
std::string ResolveTarget(const std::string& fileName)
{
    struct stat info {};
    if (::lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(fileName.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return fileName;
}

mode_t DefaultFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

TFileSync GFileSync = ::fsync;

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

std::string ReadFileText(const std::string& fileName)
{
    TFileHandle file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Fd() < 0) throw FileError("Cannot open", fileName, errno);
    struct stat info {};
    if (::fstat(file.Fd(), &info) != 0) throw FileError("Cannot read", fileName, errno);
    if (S_ISDIR(info.st_mode)) throw FileError("Cannot open", fileName, EISDIR);
    std::string text;
    if (S_ISREG(info.st_mode)) text.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(file.Fd(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw FileError("Cannot read", fileName, errno);
        }
        if (got == 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    return text;
}

void WriteFileText(const std::string& fileName, std::string_view text)
{
    const std::string target = ResolveTarget(fileName);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    std::string pattern = folder + "." + base + ".XXXXXX";
    TFileHandle file(::mkstemp(pattern.data()));
    if (file.Fd() < 0) throw FileError("Cannot create", fileName, errno);
    TTemporaryFile temporary(pattern);

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) throw FileError("Cannot create", fileName, EISDIR);
    const mode_t mode = exists ? (old.st_mode & 07777) : DefaultFileMode();
    if (::fchmod(file.Fd(), mode) != 0) throw FileError("Cannot write", fileName, errno);
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Keep the owner where the system allows it; a file of another owner that we
        // may write to stays ours otherwise.
        [[maybe_unused]] const int ignored = ::fchown(file.Fd(), old.st_uid, old.st_gid);
    }
    if (!WriteAll(file.Fd(), text) || GFileSync(file.Fd()) != 0) throw FileError("Cannot write", fileName, errno);
    if (file.Close() != 0) throw FileError("Cannot write", fileName, errno);
    if (::rename(temporary.Path().c_str(), target.c_str()) != 0) throw FileError("Cannot replace", fileName, errno);
    temporary.Keep();

    // Make the new directory entry durable too.
    TFileHandle directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Fd() >= 0) ::fsync(directory.Fd());
}

TFileSync SetFileSync(TFileSync sync) { return std::exchange(GFileSync, sync); }

bool FileExists(const std::string& fileName)
{
    struct stat info {};
    return ::stat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

void WriteStringToStream(std::string_view text, std::ostream& stream)
{
    stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string ReadStreamText(std::istream& stream)
{
    stream.clear();
    stream.seekg(0, std::ios::end);
    const std::streamoff size = stream.tellg();
    stream.seekg(0, std::ios::beg);
    if (size <= 0) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    stream.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(stream.gcount()));
    return text;
}
