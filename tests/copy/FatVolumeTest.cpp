// The copy onto real FAT and NTFS volumes, mounted through FUSE; skipped where FUSE is missing.

#include "copy/CopyFolderTree.h"
#include "copy/DestinationIndex.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

bool haveTool(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A volume image made and mounted through FUSE in a temporary folder, unmounted at the end.
class FuseVolume : public ::testing::Test
{
protected:
    struct Kind
    {
        // The tools the volume needs, the command that formats IMAGE, and the one that mounts
        // it on MOUNT.
        std::vector<const char*> tools;
        std::string format;
        std::string mount;
    };

    void mountVolume(const Kind& kind)
    {
        bool tools = ::access("/dev/fuse", R_OK | W_OK) == 0 && haveTool("fusermount");
        for (const char* tool : kind.tools)
            tools = tools && haveTool(tool);
        if (!tools)
            GTEST_SKIP() << "FUSE or the volume's tools are missing";
        const std::string image = "'" + temp / "volume.img" + "'";
        makeFolders(mountPoint);
        auto withPaths = [&](std::string command) {
            command.replace(command.find("IMAGE"), 5, image);
            if (const std::size_t at = command.find("MOUNT"); at != std::string::npos)
                command.replace(at, 5, "'" + mountPoint + "'");
            return command + " >/dev/null 2>&1";
        };
        ASSERT_EQ(std::system(("truncate -s 32M " + image).c_str()), 0);
        ASSERT_EQ(std::system(withPaths(kind.format).c_str()), 0);
        if (std::system(withPaths(kind.mount).c_str()) != 0)
            GTEST_SKIP() << "this machine does not allow FUSE mounts";
        mounted = true;
    }

    void TearDown() override
    {
        if (mounted) {
            EXPECT_EQ(
                std::system(("fusermount -u '" + mountPoint + "' >/dev/null 2>&1").c_str()), 0);
        }
    }

    TempFolder temp;
    std::string mountPoint = temp / "mnt";
    bool mounted = false;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
};

class FatVolume : public FuseVolume
{
protected:
    void SetUp() override
    {
        mountVolume(
            { { "fusefat", "mkfs.vfat" }, "mkfs.vfat IMAGE", "fusefat -o rw+ IMAGE MOUNT" });
    }
};

// An NTFS volume through ntfs-3g, which keeps names case-sensitive as POSIX programs expect.
// NOTE: fusefat takes fuse3 in place of fuse, so the set-up installs fuse3 and both tools.
class NtfsVolume : public FuseVolume
{
protected:
    void SetUp() override
    {
        mountVolume({ { "mkntfs", "ntfs-3g" }, "mkntfs -F -q -f IMAGE", "ntfs-3g IMAGE MOUNT" });
    }
};

} // namespace

