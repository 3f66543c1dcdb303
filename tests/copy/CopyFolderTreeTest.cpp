// The copy's rules, step by step, on the in-memory file system.

#include "copy/CopyFolderTree.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr FileTime T1 { 1'600'000'000, 0 };
constexpr FileTime T2 { 1'600'000'100, 0 };
constexpr FileTime T3 { 1'600'000'200, 0 };

class CopyFolderTreeTest : public ::testing::Test
{
protected:
    MemoryFileSystem fs;
    CopyReport report;
    std::vector<std::string> shown;
    unsigned threads = 0;

    void copy(
        std::string_view src, std::string_view dst, CopyOption option = CopyOption::SkipSystem)
    {
        report.merge(CopyFolderTree(fs,
            { .source = std::string(src),
                .destination = std::string(dst),
                .option = option,
                .mode = CopyMode::Copy,
                .threads = threads,
                .stop = nullptr,
                .progress = [this](std::string_view, std::string_view name, std::uint64_t,
                                FileOutcome) { shown.emplace_back(name); } }));
    }
};

} // namespace

TEST_F(CopyFolderTreeTest, DateRuleCopiesOnlyMissingOrStrictlyOlderFiles)
{
    fs.addFile("/src/missing.txt", "m", T2);
    fs.addFile("/src/older.txt", "new", T2);
    fs.addFile("/src/same.txt", "src", T2);
    fs.addFile("/src/newer.txt", "src", T2);
    fs.addFile("/dst/older.txt", "old", T1);
    fs.addFile("/dst/same.txt", "dst", T2);
    fs.addFile("/dst/newer.txt", "dst", T3);

    copy("/src", "/dst");

    EXPECT_EQ(fs.fileData("/dst/missing.txt"), "m");
    EXPECT_EQ(fs.modified("/dst/missing.txt"), T2);
    EXPECT_EQ(fs.fileData("/dst/older.txt"), "new");
    EXPECT_EQ(fs.fileData("/dst/same.txt"), "dst");
    EXPECT_EQ(fs.fileData("/dst/newer.txt"), "dst");
    EXPECT_EQ(report.filesCopied, 2u);
    EXPECT_EQ(report.filesUpToDate, 2u);
    EXPECT_EQ(report.CopyStatusFlags, 0);
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<std::string> { "missing.txt", "older.txt" }));
}

TEST_F(CopyFolderTreeTest, NothingOnlyInTheDestinationIsTouched)
{
    fs.addFile("/src/a", "a", T1);
    fs.addFile("/dst/extra.txt", "keep", T1);
    fs.addFile("/dst/sub/deep.txt", "keep", T1);
    copy("/src", "/dst");
    EXPECT_EQ(fs.fileData("/dst/extra.txt"), "keep");
    EXPECT_EQ(fs.fileData("/dst/sub/deep.txt"), "keep");
    EXPECT_EQ(fs.fileData("/dst/a"), "a");
}

TEST_F(CopyFolderTreeTest, CreatesTheDestinationAndMirrorsEmptyAndFilteredFolders)
{
    fs.addFolder("/src/empty");
    fs.addFile("/src/onlysystem/s.sys", "s", T1, SystemAttribute);
    copy("/src", "/bak");
    EXPECT_EQ(fs.allPaths(),
        (std::vector<std::string> { "/bak/", "/bak/empty/", "/bak/onlysystem/", "/src/",
            "/src/empty/", "/src/onlysystem/", "/src/onlysystem/s.sys" }));
    EXPECT_EQ(report.entriesExcluded, 1u);
}

struct FilterCase
{
    CopyOption option;
    std::vector<std::string> copied;
};

class AttributeFilter : public CopyFolderTreeTest, public ::testing::WithParamInterface<FilterCase>
{ };

TEST_P(AttributeFilter, SkipsTheEntriesTheOptionExcludesWithTheirSubtrees)
{
    fs.addFile("/src/plain.txt", "p", T1);
    fs.addFile("/src/hidden.txt", "h", T1, HiddenAttribute);
    fs.addFile("/src/system.sys", "s", T1, SystemAttribute);
    fs.addFile("/src/hdir/inner.txt", "i", T1);
    fs.setAttributes("/src/hdir", HiddenAttribute);
    fs.addFile("/src/sdir/inner.txt", "i", T1);
    fs.setAttributes("/src/sdir", SystemAttribute);

    copy("/src", "/dst", GetParam().option);

    std::vector<std::string> present;
    for (const std::string& path : fs.allPaths()) {
        if (path.starts_with("/dst/") && path.size() > 5)
            present.push_back(path.substr(5));
    }
    EXPECT_EQ(present, GetParam().copied);
}

