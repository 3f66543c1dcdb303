// A re-run takes unchanged destination folders from the index, and ends exactly as a run
// without one whatever another program did to the backup in between.

#include "copy/DestinationIndex.h"
#include "copy/CopyFolderTree.h"
#include "fakes/MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <functional>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr FileTime T0 { 1'500'000'000, 0 };
constexpr FileTime T1 { 1'600'000'000, 0 };
constexpr FileTime T2 { 1'600'000'100, 0 };

void makeSource(MemoryFileSystem& fs)
{
    fs.addFile("/src/a", "a", T2);
    fs.addFile("/src/d/b", "b", T2);
    fs.addFile("/src/d/e/c", "c", T2);
    fs.addFile("/src/f/g", "g", T2);
}

CopyReport run(MemoryFileSystem& fs, DestinationIndex* index, bool fullPass = false)
{
    return CopyFolderTree(fs,
        { .source = "/src",
            .destination = "/dst",
            .threads = 2,
            .index = index,
            .fullPass = fullPass });
}

std::vector<std::string> treeOf(const MemoryFileSystem& fs)
{
    std::vector<std::string> tree;
    for (const std::string& path : fs.allPaths())
        tree.push_back(path + "=" + fs.fileData(path).value_or("(folder)"));
    return tree;
}

int destinationListings(const MemoryFileSystem& fs)
{
    int listings = 0;
    for (const char* folder : { "/dst", "/dst/d", "/dst/d/e", "/dst/f" })
        listings += fs.listings(folder);
    return listings;
}

} // namespace

TEST(DestinationIndex, ARerunAfterAnOutsideChangeEndsAsARunWithoutTheIndex)
{
    struct Case
    {
        const char* change;
        std::function<void(MemoryFileSystem&)> apply;
    };
    const Case cases[] = {
        { "nothing", [](MemoryFileSystem&) {} },
        { "a file deleted", [](MemoryFileSystem& fs) { fs.remove("/dst/d/b"); } },
        { "a file renamed",
            [](MemoryFileSystem& fs) {
                fs.remove("/dst/d/e/c");
                fs.addFile("/dst/d/e/c2", "c", T2);
            } },
        { "a file replaced with an older one",
            [](MemoryFileSystem& fs) {
                fs.remove("/dst/a");
                fs.addFile("/dst/a", "old", T1);
            } },
        { "a folder removed", [](MemoryFileSystem& fs) { fs.remove("/dst/d/e"); } },
        { "a newer file put in its place",
            [](MemoryFileSystem& fs) {
                fs.remove("/dst/f/g");
                fs.addFile("/dst/f/g", "edited", { T2.seconds + 50, 0 });
            } },
        { "the backup swapped for an older copy",
            [](MemoryFileSystem& fs) {
                fs.remove("/dst");
                fs.addFile("/dst/a", "old", T1);
                fs.addFile("/dst/d/b", "old", T1);
            } },
        { "its volume no longer trusted",
            [](MemoryFileSystem& fs) {
                fs.setVolume({ 1, false });
                fs.setModified("/dst/a", T0);
            } },
        // What a folder's times cannot show is looked at again before a file is replaced.
        { "a copy made newer in place while its source changed",
            [](MemoryFileSystem& fs) {
                fs.setModified("/src/f/g", { T2.seconds + 10, 0 });
                fs.setModified("/dst/f/g", { T2.seconds + 20, 0 });
            } },
        { "a copy made read-only in place while its source changed",
            [](MemoryFileSystem& fs) {
                fs.setModified("/src/f/g", { T2.seconds + 10, 0 });
                fs.setAttributes("/dst/f/g", ReadOnlyAttribute);
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        MemoryFileSystem indexed;
        MemoryFileSystem plain;
        DestinationIndex index;
        for (MemoryFileSystem* fs : { &indexed, &plain }) {
            makeSource(*fs);
            // The first copy makes the folders; the first re-run lists and keeps them.
            run(*fs, fs == &indexed ? &index : nullptr);
            run(*fs, fs == &indexed ? &index : nullptr);
        }
        // The source changes too, so the run has something to copy.
        for (MemoryFileSystem* fs : { &indexed, &plain }) {
            fs->addFile("/src/d/new", "n", T2);
            c.apply(*fs);
        }
        const int listedBefore = destinationListings(indexed);
        const CopyReport withIndex = run(indexed, &index);
        const CopyReport without = run(plain, nullptr);
        EXPECT_EQ(treeOf(indexed), treeOf(plain));
        EXPECT_EQ(withIndex.filesCopied, without.filesCopied);
        EXPECT_EQ(withIndex.filesUpToDate, without.filesUpToDate);
        EXPECT_EQ(withIndex.failureCount, without.failureCount);
        if (std::string_view(c.change) == "nothing") {
            EXPECT_EQ(destinationListings(indexed) - listedBefore, 0) << "none listed again";
        }
    }
}

TEST(DestinationIndex, ATimeSetBackInPlaceWaitsForTheNextFullPass)
{
    MemoryFileSystem fs;
    makeSource(fs);
    DestinationIndex index;
    run(fs, &index);
    run(fs, &index);
    // Another program sets a copy's time back without touching its folder.
    fs.setModified("/dst/d/b", T0);
    EXPECT_EQ(run(fs, &index).filesCopied, 0u) << "the folder's stamp cannot show it";
    EXPECT_EQ(run(fs, &index, true).filesCopied, 1u);
    EXPECT_EQ(fs.modified("/dst/d/b"), T2);
}

TEST(DestinationIndex, IsTrustedOnlyForTheSameVolumeAndRootRecentlyFullyChecked)
{
    const FolderIdentity root { 1, 7 };
    const VolumeFacts volume { 42, true };
    const std::int64_t start = 1'700'000'000;
    struct Case
    {
        const char* why;
        FolderIdentity root;
        VolumeFacts volume;
        std::int64_t now;
        std::uint32_t runsBefore;
        bool fullPassWanted;
        bool trusted;
    };
    const Case cases[] = {
        { "the same destination a day later", root, volume, start + 86'400, 0, false, true },
        { "another volume in its place", root, { 43, true }, start + 1, 0, false, false },
        { "another root folder", { 1, 8 }, volume, start + 1, 0, false, false },
        { "a volume that hides changes", root, { 42, false }, start + 1, 0, false, false },
        { "a week since the full pass", root, volume, start + DestinationIndex::FullPassSeconds, 0,
            false, false },
        { "a clock set back", root, volume, start - 1, 0, false, false },
        { "the last run before a full pass", root, volume, start + 1,
            DestinationIndex::FullPassRuns - 1, false, true },
        { "the runs between full passes used up", root, volume, start + 1,
            DestinationIndex::FullPassRuns, false, false },
        { "a full pass asked for", root, volume, start + 1, 0, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        DestinationIndex index;
        ASSERT_FALSE(index.startRun(root, volume, start, false)) << "an empty index";
        index.keep("", { root, T1, T1, start }, FolderListing {});
        for (std::uint32_t run = 0; run < c.runsBefore; ++run)
            ASSERT_TRUE(index.startRun(root, volume, start, false));
        EXPECT_EQ(index.startRun(c.root, c.volume, c.now, c.fullPassWanted), c.trusted);
        EXPECT_EQ(index.folderCount(), c.trusted ? 1u : 0u);
    }
}

TEST(DestinationIndex, ADamagedCutOrForeignFileIsIgnored)
{
    DestinationIndex index;
    index.startRun({ 1, 7 }, { 42, true }, 1'700'000'000, false);
    FolderListing entries;
    entries.add("a.txt", { EntryKind::File, 0, T1, 3, 0644, EntryKind::Special });
    entries.add("sub", { EntryKind::Folder, 0, {}, 0, 0755, EntryKind::Special });
    entries.add("to", { EntryKind::Link, 0, T1, 2, 0777, EntryKind::File });
    index.keep("", { { 1, 7 }, T1, T2, 1'700'000'000 }, entries);
    index.keep("/sub", { { 1, 9 }, T1, T1, 1'700'000'000 }, FolderListing {});
    const std::string bytes = index.encode();

    std::optional<DestinationIndex> back = DestinationIndex::decode(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->encode(), bytes);
    ASSERT_TRUE(back->startRun({ 1, 7 }, { 42, true }, 1'700'000'001, false));
    const std::optional<FolderListing> root = back->take("", { { 1, 7 }, T1, T2 });
    ASSERT_TRUE(root);
    ASSERT_TRUE(root->find("a.txt"));
    EXPECT_EQ(root->find("a.txt")->info.size, 3u);
    ASSERT_TRUE(root->find("to"));
    EXPECT_EQ(root->find("to")->info.kind, EntryKind::Link);
    EXPECT_FALSE(back->take("", { { 1, 7 }, T1, T1 })) << "a moved stamp";

    for (std::size_t length = 0; length < bytes.size(); ++length)
        EXPECT_FALSE(DestinationIndex::decode(bytes.substr(0, length))) << "cut at " << length;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
        EXPECT_FALSE(DestinationIndex::decode(damaged)) << "damaged at " << at;
    }
    EXPECT_FALSE(DestinationIndex::decode("\"/src\",\"/dst\"\r\n"));
}
