// The destination index on a real volume: whatever another program does to the backup between
// two runs, a run with the index ends as a run without it.

#include "copy/CopyFolderTree.h"
#include "copy/DestinationIndex.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <iostream>
#include <thread>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 0 };

// Every file below the folder with its content and time, in order.
std::vector<std::string> treeOf(const std::string& root)
{
    std::vector<std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string path = entry.path().string();
        std::string line = path.substr(root.size());
        if (entry.is_regular_file())
            line += "=" + readFile(path).value_or("?") + "@"
                + std::to_string(modifiedTime(path).value_or(FileTime {}).seconds);
        tree.push_back(line);
    }
    std::sort(tree.begin(), tree.end());
    return tree;
}

} // namespace

TEST(NativeDestinationIndex, ARerunAfterAnOutsideChangeEndsAsARunWithoutTheIndex)
{
    TempFolder temp;
    const std::unique_ptr<FileSystem> fs = createNativeFileSystem();
    struct Case
    {
        const char* change;
        std::function<void(const std::string& dst)> apply;
    };
    const Case cases[] = {
        { "nothing", [](const std::string&) {} },
        { "a file deleted",
            [](const std::string& dst) { std::filesystem::remove(dst + "/d/b.txt"); } },
        { "a file renamed",
            [](const std::string& dst) {
                std::filesystem::rename(dst + "/d/e/c.txt", dst + "/d/e/c2.txt");
            } },
        { "a file replaced with an older one",
            [](const std::string& dst) {
                writeFile(dst + "/replacement", "old", Old);
                std::filesystem::rename(dst + "/replacement", dst + "/a.txt");
            } },
        { "a folder removed",
            [](const std::string& dst) { std::filesystem::remove_all(dst + "/d/e"); } },
    };
    auto run = [&](const std::string& dst, DestinationIndex* index) {
        return CopyFolderTree(*fs, { .source = temp / "src", .destination = dst, .index = index });
    };
    // Where the temporary folder's volume may be trusted (not an overlay or a share), the
    // index must have been used.
    const auto tempFolder = fs->openFolder(temp.path(), FolderSide::Destination);
    ASSERT_TRUE(tempFolder);
    const bool trustedVolume = (*tempFolder)->volume().foldersShowEveryChange;
    if (!trustedVolume)
        std::cout << "note: the temporary folder's volume hides changes; the index stays unused\n";
    writeFile(temp / "src/a.txt", "a", New);
    writeFile(temp / "src/d/b.txt", "b", New);
    writeFile(temp / "src/d/e/c.txt", "c", New);
    std::vector<DestinationIndex> indexes(std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        run(temp / ("indexed" + std::to_string(i)), &indexes[i]);
        run(temp / ("plain" + std::to_string(i)), nullptr);
    }
    // A folder changed within the last two seconds is not kept: the next run would not see a
    // change made in the same tick of its times.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    for (std::size_t i = 0; i < std::size(cases); ++i)
        run(temp / ("indexed" + std::to_string(i)), &indexes[i]);
    writeFile(temp / "src/d/new.txt", "n", New);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].change);
        const std::string indexed = temp / ("indexed" + std::to_string(i));
        const std::string plain = temp / ("plain" + std::to_string(i));
        EXPECT_EQ(indexes[i].folderCount() > 0, trustedVolume) << "kept only where it may be used";
        cases[i].apply(indexed);
        cases[i].apply(plain);
        const CopyReport withIndex = run(indexed, &indexes[i]);
        EXPECT_EQ(indexes[i].trusted(), trustedVolume) << "the index was used where it may be";
        const CopyReport without = run(plain, nullptr);
        EXPECT_EQ(treeOf(indexed), treeOf(plain));
        EXPECT_EQ(withIndex.filesCopied, without.filesCopied);
        EXPECT_EQ(withIndex.filesUpToDate, without.filesUpToDate);
        EXPECT_EQ(withIndex.failureCount, without.failureCount);
    }
}
