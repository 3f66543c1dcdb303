// How the copy goes on after each kind of failure, on the in-memory file system.

#include "copy/CopyFolderTree.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;
using Op = MemoryFileSystem::Operation;

namespace {

constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 0 };

class CopyFailureTest : public ::testing::Test
{
protected:
    MemoryFileSystem fs;
    CopyReport report;
    std::vector<std::string> shown;

    void copy(std::string_view src = "/src", std::string_view dst = "/dst")
    {
        CopyFolderTree(fs, src, dst, CopyOption::SkipSystem, report,
            [this](std::string_view, std::string_view name) { shown.emplace_back(name); });
    }
};

} // namespace

TEST_F(CopyFailureTest, ReadOnlyTargetSetsBitZeroShowsTheNameAndTheWalkGoesOn)
{
    fs.addFile("/src/a.txt", "new", New);
    fs.addFile("/src/b.txt", "b", New);
    fs.addFile("/src/sub/c.txt", "c", New);
    fs.addFile("/dst/a.txt", "old", Old, ReadOnlyAttribute);
    copy();
    EXPECT_EQ(fs.fileData("/dst/a.txt"), "old");
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
    EXPECT_EQ(shown, (std::vector<std::string> { "a.txt", "b.txt", "c.txt" }));
    EXPECT_EQ(report.filesCopied, 2u);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/dst/a.txt");
}

TEST_F(CopyFailureTest, AnOtherFailureEndsOnlyThatFolderAndIsRecorded)
{
    fs.addFile("/src/a/1", "x", New);
    fs.addFile("/src/a/2", "x", New);
    fs.addFile("/src/a/deep/3", "x", New);
    fs.addFile("/src/b/4", "x", New);
    fs.addFile("/src/z", "x", New);
    fs.injectFault("/dst/a/1", Op::WriteFile, FsErrorKind::DiskFull);
    copy();
    EXPECT_EQ(fs.allPaths(),
        (std::vector<std::string> { "/dst/", "/dst/a/", "/dst/b/", "/dst/b/4", "/dst/z", "/src/",
            "/src/a/", "/src/a/1", "/src/a/2", "/src/a/deep/", "/src/a/deep/3", "/src/b/",
            "/src/b/4", "/src/z" }));
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/src/a/1");
    EXPECT_EQ(report.failures[0].error.kind, FsErrorKind::DiskFull);
}

TEST_F(CopyFailureTest, AFullDiskMidCopyLeavesTheOldFileIntact)
{
    fs.addFile("/src/big", std::string(1000, 'n'), New);
    fs.addFile("/dst/big", "old", Old);
    fs.setSpaceLeft(500);
    copy();
    EXPECT_EQ(fs.fileData("/dst/big"), "old");
    EXPECT_EQ(fs.modified("/dst/big"), Old);
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
}

TEST_F(CopyFailureTest, UnlistableSourceFolderEndsItsCallWithBitZero)
{
    fs.addFile("/src/locked/x", "x", New);
    fs.addFile("/src/open/y", "y", New);
    fs.injectFault("/src/locked", Op::List, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_TRUE(fs.exists("/dst/locked")) << "the counterpart is made before listing";
    EXPECT_FALSE(fs.exists("/dst/locked/x"));
    EXPECT_EQ(fs.fileData("/dst/open/y"), "y");
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
}

TEST_F(CopyFailureTest, UnreadableAttributesExcludeTheEntry)
{
    fs.addFile("/src/secret", "s", New);
    fs.addFile("/src/fine", "f", New);
    fs.injectFault("/src/secret", Op::GetInfo, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_FALSE(fs.exists("/dst/secret"));
    EXPECT_EQ(fs.fileData("/dst/fine"), "f");
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
}

TEST_F(CopyFailureTest, UnreadableDestinationTimeCopiesAsIfOlder)
{
    fs.addFile("/src/f", "new", New);
    fs.addFile("/dst/f", "old", New);
    fs.injectFault("/dst/f", Op::GetInfo, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_EQ(report.CopyStatusFlags & PermissionDeniedBit, PermissionDeniedBit);
    EXPECT_EQ(shown, (std::vector<std::string> { "f" })) << "the copy was attempted";
}

TEST_F(CopyFailureTest, RefusedDestinationFolderEndsThatSubtreeOnly)
{
    fs.addFile("/src/a/x", "x", New);
    fs.addFile("/src/b/y", "y", New);
    fs.addFolder("/dst");
    fs.injectFault("/dst/a", Op::CreateFolder, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_FALSE(fs.exists("/dst/a"));
    EXPECT_EQ(fs.fileData("/dst/b/y"), "y");
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
}

TEST_F(CopyFailureTest, AFileInTheWayOfAFolderEndsThatSubtreeOnly)
{
    fs.addFile("/src/a/x", "x", New);
    fs.addFile("/src/b/y", "y", New);
    fs.addFile("/dst/a", "a file", Old);
    copy();
    EXPECT_EQ(fs.fileData("/dst/a"), "a file");
    EXPECT_EQ(fs.fileData("/dst/b/y"), "y");
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
}

TEST_F(CopyFailureTest, AFolderInTheWayOfAFileIsRefusedAsPermissionDenied)
{
    fs.addFile("/src/f", "x", New);
    fs.addFile("/src/g", "y", New);
    fs.addFolder("/dst/f");
    copy();
    EXPECT_TRUE(fs.folderExists("/dst/f"));
    EXPECT_EQ(fs.fileData("/dst/g"), "y");
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
}

TEST_F(CopyFailureTest, ASourceFileThatVanishedIsNotAFailure)
{
    fs.addFile("/src/a", "a", New);
    fs.addFile("/src/b", "b", New);
    fs.beforeCopy = [this](const std::string& from) {
        if (from == "/src/a")
            fs.remove(from);
    };
    copy();
    EXPECT_EQ(fs.fileData("/dst/b"), "b");
    EXPECT_EQ(report.CopyStatusFlags, 0);
}

TEST_F(CopyFailureTest, FailuresBeyondTheKeptNumberAreOnlyCounted)
{
    for (int i = 0; i < 1005; ++i) {
        std::string name = std::to_string(i);
        name.insert(name.begin(), 'f');
        fs.addFile("/src/" + name, "new", New);
        fs.addFile("/dst/" + name, "old", Old, ReadOnlyAttribute);
    }
    copy();
    EXPECT_EQ(report.failureCount, 1005u);
    EXPECT_EQ(report.failures.size(), CopyReport::MaxKeptFailures);
}
