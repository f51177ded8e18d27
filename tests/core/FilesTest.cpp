// Whole-file reading and the atomic replacement of files.

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "TestFiles.h"
#include "core/FileError.h"
#include "core/qelStrings.h"

namespace {

std::vector<std::string> FolderEntries(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Files, ReadErrorsNameTheFileAndTheReason)
{
    TTestFolder dir;
    EXPECT_EQ(ErrorOf([&] { ReadFileText(dir.Path("x.xml")); }),
              "Cannot open file \"" + dir.Path("x.xml") + "\": No such file or directory");
    EXPECT_EQ(ErrorOf([&] { ReadFileText(dir.Root().string()); }),
              "Cannot open file \"" + dir.Root().string() + "\": Is a directory");
    EXPECT_FALSE(FileExists(dir.Root().string()));
    EXPECT_FALSE(FileExists(dir.Path("x.xml")));
}

TEST(Files, WriteReplacesExactlyAndKeepsPermissions)
{
    TTestFolder dir;
    const std::string file = dir.Path("doc.xml");
    const std::string bytes("<a>\0\xff\r\n</a>", 11);
    WriteFileText(file, "old");
    ::chmod(file.c_str(), 0640);
    WriteFileText(file, bytes);
    EXPECT_EQ(ReadFileText(file), bytes);
    EXPECT_TRUE(FileExists(file));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(FolderEntries(dir.Root()), std::vector<std::string>{"doc.xml"});
    WriteFileText(file, "");
    EXPECT_EQ(ReadFileText(file), "");
}

TEST(Files, WritingThroughALinkReplacesItsTarget)
{
    TTestFolder dir;
    WriteFileText(dir.Path("real.xml"), "old");
    std::filesystem::create_symlink("real.xml", dir.Path("link.xml"));
    WriteFileText(dir.Path("link.xml"), "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.xml")));
    EXPECT_EQ(ReadFileText(dir.Path("real.xml")), "new");
}

TEST(Files, AFailedSaveLeavesTheOldFileWhole)
{
    TTestFolder dir;
    const std::string file = dir.Path("doc.xml");
    WriteFileText(file, "precious");

    EXPECT_EQ(ErrorOf([&] { WriteFileText(dir.Path("missing/doc.xml"), "x"); }),
              "Cannot create file \"" + dir.Path("missing/doc.xml") + "\": No such file or directory");
    EXPECT_EQ(ErrorOf([&] { WriteFileText(dir.Root().string(), "x"); }).rfind("Cannot create file", 0), 0u);

    // A write that the system cuts short (here: the file size limit) fails the save.
    std::string error;
    {
        const TFileSizeLimit limit(4);
        error = ErrorOf([&] { WriteFileText(file, "a much longer replacement"); });
    }

    EXPECT_EQ(error, "Cannot write file \"" + file + "\": File too large");
    EXPECT_EQ(ReadFileText(file), "precious");
    EXPECT_EQ(FolderEntries(dir.Root()), std::vector<std::string>{"doc.xml"});
}

// What the sync call saw of each save: the size of the file it made durable and
// what the target held at that moment.
std::vector<std::string> GSyncsSeen;
std::string GSyncTarget;

int WatchingSync(int fd)
{
    struct stat info {};
    ::fstat(fd, &info);
    GSyncsSeen.push_back(std::to_string(info.st_size) + ":" + ReadFileText(GSyncTarget));
    return 0;
}

// A save makes the whole new content durable before it takes the old file's
// place, so that a crash leaves either the old file or the whole new one.
TEST(Files, ASaveSyncsTheNewContentBeforeItReplacesTheOld)
{
    TTestFolder dir;
    GSyncTarget = dir.Path("doc.xml");
    WriteFileText(GSyncTarget, "old");
    GSyncsSeen.clear();
    const TFileSync previous = SetFileSync(WatchingSync);
    WriteFileText(GSyncTarget, "new text");
    SetFileSync(previous);
    EXPECT_EQ(GSyncsSeen, std::vector<std::string>{"8:old"});
}

}  // namespace
