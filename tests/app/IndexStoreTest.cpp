// The rules' destination indexes kept between runs: a damaged one is ignored and written anew,
// and two runs of the same rule at once leave one that a later run can use.

#include "app/IndexStore.h"
#include "app/CopyRun.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedMessageBox.h"

#include <gtest/gtest.h>

#include <thread>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr const char* Cache = "/cache/rinvo/index";

class SilentObserver final : public CopyRunObserver
{
public:
    void rowStarted(std::size_t) override { }
    void fileCopied(std::string_view, std::string_view, std::uint64_t) override { }
    void rowFinished(std::size_t, const CopyReport&) override { }
};

CopyRunResult runRule(MemoryFileSystem& fs, const IndexStore& store)
{
    CopyRuleTable rules;
    rules[0] = { "/src", "/dst" };
    ScriptedMessageBox messages;
    SilentObserver observer;
    CopyRun run(fs, messages, observer);
    run.useIndexes(store, false);
    return run.runRows(rules, DefaultCopyOption);
}

// The rule's index file: the one file of the cache folder.
std::string indexFile(const MemoryFileSystem& fs)
{
    const std::vector<std::string> files = fs.children(Cache);
    EXPECT_EQ(files.size(), 1u);
    return files.empty() ? std::string() : std::string(Cache) + "/" + files.front();
}

} // namespace

TEST(IndexStore, ADamagedIndexIsIgnoredAndWrittenAnew)
{
    MemoryFileSystem fs;
    fs.addFile("/src/a", "a", { 1'700'000'000, 0 });
    fs.addFile("/src/d/b", "b", { 1'700'000'000, 0 });
    fs.addFolder("/dst");
    const IndexStore store(fs, Cache);
    runRule(fs, store);
    runRule(fs, store);
    ASSERT_GT(store.load("/src", "/dst").folderCount(), 0u);

    // The index of a rule no run has used for months goes; the rule's own stays.
    const std::string gone = std::string(Cache) + "/0123456789abcdef.index";
    fs.addFile(gone, "x", { secondsSince1970() - IndexStore::UnusedSeconds - 60, 0 });
    runRule(fs, store);
    EXPECT_FALSE(fs.exists(gone));
    const std::string file = indexFile(fs);
    const std::string whole = fs.fileData(file).value_or("");
    for (const std::string& damaged : { whole.substr(0, whole.size() / 2), std::string("x") }) {
        fs.addFile(file, damaged, {});
        EXPECT_EQ(store.load("/src", "/dst").folderCount(), 0u);
        fs.remove("/dst/d/b");
        EXPECT_EQ(runRule(fs, store).report.filesCopied, 1u);
        EXPECT_GT(store.load("/src", "/dst").folderCount(), 0u) << "written anew";
    }
}

TEST(IndexStore, TwoRunsOfTheSameRuleAtOnceLeaveAnIndexALaterRunCanUse)
{
    MemoryFileSystem fs;
    for (int i = 0; i < 50; ++i)
        fs.addFile(
            "/src/d" + std::to_string(i % 7) + "/f" + std::to_string(i), "x", { 1'700'000'000, 0 });
    fs.addFolder("/dst");
    const IndexStore store(fs, Cache);
    runRule(fs, store);
    fs.setDelays(7, std::chrono::microseconds(50));
    std::thread other([&] { runRule(fs, store); });
    runRule(fs, store);
    other.join();
    fs.setDelays(0, {});
    ASSERT_GT(store.load("/src", "/dst").folderCount(), 0u);
    fs.remove("/dst/d3/f3");
    const CopyRunResult after = runRule(fs, store);
    EXPECT_EQ(after.report.filesCopied, 1u);
    EXPECT_EQ(after.report.filesUpToDate, 49u);
    EXPECT_EQ(fs.fileData("/dst/d3/f3"), "x");
}
