// The walk on many threads against the walk on one, on random trees with faults and delays.

#include "copy/CopyFolderTree.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace rinvo;
using namespace rinvo::testing;
using Op = MemoryFileSystem::Operation;

namespace {

constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 0 };

// Builds the same tree for the same seed: folders up to four deep, files of every kind the
// walk tells apart, a destination partly filled in, and per-entry faults on both sides.
void buildTree(MemoryFileSystem& fs, unsigned seed)
{
    std::mt19937 random(seed);
    fs.addFolder("/dst");
    std::vector<std::string> folders { "" };
    for (std::size_t f = 0; f < folders.size() && folders.size() < 80; ++f) {
        const std::string folder = folders[f];
        const int depth = static_cast<int>(std::count(folder.begin(), folder.end(), '/'));
        if (depth < 4) {
            for (unsigned i = 0, n = random() % 4 + (depth < 2 ? 2 : 0); i < n; ++i)
                folders.push_back(folder + "/d" + std::to_string(i));
        }
    }
    for (const std::string& folder : folders) {
        // The root itself always copies, or there would be nothing to compare.
        auto chance = [&](int percent) {
            return !folder.empty() && static_cast<int>(random() % 100) < percent;
        };
        fs.addFolder("/src" + folder, chance(5) ? HiddenAttribute : 0u);
        if (chance(60))
            fs.addFolder("/dst" + folder);
        if (chance(4))
            fs.injectFault("/src" + folder, Op::List, FsErrorKind::PermissionDenied);
        if (chance(4))
            fs.injectFault("/src" + folder, Op::OpenFolder, FsErrorKind::Other);
        if (chance(3))
            fs.injectFault("/dst" + folder, Op::CreateFolder, FsErrorKind::PermissionDenied);
        for (unsigned i = 0, n = 1 + random() % 6; i < n; ++i) {
            auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
            const std::string name = folder + "/f" + std::to_string(i) + (chance(10) ? "X" : "");
            fs.addFile("/src" + name, "data" + name, New, chance(8) ? HiddenAttribute : 0u);
            if (chance(30))
                fs.addFile("/dst" + name, "old", chance(50) ? Old : New,
                    chance(15) ? ReadOnlyAttribute : 0u);
            if (chance(5))
                fs.injectFault("/src" + name, Op::ReadFile, FsErrorKind::Other);
            if (chance(5))
                fs.injectFault("/dst" + name, Op::WriteFile, FsErrorKind::PermissionDenied);
            if (chance(3))
                fs.injectFault("/src" + name, Op::GetInfo, FsErrorKind::Other);
        }
        if (chance(5))
            fs.addSpecial("/src" + folder + "/fifo");
    }
}

struct Outcome
{
    CopyReport report;
    std::vector<std::string> shown;
    std::vector<std::string> tree;
    int flushes = 0;
};

Outcome copyTree(unsigned seed, unsigned threads, CopyMode mode = CopyMode::Copy)
{
    MemoryFileSystem fs;
    buildTree(fs, seed);
    if (threads > 1)
        fs.setDelays(seed, std::chrono::microseconds(100));
    Outcome outcome;
    outcome.report = CopyFolderTree(fs,
        { .source = "/src",
            .destination = "/dst",
            .option = CopyOption::SkipHiddenAndSystem,
            .mode = mode,
            .threads = threads,
            .stop = nullptr,
            .progress = [&](std::string_view, std::string_view name, std::uint64_t, FileOutcome) {
                outcome.shown.emplace_back(name);
            } });
    for (const std::string& path : fs.allPaths())
        outcome.tree.push_back(path + "=" + fs.fileData(path).value_or(""));
    outcome.flushes = fs.flushes();
    return outcome;
}

std::vector<std::string> failuresOf(const CopyReport& report)
{
    std::vector<std::string> lines;
    for (const CopyFailure& failure : report.failures)
        lines.push_back(failure.path + " " + std::to_string(static_cast<int>(failure.error.kind))
            + (failure.error.side == FailedSide::Source ? " source" : " destination"));
    return lines;
}

} // namespace

