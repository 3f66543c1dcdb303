// A run's log on the in-memory file system: what it says of each kind of row and failure, its
// name, and how many the folder keeps.

#include "app/RunLog.h"
#include "app/LogFolder.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/LocalTime.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;
using Op = MemoryFileSystem::Operation;

namespace {

constexpr const char* Folder = "/state/rinvo/logs";
constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 0 };

// Runs the rows with a log, as the window and the command line do, and returns the log.
std::string runLogged(MemoryFileSystem& fs, const CopyRuleTable& rules, ListCopiedFiles list,
    const StopRequest* stop = nullptr)
{
    auto log = RunLog::begin(fs, Folder,
        { .version = "9.9",
            .startedAt = 1'765'000'000,
            .origin = "origin line",
            .rules = rules,
            .list = list });
    EXPECT_TRUE(log.ok());
    if (!log)
        return {};
    ScriptedMessageBox answersNo;
    const CopyRunResult result
        = CopyRun(fs, answersNo, **log).runRows(rules, DefaultCopyOption, stop);
    (*log)->end(result, std::chrono::milliseconds(1500), 1'765'000'060);
    EXPECT_FALSE((*log)->place().problem);
    return fs.fileData((*log)->place().path).value_or("");
}

// The part of the log from the row's heading up to the next row's.
std::string rowPart(const std::string& log, std::size_t rowNumber)
{
    const auto lineStart
        = [](std::size_t row) { return std::string(1, '\n').append(cli::rowPrefix(row)); };
    const std::size_t start = log.find(lineStart(rowNumber) + "/");
    if (start == std::string::npos)
        return {};
    const std::size_t end = log.find(lineStart(rowNumber + 1), start);
    return log.substr(start + 1, end == std::string::npos ? end : end - start);
}

} // namespace

