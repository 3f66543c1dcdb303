#include "platform/FileSystem.h"
#include "platform/ProcessStart.h"
#include "platform/ProgramFolder.h"
#include "platform/TempNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

class NativeFileSystem : public ::testing::Test
{
protected:
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();

    std::unique_ptr<OpenFolder> open(const std::string& path, FolderSide side = FolderSide::Source)
    {
        auto folder = fs->openFolder(path, side);
        EXPECT_TRUE(folder.ok()) << path;
        return folder ? std::move(*folder) : nullptr;
    }

    std::optional<FolderEntry> findEntry(const FolderListing& entries, const std::string& name)
    {
        return entries.find(name);
    }
};

// A pid no process has: beyond the kernel's pid_max.
constexpr std::uint64_t GonePid = 99'999'999;

} // namespace

TEST_F(NativeFileSystem, HiddenMeansADotNameAndSpecialFilesAreSystem)
{
    writeFile(temp / ".profile", "x");
    writeFile(temp / "plain", "x");
    makeFolders(temp / ".cache");
    ASSERT_EQ(::mkfifo((temp / "pipe").c_str(), 0600), 0);
    auto listing = open(temp.path())->list();
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(findEntry(*listing, ".profile")->info.attributes & HiddenAttribute, HiddenAttribute);
    EXPECT_EQ(
        findEntry(*listing, "plain")->info.attributes & (HiddenAttribute | SystemAttribute), 0u);
    EXPECT_EQ(findEntry(*listing, ".cache")->info.attributes, HiddenAttribute | DirectoryAttribute);
    EXPECT_EQ(findEntry(*listing, "pipe")->info.kind, EntryKind::Special);
    EXPECT_EQ(findEntry(*listing, "pipe")->info.attributes & SystemAttribute, SystemAttribute);
    EXPECT_FALSE(fs->fileExists(temp / "pipe"));
}

