// One suite for both file-system services, so the in-memory one cannot drift from the real one.

#include "fakes/MemoryFileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

// Gives a test a scratch root on one service, and ways to arrange and inspect it.
class Harness
{
public:
    virtual ~Harness() = default;
    virtual FileSystem& fs() = 0;
    virtual std::string root() = 0;
    virtual void addFile(const std::string& rel, const std::string& data, FileTime time) = 0;
    virtual void addFolder(const std::string& rel) = 0;
    virtual void makeReadOnly(const std::string& rel) = 0;
    virtual std::optional<std::string> data(const std::string& rel) = 0;
    virtual std::optional<FileTime> time(const std::string& rel) = 0;
    /// Counts what a folder really holds, temporary files included.
    virtual int entryCount(const std::string& rel) = 0;
    std::string path(const std::string& rel) { return root() + "/" + rel; }
};

class MemoryHarness final : public Harness
{
public:
    MemoryHarness() { m_fs.addFolder("/scratch"); }
    FileSystem& fs() override { return m_fs; }
    std::string root() override { return "/scratch"; }
    void addFile(const std::string& rel, const std::string& data, FileTime time) override
    {
        m_fs.addFile(path(rel), data, time);
    }
    void addFolder(const std::string& rel) override { m_fs.addFolder(path(rel)); }
    void makeReadOnly(const std::string& rel) override
    {
        m_fs.setAttributes(path(rel), ReadOnlyAttribute);
    }
    std::optional<std::string> data(const std::string& rel) override
    {
        return m_fs.fileData(path(rel));
    }
    std::optional<FileTime> time(const std::string& rel) override
    {
        return m_fs.modified(path(rel));
    }
    int entryCount(const std::string& rel) override
    {
        return static_cast<int>(m_fs.children(path(rel)).size());
    }

private:
    MemoryFileSystem m_fs;
};

class NativeHarness final : public Harness
{
public:
    FileSystem& fs() override { return *m_fs; }
    std::string root() override { return m_temp.path(); }
    void addFile(const std::string& rel, const std::string& data, FileTime time) override
    {
        writeFile(path(rel), data, time);
    }
    void addFolder(const std::string& rel) override { makeFolders(path(rel)); }
    void makeReadOnly(const std::string& rel) override { rinvo::testing::makeReadOnly(path(rel)); }
    std::optional<std::string> data(const std::string& rel) override { return readFile(path(rel)); }
    std::optional<FileTime> time(const std::string& rel) override
    {
        return modifiedTime(path(rel));
    }
    int entryCount(const std::string& rel) override { return countEntries(path(rel)); }

private:
    TempFolder m_temp;
    std::unique_ptr<FileSystem> m_fs = createNativeFileSystem();
};

using HarnessFactory = std::function<std::unique_ptr<Harness>()>;

class FileSystemContract : public ::testing::TestWithParam<HarnessFactory>
{
protected:
    void SetUp() override { h = GetParam()(); }
    std::unique_ptr<Harness> h;

    std::unique_ptr<OpenFolder> open(const std::string& rel)
    {
        auto folder
            = h->fs().openFolder(rel.empty() ? h->root() : h->path(rel), FolderSide::Source);
        EXPECT_TRUE(folder.ok());
        return folder ? std::move(*folder) : nullptr;
    }
};

