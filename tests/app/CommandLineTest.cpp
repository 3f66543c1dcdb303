#include "app/CommandLine.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

class CommandLineTest : public ::testing::Test
{
protected:
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
    std::ostringstream out;
    std::ostringstream err;

    int run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return runCommandLine(args, *fs, out, err, ProgressLine::Hidden);
    }
};

} // namespace

TEST_F(CommandLineTest, CopiesOneRuleAndSummarisesWhatItDid)
{
    writeFile(temp / "src/a", "aaaa");
    writeFile(temp / "src/.h", "h");
    EXPECT_EQ(run({ "copy", temp / "src", temp / "dst", "--option", "1" }), ExitSuccess)
        << err.str();
    EXPECT_EQ(readFile(temp / "dst/a"), "aaaa");
    EXPECT_EQ(countEntries(temp / "dst"), 1);
    EXPECT_NE(out.str().find("コピーしたファイル: 1 (4 バイト)"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("対象外の項目: 1"), std::string::npos);

    EXPECT_EQ(run({ "copy", temp / "src", temp / "dst" }), ExitSuccess);
    EXPECT_NE(out.str().find("コピーしたファイル: 1 (1 バイト)"), std::string::npos)
        << "option 2 copies .h";
    EXPECT_NE(out.str().find("最新のため省いたファイル: 1"), std::string::npos) << out.str();
}

TEST_F(CommandLineTest, ExitsWithOneAndListsFailuresWhenSomethingWasRefused)
{
    writeFile(temp / "src/f", "new", { 1'700'000'000, 0 });
    writeFile(temp / "dst/f", "old", { 1'600'000'000, 0 });
    ::chmod((temp / "dst/f").c_str(), 0444);
    EXPECT_EQ(run({ "copy", temp / "src", temp / "dst" }), ExitNotEverythingCopied);
    EXPECT_NE(out.str().find("失敗: 1"), std::string::npos);
    EXPECT_NE(out.str().find(temp / "dst/f"), std::string::npos);
}

TEST_F(CommandLineTest, AMissingSourceIsReportedWithoutCreatingTheDestination)
{
    EXPECT_EQ(run({ "copy", temp / "nothing", temp / "dst" }), ExitNotEverythingCopied);
    EXPECT_EQ(countEntries(temp / "dst"), -1);
    EXPECT_NE(err.str().find("が存在しません"), std::string::npos);
}

TEST_F(CommandLineTest, BadArgumentsExitWithTwoAndTheUsage)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> { {},
             { "copy" }, { "copy", "a" }, { "copy", "a", "b", "c" },
             { "copy", "a", "b", "--option" }, { "copy", "a", "b", "--option", "4" },
             { "copy", "a", "b", "--fast" }, { "frobnicate" } }) {
        EXPECT_EQ(run(args), ExitBadArguments);
        EXPECT_NE(err.str().find("使い方: rinvo copy"), std::string::npos);
    }
}