TEST(RunLog, TellsEachRowsOutcomeAndEveryFailureWithItsSide)
{
    MemoryFileSystem fs;
    const auto denied = FsErrorKind::PermissionDenied;
    fs.addFile("/src/a.txt", "a", New);
    fs.addFile("/src/ro.txt", "new", New);
    fs.addFile("/dst/ro.txt", "old", Old, ReadOnlyAttribute);
    fs.addFile("/src/secret.txt", "s", New);
    fs.injectFault("/src/secret.txt", Op::ReadFile, denied);
    fs.addFile("/src/locked/x", "x", New);
    fs.injectFault("/src/locked", Op::List, denied);
    fs.addFile("/src3/sub/b", "b", New);
    fs.addFolder("/dst3");
    fs.injectFault("/dst3/sub", Op::CreateFolder, FsErrorKind::DeviceUnavailable);
    fs.addFile("/src4/first", "1", New);
    fs.addFolder("/dst4");
    fs.addFile("/src5/never", "n", New);
    fs.addFolder("/dst5");
    StopRequest stop;
    fs.beforeCopy = [&](const std::string& from) {
        if (from == "/src4/first")
            stop.request();
    };
    CopyRuleTable rules;
    rules[0] = { "/src", "/dst" };
    rules[1] = { "/gone", "/dst" };
    rules[2] = { "/src3", "/dst3" };
    rules[3] = { "/src4", "/dst4" };
    rules[4] = { "/src5", "/dst5" };

    const std::string log = runLogged(fs, rules, ListCopiedFiles::No, &stop);
    EXPECT_TRUE(log.starts_with(logs::runHeader("9.9", readableLocalTime(1'765'000'000)) + "\n"
        + "origin line\n" + logs::CopyOptionLabel + texts::SkipSystemEntry + "\n"))
        << log;
    const std::string deniedText = describeErrorKind(denied);
    const std::string row1 = rowPart(log, 1);
    for (const std::string& line : {
             logs::failure("コピー先 /dst/ro.txt: " + deniedText),
             logs::failure("コピー元 /src/secret.txt: " + deniedText),
             logs::failure("コピー元 /src/locked: " + deniedText),
             logs::rowOutcome(1, logs::RowWithFailures),
             cli::rowSummary(1, 1, 1, 0, 0, 3, 0),
         })
        EXPECT_NE(row1.find(line + "\n"), std::string::npos) << line << "\nin\n" << row1;
    EXPECT_EQ(row1.find(logs::copiedFile("/src/a.txt")), std::string::npos) << "not asked to";
    EXPECT_EQ(rowPart(log, 2),
        cli::rowHeading(2, "/gone", "/dst") + "\n"
            + logs::rowSkipped(2, messages::sourceFolderMissing("/gone")) + "\n");
    EXPECT_NE(
        rowPart(log, 3).find(logs::rowOutcome(3, logs::RowEndedByDestination)), std::string::npos)
        << log;
    EXPECT_NE(rowPart(log, 4).find(logs::rowOutcome(4, logs::RowStopped)), std::string::npos);
    EXPECT_EQ(rowPart(log, 5), "") << "a row after the stop is never started";
    EXPECT_TRUE(log.ends_with(std::string(cli::ElapsedLabel) + "1.50" + cli::SecondsUnit + "\n"
        + messages::CopyStopped + "\n" + logs::endedAt(readableLocalTime(1'765'000'060)) + "\n"))
        << log;
    EXPECT_NE(log.find(cli::rowCounts(3, 1, 2) + "\n"), std::string::npos) << log;
}

TEST(RunLog, NamesEveryCopiedFileOnlyWhenAskedAndNeverARefusedOne)
{
    for (const ListCopiedFiles list : { ListCopiedFiles::No, ListCopiedFiles::Yes }) {
        MemoryFileSystem fs;
        fs.addFile("/src/a.txt", "a", New);
        fs.addFile("/src/sub/b.txt", "b", New);
        fs.addFile("/src/ro.txt", "new", New);
        fs.addFile("/dst/ro.txt", "old", Old, ReadOnlyAttribute);
        CopyRuleTable rules;
        rules[0] = { "/src", "/dst" };
        const std::string log = runLogged(fs, rules, list);
        const bool listed = list == ListCopiedFiles::Yes;
        EXPECT_EQ(log.find(logs::copiedFile("/src/a.txt") + "\n") != std::string::npos, listed);
        EXPECT_EQ(log.find(logs::copiedFile("/src/sub/b.txt") + "\n") != std::string::npos, listed)
            << log;
        EXPECT_EQ(log.find(logs::copiedFile("/src/ro.txt")), std::string::npos) << log;
    }
}

TEST(RunLog, NamesEveryFailureBeyondThoseTheReportKeeps)
{
    MemoryFileSystem fs;
    const std::size_t failures = CopyReport::MaxKeptFailures + 3;
    for (std::size_t i = 0; i < failures; ++i) {
        const std::string path = "/src/f" + std::to_string(i);
        fs.addFile(path, "x", New);
        fs.injectFault(path, Op::ReadFile, FsErrorKind::Other);
    }
    fs.addFolder("/dst");
    CopyRuleTable rules;
    rules[0] = { "/src", "/dst" };
    const std::string log = runLogged(fs, rules, ListCopiedFiles::No);
    const std::string failureLine = std::string(1, '\n').append(logs::failure(""));
    std::size_t logged = 0;
    for (std::size_t at = log.find(failureLine); at != std::string::npos;
         at = log.find(failureLine, at + 1))
        ++logged;
    EXPECT_EQ(logged, failures);
    EXPECT_NE(log.find(logs::failure("コピー元 /src/f1002: ")), std::string::npos);
}

TEST(RunLog, LogsAreNamedByTheirStartAndOnlyTheNewestAreKept)
{
    MemoryFileSystem fs;
    const std::string folder = std::string(Folder) + "/";
    auto addLogs = [&](const std::string& stamp, int count) {
        for (int i = 0; i < count; ++i)
            fs.addFile(folder + stamp + (i < 10 ? "0" : "") + std::to_string(i) + ".log", "", Old);
    };
    auto kept = [&](const std::string& name) {
        const std::vector<std::string> left = fs.children(Folder);
        return std::find(left.begin(), left.end(), name) != left.end();
    };
    // Numbers order logs of the same second as numbers, not as text: -10 is newer than -2.
    for (const char* old : { "20200101-000000.log", "20200101-000000-2.log",
             "20200101-000000-10.log", "notes.txt", "20200101-000000.log.bak" })
        fs.addFile(folder + old, "", Old);
    addLogs("20200102-0000", 28);
    const std::tm started = localTime(1'765'000'000);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &started);
    RunLogHeading heading;
    heading.startedAt = 1'765'000'000;
    ASSERT_TRUE(RunLog::begin(fs, Folder, heading).ok());
    EXPECT_EQ(fs.children(Folder).size(), KeptLogs + 2) << "30 logs and the user's two files";
    EXPECT_FALSE(kept("20200101-000000.log"));
    EXPECT_FALSE(kept("20200101-000000-2.log"));
    EXPECT_TRUE(kept("20200101-000000-10.log"));
    EXPECT_TRUE(kept("notes.txt"));
    EXPECT_TRUE(kept("20200101-000000.log.bak"));
    for (const char* suffix : { "-2.log", "-3.log" }) {
        auto log = RunLog::begin(fs, Folder, heading);
        ASSERT_TRUE(log.ok());
        EXPECT_EQ((*log)->place().path, folder + stamp + suffix);
    }
    EXPECT_TRUE(kept(std::string(stamp) + ".log"));

    // Logs from a clock that ran ahead never push out the log being written.
    addLogs("20990101-0000", 30);
    auto behind = RunLog::begin(fs, Folder, heading);
    ASSERT_TRUE(behind.ok());
    EXPECT_TRUE(kept(std::string(stamp) + "-4.log"));
    EXPECT_TRUE(fs.fileData((*behind)->place().path).value_or("").starts_with("rinvo "));
    EXPECT_EQ(fs.children(Folder).size(), KeptLogs + 2);
}