constexpr FileTime Old { 1'600'000'000, 100 };
// Nanoseconds in hundreds: NTFS keeps 100 ns steps.
constexpr FileTime New { 1'700'000'000, 123'456'700 };

} // namespace

TEST_P(FileSystemContract, FileAndFolderTestsTellTheKindsApart)
{
    h->addFile("f.txt", "x", Old);
    h->addFolder("d");
    EXPECT_TRUE(h->fs().fileExists(h->path("f.txt")));
    EXPECT_FALSE(h->fs().folderExists(h->path("f.txt")));
    EXPECT_TRUE(h->fs().folderExists(h->path("d")));
    EXPECT_FALSE(h->fs().fileExists(h->path("d")));
    EXPECT_FALSE(h->fs().fileExists(h->path("missing")));
    EXPECT_FALSE(h->fs().folderExists(h->path("missing")));
}

TEST_P(FileSystemContract, DoubledSeparatorNamesTheSameFile)
{
    h->addFile("d/f.txt", "x", Old);
    const char separator = pathSeparator(h->fs().pathStyle());
    EXPECT_TRUE(h->fs().fileExists(h->root() + separator + "d" + separator + separator + "f.txt"));
    EXPECT_TRUE(h->fs().folderExists(h->root() + separator + separator + "d"));
}

TEST_P(FileSystemContract, CreateFolderMakesOneLevelOnly)
{
    EXPECT_FALSE(h->fs().createFolder(h->path("a")));
    EXPECT_TRUE(h->fs().folderExists(h->path("a")));
    auto failed = h->fs().createFolder(h->path("x/y"));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, FsErrorKind::PathNotFound);
    EXPECT_FALSE(h->fs().folderExists(h->path("x")));
}

TEST_P(FileSystemContract, ListsEntriesSortedWithTheirKindsAndTimes)
{
    h->addFile("d/b.txt", "bb", New);
    h->addFile("d/a.txt", "a", Old);
    h->addFolder("d/c");
    auto folder = open("d");
    auto listing = folder->list();
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 3u);
    EXPECT_EQ((*listing)[0].name, "a.txt");
    EXPECT_EQ((*listing)[0].info.kind, EntryKind::File);
    EXPECT_EQ((*listing)[0].info.modified, Old);
    EXPECT_EQ((*listing)[1].info.size, 2u);
    EXPECT_EQ((*listing)[2].name, "c");
    EXPECT_EQ((*listing)[2].info.kind, EntryKind::Folder);
    EXPECT_TRUE((*listing)[2].info.attributes & DirectoryAttribute);
}

TEST_P(FileSystemContract, CopyReplacesAnOlderTargetWithDataAndTime)
{
    h->addFile("src/f.txt", "new data", New);
    h->addFile("dst/f.txt", "old", Old);
    auto source = open("src");
    auto destination = open("dst");
    auto sourceInfo = source->stat("f.txt");
    auto targetInfo = destination->stat("f.txt");
    ASSERT_TRUE(sourceInfo.ok() && targetInfo.ok());
    auto copied = destination->copyFileFrom(*source, "f.txt", *sourceInfo, &*targetInfo);
    ASSERT_TRUE(copied.ok()) << copied.error().message;
    EXPECT_EQ(*copied, 8u);
    EXPECT_EQ(h->data("dst/f.txt"), "new data");
    EXPECT_EQ(h->time("dst/f.txt"), New);
}

TEST_P(FileSystemContract, CopyRefusesAReadOnlyTargetAndKeepsIt)
{
    h->addFile("src/f.txt", "new", New);
    h->addFile("dst/f.txt", "old", Old);
    h->makeReadOnly("dst/f.txt");
    auto source = open("src");
    auto destination = open("dst");
    auto targetInfo = destination->stat("f.txt");
    ASSERT_TRUE(targetInfo.ok());
    EXPECT_TRUE(targetInfo->attributes & ReadOnlyAttribute);
    auto copied = destination->copyFileFrom(*source, "f.txt", *source->stat("f.txt"), &*targetInfo);
    ASSERT_FALSE(copied.ok());
    EXPECT_EQ(copied.error().kind, FsErrorKind::PermissionDenied);
    EXPECT_EQ(h->data("dst/f.txt"), "old");
}

TEST_P(FileSystemContract, CopyDoesNotReplaceATargetTheCallerDidNotFind)
{
    h->addFile("src/f.txt", "new", New);
    h->addFile("dst/f.txt", "newer", New);
    auto source = open("src");
    auto destination = open("dst");
    auto copied = destination->copyFileFrom(*source, "f.txt", *source->stat("f.txt"), nullptr);
    ASSERT_FALSE(copied.ok());
    EXPECT_EQ(copied.error().kind, FsErrorKind::AlreadyExists);
    EXPECT_EQ(h->data("dst/f.txt"), "newer");
}