void PrintTo(const FilterCase& filterCase, std::ostream* out)
{
    *out << "CopyOption " << static_cast<int>(filterCase.option);
}

INSTANTIATE_TEST_SUITE_P(Options, AttributeFilter,
    ::testing::Values(FilterCase { CopyOption::SkipHiddenAndSystem, { "plain.txt" } },
        FilterCase {
            CopyOption::SkipSystem, { "hdir/", "hdir/inner.txt", "hidden.txt", "plain.txt" } },
        FilterCase { CopyOption::CopyEverything,
            { "hdir/", "hdir/inner.txt", "hidden.txt", "plain.txt", "sdir/", "sdir/inner.txt",
                "system.sys" } },
        FilterCase { static_cast<CopyOption>(7),
            { "hdir/", "hdir/inner.txt", "hidden.txt", "plain.txt", "sdir/", "sdir/inner.txt",
                "system.sys" } }),
    [](const auto& info) {
        return "Option" + std::to_string(static_cast<int>(info.param.option));
    });

TEST_F(CopyFolderTreeTest, AHiddenSourceFolderNamedByTheRowIsStillCopied)
{
    fs.addFile("/src/.hidden/a.txt", "a", T1);
    fs.setAttributes("/src/.hidden", HiddenAttribute);
    copy("/src/.hidden", "/dst", CopyOption::SkipHiddenAndSystem);
    EXPECT_EQ(fs.fileData("/dst/a.txt"), "a");
}

TEST_F(CopyFolderTreeTest, SpecialFilesAreNeverCopiedEvenUnderCopyEverything)
{
    fs.addSpecial("/src/pipe");
    fs.addFile("/src/a", "a", T1);
    copy("/src", "/dst", CopyOption::CopyEverything);
    EXPECT_FALSE(fs.exists("/dst/pipe"));
    EXPECT_EQ(report.entriesExcluded, 1u);
}

TEST_F(CopyFolderTreeTest, AStopCutsTheCopyUnderWayAndStartsNoOther)
{
    for (unsigned walkers : { 1u, 4u }) {
        SCOPED_TRACE(std::to_string(walkers) + " threads");
        MemoryFileSystem tree;
        for (const char* name : { "/src/a", "/src/b", "/src/c", "/src/d/e" })
            tree.addFile(name, "x", T1);
        StopRequest stop;
        std::vector<std::string> startedAfterStop;
        tree.beforeCopy = [&](const std::string& from) {
            if (stop.requested())
                startedAfterStop.push_back(from);
            if (from == "/src/b")
                stop.request();
        };
        const CopyReport stopped = CopyFolderTree(tree,
            { .source = "/src",
                .destination = "/dst",
                .option = CopyOption::SkipSystem,
                .mode = CopyMode::Copy,
                .threads = walkers,
                .stop = &stop });
        EXPECT_TRUE(stopped.stopped);
        EXPECT_FALSE(tree.exists("/dst/b")) << "the copy under way is cut short";
        // On several threads a copy that passed its check just before the stop may still
        // start, one per other thread at most; on one thread none does.
        EXPECT_LE(startedAfterStop.size(), walkers - 1);
        const std::vector<std::string> paths = tree.allPaths();
        const auto copiedFiles
            = std::count_if(paths.begin(), paths.end(), [&](const std::string& path) {
                  return path.starts_with("/dst/") && tree.fileData(path);
              });
        EXPECT_EQ(stopped.filesCopied, static_cast<std::uint64_t>(copiedFiles));
        if (walkers == 1) {
            EXPECT_TRUE(tree.exists("/dst/a"));
            EXPECT_FALSE(tree.exists("/dst/c"));
            EXPECT_FALSE(tree.exists("/dst/d/e"));
        }
    }
}

TEST_F(CopyFolderTreeTest, FilesComeBeforeSubfoldersDepthFirstInListingOrder)
{
    fs.addFile("/src/b/b1", "x", T1);
    fs.addFile("/src/b/c/c1", "x", T1);
    fs.addFile("/src/a/a1", "x", T1);
    fs.addFile("/src/z", "x", T1);
    fs.addFile("/src/y", "x", T1);
    // Copies on several threads pass the display in any order; one thread shows the walk's.
    threads = 1;
    copy("/src", "/dst");
    EXPECT_EQ(shown, (std::vector<std::string> { "y", "z", "a1", "b1", "c1" }));
}

