// How the copy goes on after each kind of failure, on the in-memory file system.

#include "copy/CopyFolderTree.h"
#include "fakes/MemoryFileSystem.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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
        report.merge(CopyFolderTree(fs,
            { .source = std::string(src),
                .destination = std::string(dst),
                .option = CopyOption::SkipSystem,
                .mode = CopyMode::Copy,
                .stop = nullptr,
                .progress = [this](std::string_view, std::string_view name, std::uint64_t,
                                FileOutcome) { shown.emplace_back(name); } }));
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
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::string> { "a.txt", "b.txt", "c.txt" }));
    EXPECT_EQ(report.filesCopied, 2u);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/dst/a.txt");
}

namespace {

// A tree whose folder "a" holds a failing entry "2" between others, with more after it.
void addTreeAroundAFailure(MemoryFileSystem& fs)
{
    fs.addFile("/src/a/1", "x", New);
    fs.addFile("/src/a/2", "x", New);
    fs.addFile("/src/a/3", "x", New);
    fs.addFile("/src/a/deep/4", "x", New);
    fs.addFile("/src/b/5", "x", New);
    fs.addFile("/src/z", "x", New);
    fs.addFolder("/dst");
}

struct EntryFault
{
    const char* what;
    std::function<void(MemoryFileSystem&)> inject;
    const char* failedPath;
    FailedSide side;
    FsErrorKind kind;
};

} // namespace

TEST_F(CopyFailureTest, AFailureOfOneEntryNamesItsSideAndTheRestOfTheTreeIsCopied)
{
    const EntryFault cases[] = {
        { "source file unreadable",
            [](auto& fs) { fs.injectFault("/src/a/2", Op::ReadFile, FsErrorKind::Other); },
            "/src/a/2", FailedSide::Source, FsErrorKind::Other },
        { "source file not readable for this user",
            [](auto& fs) {
                fs.injectFault("/src/a/2", Op::ReadFile, FsErrorKind::PermissionDenied);
            },
            "/src/a/2", FailedSide::Source, FsErrorKind::PermissionDenied },
        { "name refused by the destination",
            [](auto& fs) { fs.injectFault("/dst/a/2", Op::WriteFile, FsErrorKind::Other); },
            "/dst/a/2", FailedSide::Destination, FsErrorKind::Other },
        { "destination entry unreadable",
            [](auto& fs) {
                fs.addFile("/dst/a/2", "old", Old);
                fs.injectFault("/dst/a", Op::List, FsErrorKind::PermissionDenied);
                fs.injectFault("/dst/a/2", Op::GetInfo, FsErrorKind::Other);
            },
            "/dst/a/2", FailedSide::Destination, FsErrorKind::Other },
        { "a link in the destination", [](auto& fs) { fs.addLink("/dst/a/2"); }, "/dst/a/2",
            FailedSide::Destination, FsErrorKind::LinkInDestination },
        { "source subfolder unlistable",
            [](auto& fs) { fs.injectFault("/src/a/deep", Op::List, FsErrorKind::Other); },
            "/src/a/deep", FailedSide::Source, FsErrorKind::Other },
        { "destination subfolder refused",
            [](auto& fs) { fs.injectFault("/dst/a/deep", Op::CreateFolder, FsErrorKind::Other); },
            "/dst/a/deep", FailedSide::Destination, FsErrorKind::Other },
        { "a link in place of a destination folder", [](auto& fs) { fs.addLink("/dst/a/deep"); },
            "/dst/a/deep", FailedSide::Destination, FsErrorKind::LinkInDestination },
    };
    for (const EntryFault& fault : cases) {
        SCOPED_TRACE(fault.what);
        MemoryFileSystem tree;
        addTreeAroundAFailure(tree);
        fault.inject(tree);
        CopyReport result = CopyFolderTree(
            tree, { .source = "/src", .destination = "/dst", .option = CopyOption::SkipSystem });
        ASSERT_EQ(result.failures.size(), 1u);
        EXPECT_EQ(result.failures[0].path, fault.failedPath);
        EXPECT_EQ(result.failures[0].error.side, fault.side);
        EXPECT_EQ(result.failures[0].error.kind, fault.kind);
        EXPECT_EQ(result.entriesNotExamined, 0u);
        for (const char* kept : { "/dst/a/1", "/dst/a/3", "/dst/b/5", "/dst/z" })
            EXPECT_EQ(tree.fileData(kept), "x") << kept;
        const bool deepFailed = std::string_view(fault.failedPath).ends_with("/a/deep");
        EXPECT_EQ(tree.fileData("/dst/a/deep/4").has_value(), !deepFailed);
    }
}

TEST_F(CopyFailureTest, AnUnusableDestinationEndsTheRowWithOneLineAndCountsWhatWasLeft)
{
    for (FsErrorKind kind :
        { FsErrorKind::DiskFull, FsErrorKind::DeviceUnavailable, FsErrorKind::ReadOnlyVolume }) {
        SCOPED_TRACE(describeErrorKind(kind));
        MemoryFileSystem tree;
        addTreeAroundAFailure(tree);
        tree.injectFault("/dst/a/2", Op::WriteFile, kind);
        CopyReport result;
        // One thread, so that what is left is the same every time.
        result = CopyFolderTree(tree,
            { .source = "/src",
                .destination = "/dst",
                .option = CopyOption::SkipSystem,
                .mode = CopyMode::Copy,
                .threads = 1 });
        ASSERT_EQ(result.failures.size(), 1u);
        EXPECT_EQ(result.failures[0].path, "/dst") << "the line names the destination";
        EXPECT_EQ(result.failures[0].error.side, FailedSide::Destination);
        EXPECT_EQ(result.failures[0].error.kind, kind);
        EXPECT_EQ(result.CopyStatusFlags & CopyFailedBit, CopyFailedBit);
        // Left: "3" and "deep" in a, and the folder b; z was copied before a was entered.
        EXPECT_EQ(result.entriesNotExamined, 3u);
        EXPECT_EQ(tree.fileData("/dst/z"), "x");
        EXPECT_EQ(tree.fileData("/dst/a/1"), "x");
        EXPECT_FALSE(tree.exists("/dst/a/3"));
        EXPECT_FALSE(tree.exists("/dst/b"));
    }
}