TEST_F(FatVolume, ARunRightAfterAFullCopyCopiesNothing)
{
    // Odd seconds and nanoseconds: FAT can keep neither.
    writeFile(temp / "src/a.txt", "a", { 1'700'000'001, 987'654'321 });
    writeFile(temp / "src/sub/b.txt", "b", { 1'700'000'003, 1 });
    CopyReport first = CopyFolderTree(*fs,
        { .source = temp / "src",
            .destination = mountPoint + "/bak",
            .option = CopyOption::SkipSystem });
    EXPECT_EQ(first.filesCopied, 2u);
    EXPECT_EQ(first.CopyStatusFlags, 0)
        << (first.failures.empty() ? "" : first.failures[0].error.message);
    EXPECT_EQ(readFile(mountPoint + "/bak/sub/b.txt"), "b");

    CopyReport second = CopyFolderTree(*fs,
        { .source = temp / "src",
            .destination = mountPoint + "/bak",
            .option = CopyOption::SkipSystem });
    EXPECT_EQ(second.filesCopied, 0u);
    EXPECT_EQ(second.filesUpToDate, 2u);

    // A change in a later two-second step is copied.
    setModifiedTime(temp / "src/a.txt", { 1'700'000'010, 0 });
    CopyReport third = CopyFolderTree(*fs,
        { .source = temp / "src",
            .destination = mountPoint + "/bak",
            .option = CopyOption::SkipSystem });
    EXPECT_EQ(third.filesCopied, 1u) << (third.failures.empty()
            ? ""
            : third.failures[0].path + ": " + third.failures[0].error.message);
}

TEST_F(FatVolume, ALinkToAFileIsCopiedAsTheFileAndOneToAFolderIsToldNeverWalked)
{
    writeFile(temp / "src/real.txt", "real", { 1'700'000'000, 0 });
    makeFolders(temp / "src/sub");
    for (const auto& [name, target] : { std::pair { "sub/file", "../real.txt" },
             { "folder", "sub" }, { "root", "/" }, { "sub/up", "../.." }, { "dangling", "no" } })
        ASSERT_EQ(::symlink(target, (temp / "src/" + name).c_str()), 0);
    const CopyReport report
        = CopyFolderTree(*fs, { .source = temp / "src", .destination = mountPoint + "/bak" });
    EXPECT_EQ(readFile(mountPoint + "/bak/sub/file"), "real");
    std::vector<std::pair<std::string, FsErrorKind>> failures;
    for (const CopyFailure& failure : report.failures)
        failures.emplace_back(failure.path, failure.error.kind);
    const std::vector<std::pair<std::string, FsErrorKind>> expected = {
        { temp / "src/dangling", FsErrorKind::PathNotFound },
        { temp / "src/folder", FsErrorKind::LinkToFolder },
        { temp / "src/root", FsErrorKind::LinkToFolder },
        { temp / "src/sub/up", FsErrorKind::LinkToFolder },
    };
    EXPECT_EQ(failures, expected);
    EXPECT_EQ(countEntries(mountPoint + "/bak"), 3) << "real.txt, sub and sub/file only";
}

TEST_F(FatVolume, NamesFatCannotHoldAreReportedAndEveryOtherFileIsCopied)
{
    writeFile(temp / "src/README", "upper");
    writeFile(temp / "src/a:b", "refused name");
    writeFile(temp / "src/readme", "lower");
    writeFile(temp / "src/z/last", "z");
    for (int run = 0; run < 2; ++run) {
        CopyReport report = CopyFolderTree(*fs,
            { .source = temp / "src",
                .destination = mountPoint + "/bak",
                .option = CopyOption::SkipSystem });
        ASSERT_EQ(report.failures.size(), 2u) << "run " << run;
        EXPECT_EQ(report.failures[0].path, mountPoint + "/bak/a:b");
        EXPECT_EQ(report.failures[1].path, temp / "src/readme");
        EXPECT_EQ(report.failures[1].error.kind, FsErrorKind::NameDiffersOnlyInCase);
        EXPECT_EQ(report.filesUpToDate, run == 0 ? 0u : 2u);
    }
    EXPECT_EQ(readFile(mountPoint + "/bak/README"), "upper");
    EXPECT_EQ(readFile(mountPoint + "/bak/z/last"), "z");
}

TEST_F(NtfsVolume, ACaseSensitiveVolumeTakesBothNamesAndARunAfterACopyCopiesNothing)
{
    writeFile(temp / "src/README", "upper", { 1'700'000'001, 987'654'321 });
    writeFile(temp / "src/readme", "lower", { 1'700'000'003, 1 });
    CopyReport first = CopyFolderTree(*fs,
        { .source = temp / "src",
            .destination = mountPoint + "/bak",
            .option = CopyOption::SkipSystem });
    EXPECT_EQ(first.failureCount, 0u) << (first.failures.empty() ? "" : first.failures[0].path);
    EXPECT_EQ(readFile(mountPoint + "/bak/README"), "upper");
    EXPECT_EQ(readFile(mountPoint + "/bak/readme"), "lower");
    CopyReport second = CopyFolderTree(*fs,
        { .source = temp / "src",
            .destination = mountPoint + "/bak",
            .option = CopyOption::SkipSystem });
    EXPECT_EQ(second.filesCopied, 0u);
    EXPECT_EQ(second.filesUpToDate, 2u);
}

TEST_F(FatVolume, TheDestinationIndexIsNeverTrustedAndAnOutsideDeletionIsRepaired)
{
    writeFile(temp / "src/a.txt", "a", { 1'700'000'000, 0 });
    writeFile(temp / "src/sub/b.txt", "b", { 1'700'000'002, 0 });
    DestinationIndex index;
    auto run = [&] {
        return CopyFolderTree(
            *fs, { .source = temp / "src", .destination = mountPoint + "/bak", .index = &index });
    };
    run();
    EXPECT_EQ(run().filesUpToDate, 2u);
    // FAT keeps no change time, and another system may write it without moving folder times.
    EXPECT_FALSE(index.trusted());
    std::filesystem::remove(mountPoint + "/bak/sub/b.txt");
    EXPECT_EQ(run().filesCopied, 1u);
    EXPECT_EQ(readFile(mountPoint + "/bak/sub/b.txt"), "b");
}