TEST_P(FileSystemContract, CopyIntoAFolderOfTheSameNameIsRefused)
{
    h->addFile("src/f", "data", New);
    h->addFolder("dst/f");
    auto source = open("src");
    auto destination = open("dst");
    auto targetInfo = destination->stat("f");
    ASSERT_TRUE(targetInfo.ok());
    auto copied = destination->copyFileFrom(*source, "f", *source->stat("f"), &*targetInfo);
    ASSERT_FALSE(copied.ok());
    EXPECT_EQ(copied.error().kind, FsErrorKind::AlreadyExists);
    EXPECT_TRUE(h->fs().folderExists(h->path("dst/f")));
}

TEST_P(FileSystemContract, AWrittenCopyTakesItsNameWhenPublishedAndLeavesNothingElseBehind)
{
    for (const char* name : { "a", "b", "c" })
        h->addFile(std::string("src/") + name, "data", New);
    h->addFolder("dst");
    auto source = open("src");
    auto destination = open("dst");
    const auto info = *source->stat("a");

    auto written = destination->writeCopy(*source, "a", info, nullptr);
    ASSERT_TRUE(written.ok()) << written.error().message;
    EXPECT_FALSE(h->data("dst/a")) << "not under its name before it is published";
    EXPECT_FALSE(destination->publish(*written));
    EXPECT_EQ(h->data("dst/a"), "data");
    EXPECT_EQ(h->time("dst/a"), New);

    auto discarded = destination->writeCopy(*source, "b", info, nullptr);
    ASSERT_TRUE(discarded.ok());
    destination->discard(*discarded);

    // A file that appears under the name meanwhile is kept until the caller, told so, replaces
    // it knowingly.
    auto late = destination->writeCopy(*source, "c", info, nullptr);
    ASSERT_TRUE(late.ok());
    h->addFile("dst/c", "theirs", Old);
    auto failed = destination->publish(*late);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, FsErrorKind::AlreadyExists);
    EXPECT_EQ(h->data("dst/c"), "theirs");
    late->replacesTarget = true;
    EXPECT_FALSE(destination->publish(*late));
    EXPECT_EQ(h->data("dst/c"), "data");
    EXPECT_EQ(h->entryCount("dst"), 2) << "only a and c: no temporary file left";
}

TEST_P(FileSystemContract, OpeningAFileAsAFolderFails)
{
    h->addFile("f", "x", Old);
    auto opened = h->fs().openFolder(h->path("f"), FolderSide::Source);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().kind, FsErrorKind::PathNotFound);
}

TEST_P(FileSystemContract, ANewFileIsNeverOneThatExistedAndGrowsAsItIsWritten)
{
    h->addFile("taken", "kept", Old);
    auto taken = h->fs().createNewFile(h->path("taken"));
    ASSERT_FALSE(taken.ok());
    EXPECT_EQ(taken.error().kind, FsErrorKind::AlreadyExists);
    EXPECT_EQ(h->data("taken"), "kept");

    auto writer = h->fs().createNewFile(h->path("new"));
    ASSERT_TRUE(writer.ok());
    EXPECT_FALSE((*writer)->append("first\n"));
    EXPECT_EQ(h->data("new"), "first\n") << "written before the writer closes";
    EXPECT_FALSE((*writer)->append("second\n"));
    writer->reset();
    EXPECT_EQ(h->data("new"), "first\nsecond\n");

    EXPECT_FALSE(h->fs().deleteFile(h->path("new")));
    EXPECT_FALSE(h->data("new"));
    auto gone = h->fs().deleteFile(h->path("new"));
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->kind, FsErrorKind::PathNotFound);
}

INSTANTIATE_TEST_SUITE_P(Services, FileSystemContract,
    ::testing::Values(HarnessFactory([] { return std::unique_ptr<Harness>(new MemoryHarness); }),
        HarnessFactory([] { return std::unique_ptr<Harness>(new NativeHarness); })),
    [](const auto& info) {
        return info.index == 0 ? std::string("Memory") : std::string("Native");
    });