TEST(ParallelCopy, GivesTheOneThreadWalksReportAndTreeWhateverTheTiming)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Outcome one = copyTree(seed, 1);
        const Outcome many = copyTree(seed, 6);
        ASSERT_GT(one.report.failureCount, 0u) << "the tree is meant to meet faults";
        EXPECT_EQ(failuresOf(many.report), failuresOf(one.report));
        EXPECT_EQ(many.report.failureCount, one.report.failureCount);
        EXPECT_EQ(many.report.CopyStatusFlags, one.report.CopyStatusFlags);
        EXPECT_EQ(many.report.filesCopied, one.report.filesCopied);
        EXPECT_EQ(many.report.filesUpToDate, one.report.filesUpToDate);
        EXPECT_EQ(many.report.entriesExcluded, one.report.entriesExcluded);
        EXPECT_EQ(many.report.bytesCopied, one.report.bytesCopied);
        EXPECT_EQ(many.tree, one.tree);
        auto sorted = [](std::vector<std::string> names) {
            std::sort(names.begin(), names.end());
            return names;
        };
        EXPECT_EQ(sorted(many.shown), sorted(one.shown)) << "the same files, in any order";
        EXPECT_LE(one.flushes, 2) << "a small tree: one batch, then its names";
        EXPECT_LE(many.flushes, 6 + 1) << "at most one batch a thread, then the names";
    }
}

TEST(ParallelCopy, ADryRunListsInWalkOrderWhateverTheThreads)
{
    for (unsigned seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Outcome one = copyTree(seed, 1, CopyMode::DryRun);
        const Outcome many = copyTree(seed, 6, CopyMode::DryRun);
        ASSERT_FALSE(one.shown.empty());
        EXPECT_EQ(many.shown, one.shown);
        EXPECT_EQ(failuresOf(many.report), failuresOf(one.report));
    }
}

TEST(ParallelCopy, KeepsTheFirstFailuresInWalkOrderWhenThereAreTooManyToKeep)
{
    MemoryFileSystem fs;
    // More failing files than a report keeps, spread over folders that finish in any order.
    for (int folder = 0; folder < 30; ++folder) {
        for (int file = 0; file < 50; ++file) {
            const std::string path
                = "/src/d" + std::to_string(folder) + "/f" + std::to_string(100 + file);
            fs.addFile(path, "x", New);
            fs.injectFault(path, Op::ReadFile, FsErrorKind::Other);
        }
    }
    fs.addFolder("/dst");
    fs.setDelays(7, std::chrono::microseconds(100));
    const CopyReport report = CopyFolderTree(fs,
        { .source = "/src",
            .destination = "/dst",
            .option = CopyOption::SkipSystem,
            .mode = CopyMode::Copy,
            .threads = 6 });
    EXPECT_EQ(report.failureCount, 1500u);
    ASSERT_EQ(report.failures.size(), CopyReport::MaxKeptFailures);
    std::vector<std::string> paths;
    for (const CopyFailure& failure : report.failures)
        paths.push_back(failure.path);
    EXPECT_TRUE(std::is_sorted(paths.begin(), paths.end())) << "names sort as the walk goes here";
    EXPECT_EQ(paths.front(), "/src/d0/f100");
    EXPECT_EQ(paths.back(), "/src/d26/f149") << "d0, d1, d10 to d19, d2, d20 to d26";
}

TEST(ParallelCopy, FilesLargerThanTheSpaceLeftAreEachPassedOverWhateverTheThreads)
{
    for (unsigned seed = 1; seed <= 10; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        auto copyWith = [seed](unsigned threads) {
            MemoryFileSystem fs;
            buildTree(fs, seed);
            fs.setSpaceLeft(30);
            fs.setDelays(seed, std::chrono::microseconds(threads > 1 ? 100 : 0));
            return CopyFolderTree(fs,
                { .source = "/src",
                    .destination = "/dst",
                    .option = CopyOption::SkipHiddenAndSystem,
                    .mode = CopyMode::Copy,
                    .threads = threads });
        };
        // Which files fit depends on the order they come in; that each is either copied or
        // passed over, and that the row goes on, does not.
        const CopyReport one = copyWith(1);
        const CopyReport many = copyWith(6);
        ASSERT_GT(one.filesWithoutSpace, 0u);
        EXPECT_EQ(
            many.filesCopied + many.filesWithoutSpace, one.filesCopied + one.filesWithoutSpace);
        EXPECT_EQ(many.entriesNotExamined, 0u) << "the row goes on with what fits";
        const auto passedOver = std::count_if(
            many.failures.begin(), many.failures.end(), [](const CopyFailure& failure) {
                return failure.error.kind == FsErrorKind::DiskFull
                    && failure.error.side == FailedSide::Destination && failure.path != "/dst";
            });
        EXPECT_EQ(static_cast<std::uint64_t>(passedOver), many.filesWithoutSpace);
    }
}