TEST_F(CopyFailureTest, ADestinationThatCannotBeListedAnyMoreEndsTheRow)
{
    addTreeAroundAFailure(fs);
    fs.addFolder("/dst/a");
    fs.injectFault("/dst/a", Op::List, FsErrorKind::DeviceUnavailable);
    // One thread, so that no other has entered b by then.
    report = CopyFolderTree(fs,
        { .source = "/src",
            .destination = "/dst",
            .option = CopyOption::SkipSystem,
            .mode = CopyMode::Copy,
            .threads = 1 });
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/dst");
    EXPECT_EQ(report.entriesNotExamined, 5u) << "a's four entries and the folder b";
}

TEST_F(CopyFailureTest, ACaseFoldingDestinationNeverHidesAFileBehindAnotherName)
{
    for (bool folds : { false, true }) {
        SCOPED_TRACE(folds ? "folding destination" : "case-sensitive destination");
        MemoryFileSystem tree;
        tree.addFile("/src/README", "upper", New);
        tree.addFile("/src/readme", "lower", New);
        tree.addFile("/src/Docs/a", "1", New);
        tree.addFile("/src/docs/a", "2", New);
        tree.addFolder("/dst");
        tree.setFoldsCase(folds);
        for (int run = 0; run < 2; ++run) {
            CopyReport result = CopyFolderTree(tree,
                { .source = "/src", .destination = "/dst", .option = CopyOption::SkipSystem });
            if (!folds) {
                EXPECT_EQ(result.failureCount, 0u);
                EXPECT_EQ(tree.fileData("/dst/readme"), "lower");
                continue;
            }
            ASSERT_EQ(result.failures.size(), 2u) << "run " << run;
            EXPECT_EQ(result.failures[0].path, "/src/readme");
            EXPECT_EQ(result.failures[0].error.kind, FsErrorKind::NameDiffersOnlyInCase);
            EXPECT_EQ(describeError(result.failures[0].error),
                "README と大文字・小文字だけが違う名前のファイルがあるため、コピーできません");
            EXPECT_EQ(result.failures[1].path, "/src/docs");
            EXPECT_EQ(result.filesUpToDate, run == 0 ? 0u : 2u)
                << "the clashing names never count as up to date";
        }
        EXPECT_EQ(tree.fileData("/dst/README"), "upper");
        EXPECT_EQ(tree.fileData("/dst/Docs/a"), "1");
    }
}

TEST_F(CopyFailureTest, AFolderThatAnotherRunMadeMeanwhileIsUsed)
{
    fs.addFile("/src/sub/f", "x", New);
    fs.beforeCreateFolder = [this](const std::string& path) {
        if (!fs.exists(path))
            fs.addFolder(path);
    };
    copy();
    EXPECT_EQ(report.failureCount, 0u);
    EXPECT_EQ(fs.fileData("/dst/sub/f"), "x");
}

TEST_F(CopyFailureTest, MadeFoldersTakeTheSourceFoldersPermissions)
{
    fs.addFile("/src/private/key", "k", New);
    ASSERT_FALSE(fs.createFolder("/src/locked", 0700));
    fs.addFile("/src/locked/x", "x", New);
    copy();
    EXPECT_EQ(fs.createdPermissions("/dst/locked"), 0700u);
    EXPECT_EQ(fs.createdPermissions("/dst/private"), 0755u);
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

TEST_F(CopyFailureTest, AnUnlistableSourceFolderIsAFailureNotAReadOnlyNotice)
{
    fs.addFile("/src/locked/x", "x", New);
    fs.addFile("/src/open/y", "y", New);
    fs.injectFault("/src/locked", Op::List, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_TRUE(fs.exists("/dst/locked")) << "the counterpart is made before listing";
    EXPECT_FALSE(fs.exists("/dst/locked/x"));
    EXPECT_EQ(fs.fileData("/dst/open/y"), "y");
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
}

TEST_F(CopyFailureTest, UnreadableAttributesExcludeTheEntry)
{
    fs.addFile("/src/secret", "s", New);
    fs.addFile("/src/fine", "f", New);
    fs.injectFault("/src/secret", Op::GetInfo, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_FALSE(fs.exists("/dst/secret"));
    EXPECT_EQ(fs.fileData("/dst/fine"), "f");
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit) << "an unreadable source is no read-only file";
}

TEST_F(CopyFailureTest, UnreadableDestinationTimeCopiesAsIfOlder)
{
    fs.addFile("/src/f", "new", New);
    fs.addFile("/dst/f", "old", New);
    fs.injectFault("/dst/f", Op::GetInfo, FsErrorKind::PermissionDenied);
    copy();
    EXPECT_EQ(fs.fileData("/dst/f"), "new") << "the copy was attempted";
    EXPECT_EQ(report.CopyStatusFlags, 0) << "a copy that succeeded is no refusal";
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

TEST_F(CopyFailureTest, AFolderInTheWayOfAFileIsATakenNameNotAReadOnlyFile)
{
    fs.addFile("/src/f", "x", New);
    fs.addFile("/src/g", "y", New);
    fs.addFolder("/dst/f");
    copy();
    EXPECT_TRUE(fs.folderExists("/dst/f"));
    EXPECT_EQ(fs.fileData("/dst/g"), "y");
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
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
