// The copy end to end on real temporary folders.

#include "copy/CopyFolderTree.h"
#include "platform/FileSystem.h"
#include "platform/TempNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 555 };

class NativeCopy : public ::testing::Test
{
protected:
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
    CopyReport report;

    void copy(
        const std::string& src, const std::string& dst, CopyOption option = CopyOption::SkipSystem)
    {
        report = CopyFolderTree(*fs, { .source = src, .destination = dst, .option = option });
    }
};

} // namespace

TEST_F(NativeCopy, BacksUpATreeAndASecondRunCopiesNothing)
{
    writeFile(temp / "src/a.txt", "a", New);
    writeFile(temp / "src/sub/b.txt", "b", New);
    writeFile(temp / "src/sub/deeper/c.txt", "c", Old);
    makeFolders(temp / "src/empty");
    writeFile(temp / "dst/sub/b.txt", "older", Old);
    writeFile(temp / "dst/sub/deeper/c.txt", "newer", New);

    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.filesCopied, 2u);
    EXPECT_EQ(report.filesUpToDate, 1u);
    EXPECT_EQ(readFile(temp / "dst/a.txt"), "a");
    EXPECT_EQ(modifiedTime(temp / "dst/a.txt"), New);
    EXPECT_EQ(readFile(temp / "dst/sub/b.txt"), "b");
    EXPECT_EQ(readFile(temp / "dst/sub/deeper/c.txt"), "newer");
    EXPECT_EQ(countEntries(temp / "dst/empty"), 0);
    EXPECT_EQ(report.CopyStatusFlags, 0);

    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.filesUpToDate, 3u);
}

TEST_F(NativeCopy, OptionsDecideAboutHiddenFilesAndSpecialFilesAreNeverCopied)
{
    writeFile(temp / "src/.hidden", "h");
    writeFile(temp / "src/.config/x", "x");
    writeFile(temp / "src/plain", "p");
    ASSERT_EQ(::mkfifo((temp / "src/pipe").c_str(), 0600), 0);

    copy(temp / "src", temp / "one", CopyOption::SkipHiddenAndSystem);
    EXPECT_EQ(countEntries(temp / "one"), 1);
    copy(temp / "src", temp / "two", CopyOption::SkipSystem);
    EXPECT_EQ(countEntries(temp / "two"), 4);
    copy(temp / "src", temp / "three", CopyOption::CopyEverything);
    EXPECT_EQ(countEntries(temp / "three"), 4) << "the FIFO is never opened or copied";
    EXPECT_EQ(report.CopyStatusFlags, 0);
}

TEST_F(NativeCopy, ReadOnlyTargetIsKeptAndNotedEvenForRoot)
{
    writeFile(temp / "src/f", "new", New);
    writeFile(temp / "src/g", "g", New);
    writeFile(temp / "dst/f", "old", Old);
    ::chmod((temp / "dst/f").c_str(), 0444);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(readFile(temp / "dst/f"), "old");
    EXPECT_EQ(readFile(temp / "dst/g"), "g");
    EXPECT_EQ(report.CopyStatusFlags, PermissionDeniedBit);
}

TEST_F(NativeCopy, TrailingSeparatorsAndSingleFileMode)
{
    writeFile(temp / "src/a", "a", New);
    copy(temp / "src/", temp / "dst/");
    EXPECT_EQ(readFile(temp / "dst/a"), "a");

    makeFolders(temp / "bak");
    copy(temp / "src/a", temp / "bak");
    EXPECT_EQ(readFile(temp / "bak/a"), "a");
    EXPECT_EQ(report.filesCopied, 1u);
    copy(temp / "src/a", temp / "missing");
    EXPECT_EQ(countEntries(temp / "missing"), -1);
    EXPECT_EQ(report.CopyStatusFlags, CopyFailedBit);
}

TEST_F(NativeCopy, DestinationInsideItsSourceIsNotWalked)
{
    writeFile(temp / "data/a", "a", New);
    writeFile(temp / "data/sub/b", "b", New);
    copy(temp / "data", temp / "data/bak");
    EXPECT_EQ(readFile(temp / "data/bak/a"), "a");
    EXPECT_EQ(readFile(temp / "data/bak/sub/b"), "b");
    EXPECT_EQ(countEntries(temp / "data/bak/bak"), -1);
    copy(temp / "data", temp / "data/bak");
    EXPECT_EQ(report.filesCopied, 0u);
    EXPECT_EQ(report.CopyStatusFlags, 0);
}

TEST_F(NativeCopy, LinksAreCopiedAsLinksAndNeverWalked)
{
    writeFile(temp / "src/real.txt", "real", Old);
    makeFolders(temp / "src/sub");
    // To a file, to a folder of the tree, to the root, to an ancestor, and to nothing.
    const std::pair<const char*, std::string> links[]
        = { { "sub/file", "../real.txt" }, { "folder", "sub" }, { "root", "/" },
              { "sub/up", "../.." }, { "sub/dangling", "nowhere" } };
    for (const auto& [name, target] : links)
        ASSERT_EQ(::symlink(target.c_str(), (temp / "src/" + name).c_str()), 0);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.failureCount, 0u);
    EXPECT_EQ(report.filesCopied, 6u);
    EXPECT_EQ(countEntries(temp / "dst"), 7) << "the tree and its links; nothing behind them";
    for (const auto& [name, target] : links) {
        char text[256] = {};
        ASSERT_GT(::readlink((temp / "dst/" + name).c_str(), text, sizeof text - 1), 0) << name;
        EXPECT_EQ(std::string(text), target) << name;
    }

    // A link is judged by its own time, and a newer one replaces the copy of an older one.
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.filesCopied, 0u);
    ASSERT_EQ(::unlink((temp / "src/folder").c_str()), 0);
    ASSERT_EQ(::symlink("sub/..", (temp / "src/folder").c_str()), 0);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.filesCopied, 1u);
    char text[64] = {};
    ASSERT_GT(::readlink((temp / "dst/folder").c_str(), text, sizeof text - 1), 0);
    EXPECT_EQ(std::string(text), "sub/..");
}

TEST_F(NativeCopy, ALeftoverOfAKilledRunIsClearedAndNeverCopied)
{
    const std::string leftover = makeTempName({ 99'999'999, 0 }, 1);
    writeFile(temp / "src/a", "a", New);
    writeFile(temp / ("src/" + leftover), "half", New);
    writeFile(temp / ("dst/" + leftover), "half", New);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(countEntries(temp / "dst"), 1);
    EXPECT_EQ(readFile(temp / "dst/a"), "a");
}

TEST_F(NativeCopy, ALinkedFileAnEarlierVersionCopiedAsAFileGoesOnBeingCopiedAsTheFile)
{
    writeFile(temp / "src/real.txt", "new", New);
    ASSERT_EQ(::symlink("real.txt", (temp / "src/link.txt").c_str()), 0);
    writeFile(temp / "dst/link.txt", "old", Old);
    copy(temp / "src", temp / "dst");
    EXPECT_EQ(report.failureCount, 0u);
    EXPECT_EQ(readFile(temp / "dst/link.txt"), "new");
    struct stat st;
    ASSERT_EQ(::lstat((temp / "dst/link.txt").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}