TEST_F(CopyFolderTreeTest, ATrailingSeparatorGivesTheSameResult)
{
    fs.addFile("/src/a/f", "x", T1);
    copy("/src/", "/dst/");
    EXPECT_EQ(fs.fileData("/dst/a/f"), "x");
    EXPECT_FALSE(fs.exists("/dst/src"));
}

TEST_F(CopyFolderTreeTest, SingleFileModeCopiesTheFileIntoTheFolderUnderTheDateRule)
{
    fs.addFile("/a/report.txt", "v2", T2);
    fs.addFolder("/bak");
    copy("/a/report.txt", "/bak");
    EXPECT_EQ(fs.fileData("/bak/report.txt"), "v2");
    fs.setModified("/a/report.txt", T1);
    copy("/a/report.txt", "/bak/");
    EXPECT_EQ(report.filesCopied, 1u);
    EXPECT_EQ(report.filesUpToDate, 1u);
}

TEST_F(CopyFolderTreeTest, SingleFileModeDoesNotCreateAMissingDestinationButReportsIt)
{
    fs.addFile("/a/report.txt", "x", T1);
    copy("/a/report.txt", "/bak");
    EXPECT_FALSE(fs.exists("/bak"));
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/bak");
    EXPECT_EQ(report.failures[0].error.kind, FsErrorKind::PathNotFound);
}

TEST_F(CopyFolderTreeTest, SingleFileModeAppliesTheFilter)
{
    fs.addFile("/a/.secret", "x", T1, HiddenAttribute);
    fs.addFolder("/bak");
    copy("/a/.secret", "/bak", CopyOption::SkipHiddenAndSystem);
    EXPECT_FALSE(fs.exists("/bak/.secret"));
    EXPECT_EQ(report.entriesExcluded, 1u);
}

TEST_F(CopyFolderTreeTest, ASecondRunCopiesNothing)
{
    fs.addFile("/src/a", "a", T1);
    fs.addFile("/src/d/b", "b", T2);
    copy("/src", "/dst");
    CopyReport first = report;
    report = {};
    copy("/src", "/dst");
    EXPECT_EQ(first.filesCopied, 2u);
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.filesUpToDate, 2u);
}