TEST_F(NativeFileSystem, LinksAreListedAsThemselvesWithWhatTheyLeadTo)
{
    writeFile(temp / "target.txt", "data");
    makeFolders(temp / "folder");
    ASSERT_EQ(::symlink("target.txt", (temp / "to-file").c_str()), 0);
    ASSERT_EQ(::symlink("folder", (temp / "to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (temp / "dangling").c_str()), 0);
    auto source = open(temp.path());
    auto listing = source->list();
    ASSERT_TRUE(listing.ok());
    const std::pair<const char*, EntryKind> links[] = { { "to-file", EntryKind::File },
        { "to-folder", EntryKind::Folder }, { "dangling", EntryKind::Special } };
    for (const auto& [name, target] : links) {
        const auto entry = findEntry(*listing, name);
        ASSERT_FALSE(entry->error) << name;
        EXPECT_EQ(entry->info.kind, EntryKind::Link) << name;
        EXPECT_EQ(entry->info.linkTarget, target) << name;
    }
    EXPECT_EQ(findEntry(*listing, "to-file")->info.size, std::string("target.txt").size())
        << "a link's own size: its target text";
    EXPECT_EQ(source->stat("to-file")->size, 4u) << "a look-up follows it";
    EXPECT_FALSE(source->openFolder("to-folder")) << "it is never opened as a folder";
}

TEST_F(NativeFileSystem, LeftoverTemporaryFilesAreHiddenAndClearedOnceTheirWriterIsGone)
{
    const std::string leftover = makeTempName({ GonePid, 0 }, 3);
    const std::string live = makeTempName(thisWriter(), 999'999);
    // This process's number, but another start: written before a reboot, or by a program
    // that had the number before.
    const std::string reused
        = makeTempName({ thisWriter().processId, thisWriter().started + 1 }, 5);
    writeFile(temp / leftover, "half");
    writeFile(temp / live, "busy");
    writeFile(temp / reused, "old");
    writeFile(temp / "user.txt", "mine");
    auto full = open(temp.path())->list();
    ASSERT_TRUE(full.ok());
    ASSERT_EQ(full->size(), 1u);
    EXPECT_EQ((*full)[0].name, "user.txt");
    EXPECT_TRUE(readFile(temp / leftover)) << "a source listing never deletes";

    auto names = open(temp.path(), FolderSide::Destination)->list();
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(names->size(), 1u);
    EXPECT_FALSE(readFile(temp / leftover));
    EXPECT_FALSE(readFile(temp / reused)) << "a number used again is no sign of life";
    EXPECT_TRUE(readFile(temp / live)) << "a copy still under way keeps its file";
}

TEST_F(NativeFileSystem, CopyKeepsNanosecondsAndPermissionBits)
{
    const FileTime precise { 1'650'000'000, 123'456'789 };
    writeFile(temp / "src/run.sh", "#!/bin/sh\n", precise);
    ::chmod((temp / "src/run.sh").c_str(), 0751);
    makeFolders(temp / "dst");
    auto source = open(temp / "src");
    auto destination = open(temp / "dst");
    auto copied = destination->copyFileFrom(*source, "run.sh", *source->stat("run.sh"), nullptr);
    ASSERT_TRUE(copied.ok()) << copied.error().message;
    EXPECT_EQ(modifiedTime(temp / "dst/run.sh"), precise);
    struct stat st;
    ASSERT_EQ(::stat((temp / "dst/run.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0751u);
    EXPECT_EQ(countEntries(temp / "dst"), 1) << "no temporary file stays behind";
}

TEST_F(NativeFileSystem, ReadOnlyTargetIsRefusedEvenForRoot)
{
    writeFile(temp / "src/f", "new", { 1'700'000'000, 0 });
    writeFile(temp / "dst/f", "old", { 1'600'000'000, 0 });
    ::chmod((temp / "dst/f").c_str(), 0444);
    auto source = open(temp / "src");
    auto destination = open(temp / "dst");
    auto target = destination->stat("f");
    ASSERT_TRUE(target.ok());
    auto copied = destination->copyFileFrom(*source, "f", *source->stat("f"), &*target);
    ASSERT_FALSE(copied.ok());
    EXPECT_EQ(copied.error().kind, FsErrorKind::PermissionDenied);
    EXPECT_EQ(readFile(temp / "dst/f"), "old");
}

TEST_F(NativeFileSystem, AFailureMidCopyLeavesTheOldFileAndNoTemporaryFile)
{
    writeFile(temp / "src/big", std::string(256 * 1024, 'n'), { 1'700'000'000, 0 });
    writeFile(temp / "dst/big", "old contents", { 1'600'000'000, 0 });
    auto source = open(temp / "src");
    auto destination = open(temp / "dst");
    auto target = destination->stat("big");
    ASSERT_TRUE(target.ok());

    // A file-size limit makes the write fail part way, as a full disk would.
    struct rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    auto copied = destination->copyFileFrom(*source, "big", *source->stat("big"), &*target);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_FALSE(copied.ok());
    EXPECT_EQ(readFile(temp / "dst/big"), "old contents");
    EXPECT_EQ(modifiedTime(temp / "dst/big"), (FileTime { 1'600'000'000, 0 }));
    EXPECT_EQ(countEntries(temp / "dst"), 1);
}

TEST_F(NativeFileSystem, ProbeFindsAPreciseFileSystemExactAndLeavesNothingBehind)
{
    auto folder = open(temp.path());
    EXPECT_EQ(folder->timeGranularity(), (TimeGranularity { 1 }));
    EXPECT_EQ(countEntries(temp.path()), 0);
}

TEST_F(NativeFileSystem, DrivesAreTheRootAndOtherMountPoints)
{
    EXPECT_TRUE(fs->driveExists("/"));
    EXPECT_TRUE(fs->driveExists("/proc"));
    EXPECT_TRUE(fs->driveExists("/proc/"));
    EXPECT_FALSE(fs->driveExists(temp.path()));
    EXPECT_FALSE(fs->driveExists("/h"));
    EXPECT_FALSE(fs->driveExists("c:"));
    EXPECT_FALSE(fs->driveExists(""));
}

TEST_F(NativeFileSystem, ReplacingAFileKeepsTheOldOneOnFailureAndRefusesReadOnlyFiles)
{
    const std::string path = temp / "copyrule.txt";
    EXPECT_FALSE(fs->replaceFile(path, "first"));
    EXPECT_EQ(readFile(path), "first");
    EXPECT_FALSE(fs->replaceFile(path, "second"));
    EXPECT_EQ(fs->readFile(path, 100).value(), "second");
    EXPECT_EQ(fs->readFile(path, 3).value(), "sec");
    ::chmod(path.c_str(), 0444);
    auto refused = fs->replaceFile(path, "third");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->kind, FsErrorKind::PermissionDenied);
    EXPECT_EQ(readFile(path), "second");
    EXPECT_EQ(countEntries(temp.path()), 1) << "no temporary file stays behind";
    auto missing = fs->replaceFile(temp / "no/such/folder/file", "x");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind, FsErrorKind::PathNotFound);
}

TEST(ProgramFolders, SettingsAndLogsFollowXdgAndTheSystemInstallIsNeverWritten)
{
    // Each variable is restored as it was, so later tests see the machine's own.
    auto saveVariable = [](const char* name) {
        const char* value = std::getenv(name);
        return std::pair<std::string, std::optional<std::string>>(
            name, value ? std::optional<std::string>(value) : std::nullopt);
    };
    const std::vector saved
        = { saveVariable("XDG_CONFIG_HOME"), saveVariable("XDG_STATE_HOME"), saveVariable("HOME") };
    ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    ::setenv("XDG_STATE_HOME", "/srv/state", 1);
    EXPECT_EQ(userSettingsFolder(), "/srv/config/rinvo");
    EXPECT_EQ(userLogFolder(), "/srv/state/rinvo/logs");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    ::setenv("XDG_STATE_HOME", "relative/ignored", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(userSettingsFolder(), "/home/someone/.config/rinvo");
    EXPECT_EQ(userLogFolder(), "/home/someone/.local/state/rinvo/logs");
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", "relative", 1);
    EXPECT_EQ(userLogFolder(), "") << "no folder rather than one relative to the working one";
    for (const auto& [name, value] : saved) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    EXPECT_TRUE(isSystemInstallFolder("/usr/bin"));
    EXPECT_TRUE(isSystemInstallFolder("/usr/local/bin")) << "also for root, who may write there";
    EXPECT_FALSE(isSystemInstallFolder("/usrlocal"));
    EXPECT_FALSE(isSystemInstallFolder("/opt/rinvo"));
    EXPECT_FALSE(userCanWriteFolder("/no/such/folder"));
}
