#include "cli/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/StopRequest.h"
#include "platform/StopSignals.h"
#include "platform/TempNames.h"
#include "platform/TextCodec.h"
#include "support/TempFolder.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

class CommandLineTest : public ::testing::Test
{
protected:
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
    std::unique_ptr<TextCodec> codec = createCodec("UTF-8");
    std::string ruleFile = temp / "copyrule.txt";
    std::ostringstream out;
    std::ostringstream err;
    // No log and no destination index unless a test asks for them.
    std::string logFolder;
    std::string indexFolder;

    int run(std::vector<std::string> args)
    {
        out.str("");
        err.str("");
        return runCommandLine(args,
            { *fs, *codec, ruleFile, out, err, ProgressLine::Hidden, nullptr, logFolder,
                indexFolder });
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
    EXPECT_NE(err.str().find("rinvo: コピー先 " + temp / "dst/f"), std::string::npos) << err.str();
}

TEST_F(CommandLineTest, AMissingSourceIsReportedWithoutCreatingTheDestination)
{
    EXPECT_EQ(run({ "copy", temp / "nothing", temp / "dst" }), ExitNotEverythingCopied);
    EXPECT_EQ(countEntries(temp / "dst"), -1);
    EXPECT_NE(err.str().find("が存在しません"), std::string::npos);
}

TEST_F(CommandLineTest, BadArgumentsExitWithTwoAndTheUsage)
{
    for (const std::vector<std::string>& args :
        std::vector<std::vector<std::string>> { {}, { "copy" }, { "copy", "a" },
            { "copy", "a", "b", "c" }, { "copy", "a", "b", "--option" },
            { "copy", "a", "b", "--option", "4" }, { "copy", "a", "b", "--fast" }, { "frobnicate" },
            { "run", "extra" }, { "run", "--rules" }, { "copy", "", "b" }, { "--frobnicate" },
            { "copy", "a", "b", "--option=4" }, { "run", "--create-missing=yes" },
            { "copy", "a", "b", "--rules", "r" } }) {
        EXPECT_EQ(run(args), ExitBadArguments);
        EXPECT_NE(err.str().find("使い方: rinvo copy"), std::string::npos);
        EXPECT_TRUE(args.empty() || err.str().starts_with("rinvo: ")) << err.str();
        EXPECT_TRUE(out.str().empty());
    }
}

TEST_F(CommandLineTest, RunBacksUpEveryRuleAndASecondRunCopiesNothing)
{
    writeFile(temp / "src1/a", "aa");
    writeFile(temp / "src1/sub/b", "bbb");
    writeFile(temp / "src2/c", "c");
    makeFolders(temp / "dst1");
    makeFolders(temp / "dst2");
    writeFile(ruleFile,
        "\"" + temp / "src1" + "\",\"" + temp / "dst1" + "\"\r\n\"" + temp / "src2" + "\",\""
            + temp / "dst2" + "\"\r\n");
    EXPECT_EQ(run({ "run" }), ExitSuccess) << out.str() << err.str();
    EXPECT_EQ(readFile(temp / "dst1/sub/b"), "bbb");
    EXPECT_EQ(readFile(temp / "dst2/c"), "c");
    EXPECT_NE(out.str().find("行 1: コピー 2 (5 バイト)"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("行 2: コピー 1 (1 バイト)"), std::string::npos);
    EXPECT_NE(out.str().find("コピーしたファイル: 3 (6 バイト)"), std::string::npos);
    EXPECT_NE(out.str().find("コピーを完了しました。"), std::string::npos);

    EXPECT_EQ(run({ "run", "--rules", ruleFile }), ExitSuccess);
    EXPECT_NE(out.str().find("コピーしたファイル: 0 (0 バイト)"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("最新のため省いたファイル: 3"), std::string::npos);
}

TEST_F(CommandLineTest, RunAnswersTheCreateQuestionNoUnlessAsked)
{
    writeFile(temp / "src/a", "a");
    writeFile(ruleFile, "\"" + temp / "src" + "\",\"" + temp / "new" + "\"\r\n");
    EXPECT_EQ(run({ "run" }), ExitNotEverythingCopied);
    EXPECT_NE(err.str().find("rinvo: 行 1: コピー先フォルダ " + temp / "new"
                  + " が存在しません。作成しますか？ → いいえ\n"),
        std::string::npos)
        << err.str();
    EXPECT_NE(out.str().find("コピーは行われませんでした。"), std::string::npos);
    EXPECT_EQ(countEntries(temp / "new"), -1);

    EXPECT_EQ(run({ "run", "--create-missing" }), ExitSuccess) << out.str();
    EXPECT_EQ(readFile(temp / "new/a"), "a");
}

TEST_F(CommandLineTest, DryRunListsWhatWouldBeCopiedAndWritesNothing)
{
    writeFile(temp / "src/a", "aaaa", { 1'700'000'000, 0 });
    writeFile(temp / "src/sub/b", "b", { 1'700'000'000, 0 });
    writeFile(temp / "dst/a", "old", { 1'600'000'000, 0 });
    writeFile(ruleFile,
        "\"" + temp / "src" + "\",\"" + temp / "dst" + "\"\r\n\"" + temp / "src" + "\",\""
            + temp / "fresh" + "\"\r\n");
    EXPECT_EQ(run({ "run", "--dry-run", "--create-missing" }), ExitSuccess)
        << out.str() << err.str();
    EXPECT_EQ(readFile(temp / "dst/a"), "old");
    EXPECT_EQ(countEntries(temp / "dst"), 1);
    EXPECT_EQ(countEntries(temp / "fresh"), -1);
    EXPECT_NE(out.str().find("  " + temp / "src/a\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("  " + temp / "src/sub/b\n"), std::string::npos);
    EXPECT_NE(out.str().find("コピーしたファイル: 4 (10 バイト)"), std::string::npos)
        << "2 files, twice";
}

TEST_F(CommandLineTest, HelpPrintsTheUsageEveryExitStatusAndTheLogFolder)
{
    logFolder = temp / "logs";
    EXPECT_EQ(run({ "--help" }), ExitSuccess);
    EXPECT_NE(out.str().find("rinvo run [--rules"), std::string::npos);
    for (int status : { int(ExitSuccess), int(ExitNotEverythingCopied), int(ExitBadArguments),
             int(ExitStopped), 128 + SIGTERM })
        EXPECT_NE(out.str().find("    " + std::to_string(status) + " "), std::string::npos)
            << status;
    EXPECT_NE(out.str().find(cli::logFolderInUse(logFolder)), std::string::npos) << out.str();
    EXPECT_TRUE(err.str().empty());
}

TEST_F(CommandLineTest, ARuleFileWithoutARowToCopyIsToldOnStandardError)
{
    for (const char* content : { "", "\x01\x02 not a rule file", "\"/only/a/source\"\r\n" }) {
        writeFile(ruleFile, content);
        EXPECT_EQ(run({ "run" }), ExitNotEverythingCopied);
        EXPECT_NE(err.str().find("rinvo: " + cli::ruleFileEmpty(ruleFile)), std::string::npos)
            << err.str();
    }
}

TEST_F(CommandLineTest, ARuleFileFromAJapaneseWindowsMachineIsReadAsShiftJis)
{
    writeFile(temp / "データ/a", "a");
    makeFolders(temp / "dst");
    const std::string shiftJisName = "\x83\x66\x81\x5B\x83\x5E";
    writeFile(ruleFile, "\"" + temp / shiftJisName + "\",\"" + temp / "dst" + "\"\r\n");
    EXPECT_EQ(run({ "run" }), ExitSuccess) << err.str();
    EXPECT_EQ(readFile(temp / "dst/a"), "a");
    const std::string told = messages::ruleFileConverted("Shift-JIS (CP932)", "UTF-8");
    EXPECT_TRUE(err.str().starts_with("rinvo: " + told.substr(0, told.find('\n')) + "\nrinvo: "))
        << err.str();
}

TEST_F(CommandLineTest, EveryRunWritesItsLogAndListNamesEachCopiedFile)
{
    writeFile(temp / "src/a", "a");
    writeFile(temp / "src/sub/b", "b");
    makeFolders(temp / "dst");
    writeFile(ruleFile, "\"" + temp / "src" + "\",\"" + temp / "dst" + "\"\r\n");
    logFolder = temp / "state/rinvo/logs";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>> {
             { "run", "--list" }, { "copy", temp / "src", temp / "dst2", "--list" } }) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(run(args), ExitSuccess) << err.str() << out.str();
        const std::string label = cli::logFileInUse("");
        const std::size_t at = out.str().find(label);
        ASSERT_NE(at, std::string::npos) << out.str();
        const std::string path
            = out.str().substr(at + label.size(), out.str().find('\n', at) - at - label.size());
        EXPECT_TRUE(path.starts_with(logFolder + "/")) << path;
        const std::string log = readFile(path).value_or("");
        for (const char* file : { "src/a", "src/sub/b" }) {
            EXPECT_NE(out.str().find("  " + temp / file + "\n"), std::string::npos) << out.str();
            EXPECT_NE(log.find(logs::copiedFile(temp / file) + "\n"), std::string::npos) << log;
        }
        EXPECT_NE(log.find(messages::CopyDone), std::string::npos) << log;
    }

    // A log that cannot be written is told and the run goes on.
    logFolder = temp / "src/a/logs";
    writeFile(temp / "src/c", "c");
    EXPECT_EQ(run({ "run" }), ExitSuccess);
    const std::string told = messages::logNotWritten(logFolder, "@");
    EXPECT_NE(err.str().find("rinvo: " + told.substr(0, told.find('@'))), std::string::npos)
        << err.str();
    EXPECT_EQ(readFile(temp / "dst/c"), "c");
}

TEST_F(CommandLineTest, FollowsTheConventionsOfCopyTools)
{
    EXPECT_EQ(run({ "--version" }), ExitSuccess);
    EXPECT_EQ(out.str(), "rinvo 5.0\n");
    EXPECT_EQ(run({ "run", "--help" }), ExitSuccess);
    EXPECT_NE(out.str().find("設定ファイル: " + ruleFile), std::string::npos) << out.str();
    EXPECT_TRUE(isCommandLineRequest({ "--frobnicate" })) << "never the window";

    // "--option=1" as well as "--option 1"; "--" ends the options, so a path may begin "-".
    writeFile(temp / "-src/.hidden", "h");
    writeFile(temp / "-src/plain", "p");
    EXPECT_EQ(run({ "copy", "--option=1", "--", temp / "-src", temp / "dst" }), ExitSuccess)
        << err.str();
    EXPECT_EQ(countEntries(temp / "dst"), 1);

    // A dry run of one copy lists what it would copy and writes nothing.
    EXPECT_EQ(run({ "copy", "--dry-run", temp / "-src", temp / "dry" }), ExitSuccess);
    EXPECT_NE(out.str().find("  " + temp / "-src/plain\n"), std::string::npos) << out.str();
    EXPECT_EQ(countEntries(temp / "dry"), -1);
}

TEST_F(CommandLineTest, RunTellsWhenItStartedAndHowTheRowsWent)
{
    writeFile(temp / "src/a", "a");
    writeFile(ruleFile,
        "\"" + temp / "src" + "\",\"" + temp / "deep/er/dst" + "\"\r\n\"" + temp / "gone" + "\",\""
            + temp / "x" + "\"\r\n");
    EXPECT_EQ(run({ "run", "--create-missing" }), ExitNotEverythingCopied);
    EXPECT_TRUE(out.str().starts_with("rinvo 5.0 — 20")) << out.str();
    EXPECT_NE(out.str().find("手順: 実行 1, 省略 1, 失敗 0"), std::string::npos) << out.str();
    const std::string missing = messages::sourceFolderMissing(temp / "gone");
    EXPECT_NE(err.str().find("rinvo: 行 2: " + missing + "\n"), std::string::npos) << err.str();
    EXPECT_EQ(out.str().find(missing), std::string::npos) << "row messages are problems";
    EXPECT_EQ(readFile(temp / "deep/er/dst/a"), "a") << "every missing level is made";
}

TEST_F(CommandLineTest, RunNeedsARuleFile)
{
    EXPECT_EQ(run({ "run" }), ExitBadArguments);
    EXPECT_NE(err.str().find("がありません"), std::string::npos);
}

namespace {

// Raises the signal the first time the progress line is drawn, as a user's Ctrl-C during the
// copy of the first files would.
class SignallingBuffer final : public std::stringbuf
{
public:
    explicit SignallingBuffer(int signal)
        : m_signal(signal)
    { }

protected:
    int sync() override
    {
        if (!m_raised && str().find("個目") != std::string::npos) {
            m_raised = true;
            ::raise(m_signal);
        }
        return 0;
    }

private:
    int m_signal;
    bool m_raised = false;
};

} // namespace

TEST_F(CommandLineTest, CtrlCAndSigtermStopAfterTheFileBeingCopiedWithTheSummarySoFar)
{
    for (int i = 0; i < 50; ++i)
        writeFile(temp / ("src/f" + std::to_string(i)), "data");
    for (int signal : { SIGINT, SIGTERM }) {
        SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
        const std::string destination = temp / ("dst" + std::to_string(signal));
        const std::string output = temp / "output.txt";
        const pid_t child = ::fork();
        if (child == 0) {
            StopRequest stop;
            stopOnSignals(stop);
            SignallingBuffer buffer(signal);
            std::ostream out(&buffer);
            const int status = runCommandLine({ "copy", temp / "src", destination },
                { *fs, *codec, ruleFile, out, err, ProgressLine::Shown, &stop });
            std::ofstream(output) << buffer.str();
            ::_exit(status == ExitStopped ? exitStatusOfStopSignal() : 99);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        const std::string printed = readFile(output).value_or("");
        EXPECT_NE(printed.find("コピーしたファイル: "), std::string::npos) << printed;
        EXPECT_NE(printed.find(cli::StoppedLine), std::string::npos);
        const int copied = countEntries(destination);
        EXPECT_GE(copied, 1);
        EXPECT_LT(copied, 50) << "the copy stopped early, leaving no temporary file";
        for (const auto& entry : std::filesystem::directory_iterator(destination))
            EXPECT_FALSE(parseTempName(entry.path().filename().string()));
    }
}

TEST_F(CommandLineTest, AFullCheckRepairsACopyWhoseTimeWasSetBackInPlace)
{
    indexFolder = temp / "cache";
    writeFile(temp / "src/a", "new", { 1'700'000'100, 0 });
    ASSERT_EQ(run({ "copy", temp / "src", temp / "dst" }), ExitSuccess) << err.str();
    // Folders changed in the last two seconds are listed again next time, not kept.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    ASSERT_EQ(run({ "copy", temp / "src", temp / "dst" }), ExitSuccess);
    // Another program sets the copy's time back without touching its folder.
    writeFile(temp / "old", "old", { 1'600'000'000, 0 });
    std::filesystem::copy_file(std::filesystem::path(temp / "old"),
        std::filesystem::path(temp / "dst/a"), std::filesystem::copy_options::overwrite_existing);
    setModifiedTime(temp / "dst/a", { 1'600'000'000, 0 });
    const auto folder = fs->openFolder(temp.path(), FolderSide::Destination);
    ASSERT_TRUE(folder);
    if ((*folder)->volume().foldersShowEveryChange) {
        EXPECT_EQ(run({ "copy", temp / "src", temp / "dst" }), ExitSuccess);
        EXPECT_EQ(readFile(temp / "dst/a"), "old") << "the index cannot see it";
    }
    EXPECT_EQ(run({ "copy", temp / "src", temp / "dst", "--full-check" }), ExitSuccess)
        << err.str();
    EXPECT_EQ(readFile(temp / "dst/a"), "new");
}