TEST_F(CopyFolderTreeTest, CoarseDestinationClockDoesNotCauseRecopies)
{
    fs.setTimeGranularity({ 2 * NanosecondsPerSecond });
    fs.addFile("/dst/keep", "", T1);
    const FileTime odd { 1'600'000'001, 500'000'000 };
    fs.addFolder("/src");
    // The source side keeps the exact time although the destination rounds.
    fs.addFile("/src/f", "x", T1);
    fs.setModified("/src/f", odd);
    copy("/src", "/dst");
    ASSERT_EQ(report.filesCopied, 1u);
    EXPECT_EQ(fs.modified("/dst/f"), (FileTime { 1'600'000'000, 0 }));
    report = {};
    copy("/src", "/dst");
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.filesUpToDate, 1u);
    // A change two seconds later is a real change.
    fs.setModified("/src/f", { 1'600'000'003, 0 });
    copy("/src", "/dst");
    EXPECT_EQ(report.filesCopied, 1u);
}

TEST_F(CopyFolderTreeTest, GranularityIsOnlyAskedWhenTimesAreWithinTheCoarsestStep)
{
    fs.addFile("/src/a", "a", T2);
    fs.addFile("/src/b", "b", T2);
    fs.addFile("/dst/a", "a", T2);
    fs.addFile("/dst/b", "b", T1);
    copy("/src", "/dst");
    EXPECT_EQ(fs.granularityQueries(), 0);
    EXPECT_EQ(report.filesCopied, 1u);
}

TEST_F(CopyFolderTreeTest, FlushesABatchBeforeItsNamesAndTheNamesAtTheEndOnlyWhenItCopied)
{
    // Each thread gathers its own batch, so the count is exact on one thread only.
    threads = 1;
    fs.addFile("/src/a", "a", T1);
    fs.addFile("/src/d/b", "b", T1);
    copy("/src", "/dst");
    EXPECT_EQ(fs.flushes(), 2) << "the copies' data, then their names";
    copy("/src", "/dst");
    EXPECT_EQ(fs.flushes(), 2) << "nothing new was written";
    copy("/src/a", "/dst/d");
    EXPECT_EQ(fs.flushes(), 4);
}

TEST_F(CopyFolderTreeTest, AFailedFlushIsAFailureOfTheRow)
{
    fs.addFile("/src/a", "a", T1);
    fs.addFolder("/dst");
    fs.injectFault("/dst", MemoryFileSystem::Operation::Flush, FsErrorKind::DeviceUnavailable);
    copy("/src", "/dst");
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/dst");
}

TEST_F(CopyFolderTreeTest, ADryRunWritesNothingAndForetellsWhatACopyDoes)
{
    fs.addFile("/src/new", "nn", T2);
    fs.addFile("/src/older", "oo", T2);
    fs.addFile("/src/same", "s", T2);
    fs.addFile("/src/locked", "l", T2);
    fs.addFile("/src/d/deep", "ddd", T2);
    fs.addFile("/dst/older", "o", T1);
    fs.addFile("/dst/same", "s", T2);
    fs.addFile("/dst/locked", "l", T1, ReadOnlyAttribute);
    const std::vector<std::string> before = fs.allPaths();
    report = CopyFolderTree(fs,
        { .source = "/src",
            .destination = "/dst",
            .option = CopyOption::SkipSystem,
            .mode = CopyMode::DryRun,
            .stop = nullptr,
            .progress = [this](std::string_view, std::string_view name, std::uint64_t,
                            FileOutcome) { shown.emplace_back(name); } });
    EXPECT_EQ(fs.allPaths(), before);
    EXPECT_EQ(fs.flushes(), 0);
    const CopyReport foretold = report;

    report = {};
    shown.clear();
    copy("/src", "/dst");
    EXPECT_EQ(foretold.filesCopied, report.filesCopied);
    EXPECT_EQ(foretold.bytesCopied, report.bytesCopied);
    EXPECT_EQ(foretold.filesUpToDate, report.filesUpToDate);
    EXPECT_EQ(foretold.CopyStatusFlags, report.CopyStatusFlags);
    EXPECT_EQ(foretold.filesCopied, 3u);
}

TEST_F(CopyFolderTreeTest, ADryRunIntoAMissingDestinationCountsEverything)
{
    fs.addFile("/src/a", "a", T1);
    fs.addFile("/src/d/b", "bb", T1);
    report = CopyFolderTree(fs,
        { .source = "/src",
            .destination = "/nowhere",
            .option = CopyOption::SkipSystem,
            .mode = CopyMode::DryRun });
    EXPECT_FALSE(fs.exists("/nowhere"));
    EXPECT_EQ(report.filesCopied, 2u);
    EXPECT_EQ(report.bytesCopied, 3u);
    EXPECT_EQ(report.CopyStatusFlags, 0);
}

TEST_F(CopyFolderTreeTest, ALinkReplacesOnlyAnOlderLinkNeverAFileOfItsName)
{
    fs.addLink("/src/to-folder", EntryKind::Folder, T2);
    fs.addLink("/src/older", EntryKind::Folder, T1);
    fs.addLink("/src/kept", EntryKind::Special, T2);
    fs.addFile("/dst/to-folder", "mine", T1);
    fs.addLink("/dst/older", EntryKind::Folder, T2);
    fs.addLink("/dst/kept", EntryKind::Special, T1);
    copy("/src", "/dst");
    EXPECT_EQ(fs.fileData("/dst/to-folder"), "mine");
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, "/dst/to-folder");
    EXPECT_EQ(report.failures[0].error.kind, FsErrorKind::AlreadyExists);
    EXPECT_EQ(fs.modified("/dst/older"), T2) << "a newer link in the backup stays";
    EXPECT_EQ(fs.modified("/dst/kept"), T2) << "an older one is replaced";
    EXPECT_EQ(report.filesCopied, 1u);

    fs.setHoldsLinks(false);
    fs.remove("/dst");
    copy("/src", "/dst");
    EXPECT_FALSE(fs.exists("/dst/older")) << "a link to a folder is never walked";
    EXPECT_EQ(fs.children("/dst"), std::vector<std::string> {});

    // A link the option leaves out is not looked at, let alone told about.
    fs.addLink("/src/.hidden", EntryKind::Folder, T1);
    fs.setAttributes("/src/.hidden", HiddenAttribute);
    report = {};
    copy("/src", "/dst", CopyOption::SkipHiddenAndSystem);
    for (const CopyFailure& failure : report.failures)
        EXPECT_NE(failure.path, "/src/.hidden");
    EXPECT_EQ(report.entriesExcluded, 1u);
}
