// The copy run's checks and messages, row by row, on the in-memory file system with scripted
// answers.

#include "app/CopyRun.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedMessageBox.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

#include <functional>

using namespace rinvo;
using namespace rinvo::testing;
namespace msg = rinvo::messages;

namespace {

constexpr FileTime Old { 1'600'000'000, 0 };
constexpr FileTime New { 1'700'000'000, 0 };

class SilentObserver final : public CopyRunObserver
{
public:
    void rowStarted(std::size_t) override { }
    void fileCopied(std::string_view, std::string_view, std::uint64_t) override { }
    void rowFinished(std::size_t, const CopyReport&) override { }
};

struct Message
{
    std::string text;
    MessageAnswer answer = MessageAnswer::Ok;
};

Message ok(std::string text)
{
    return { std::move(text), MessageAnswer::Ok };
}

Message question(std::string text, MessageAnswer answer)
{
    return { std::move(text), answer };
}

std::string failuresNotice(std::initializer_list<std::string> lines, std::uint64_t count = 0)
{
    std::string notice = msg::notEverythingCopied(count ? count : lines.size());
    for (const std::string& line : lines)
        notice += "\n" + line;
    return notice;
}

struct Case
{
    const char* what;
    std::vector<CopyRule> rows;
    std::function<void(MemoryFileSystem&)> prepare;
    std::vector<Message> messages;
    std::function<void(MemoryFileSystem&)> check;
};

} // namespace

TEST(CopyRun, TellsEachRowsChecksAndTheOutcomeInOrder)
{
    const std::string notFound = describeErrorKind(FsErrorKind::PathNotFound);
    const Case cases[] = {
        { "all rows empty", {}, {}, { ok(msg::NothingCopied) }, {} },
        { "half-filled rows are skipped silently", { { "/src", "" }, { "", "/dst" } }, {},
            { ok(msg::NothingCopied) }, {} },
        { "missing drives are named as typed, a network path only has its folder tested",
            { { " x/data", "/dst" }, { "/src", "zz/backup" }, { "\\\\server\\share", "/dst" },
                { "/gone", "/dst" } },
            {},
            { ok(msg::sourceDriveMissing(" x")), ok(msg::destinationDriveMissing("zz")),
                ok(msg::sourceFolderMissing("\\\\server\\share")),
                ok(msg::sourceFolderMissing("/gone")), ok(msg::NothingCopied) },
            {} },
        { "a missing destination is made only on Yes", { { "/src", "/new1" }, { "/src", "/new2" } },
            {},
            { question(msg::createDestinationQuestion("/new1"), MessageAnswer::No),
                question(msg::createDestinationQuestion("/new2"), MessageAnswer::Yes),
                ok(msg::CopyDone) },
            [](MemoryFileSystem& fs) {
                EXPECT_FALSE(fs.exists("/new1"));
                EXPECT_EQ(fs.fileData("/new2/sub/b.txt"), "bb");
            } },
        { "a destination that cannot be made is told and its row skipped",
            { { "/src", "/no/parent" } }, {},
            { question(msg::createDestinationQuestion("/no/parent"), MessageAnswer::Yes),
                ok(msg::destinationNotCreated("/no/parent", notFound)), ok(msg::NothingCopied) },
            {} },
        { "a single file into a missing folder is not asked about but reported",
            { { "/src/a.txt", "/missing" } }, {},
            { ok(failuresNotice({ "コピー先 /missing (" + notFound + ")" })), ok(msg::CopyDone) },
            [](MemoryFileSystem& fs) { EXPECT_FALSE(fs.exists("/missing")); } },
        { "a read-only target gives its notice, then the failure's, then done",
            { { "/src", "/dst" } },
            [](MemoryFileSystem& fs) { fs.addFile("/dst/a.txt", "old", Old, ReadOnlyAttribute); },
            { ok(msg::ReadOnlyNotice),
                ok(failuresNotice({ "コピー先 /dst/a.txt ("
                    + std::string(describeErrorKind(FsErrorKind::PermissionDenied)) + ")" })),
                ok(msg::CopyDone) },
            [](MemoryFileSystem& fs) {
                EXPECT_EQ(fs.fileData("/dst/a.txt"), "old");
                EXPECT_EQ(fs.fileData("/dst/sub/b.txt"), "bb");
            } },
        { "an unreadable source is a failure like any other, not a read-only file",
            { { "/src", "/dst" } },
            [](MemoryFileSystem& fs) {
                fs.injectFault("/src/a.txt", MemoryFileSystem::Operation::ReadFile,
                    FsErrorKind::PermissionDenied);
            },
            { ok(failuresNotice({ "コピー元 /src/a.txt ("
                  + std::string(describeErrorKind(FsErrorKind::PermissionDenied)) + ")" })),
                ok(msg::CopyDone) },
            {} },
        { "other failures are named with their side before done", { { "/src", "/dst" } },
            [](MemoryFileSystem& fs) {
                fs.injectFault(
                    "/src/a.txt", MemoryFileSystem::Operation::ReadFile, FsErrorKind::Other);
            },
            { ok(failuresNotice({ "コピー元 /src/a.txt (ファイルにアクセスできません)" })),
                ok(msg::CopyDone) },
            {} },
        { "a row ended by its destination names it once; the next row still runs",
            { { "/src", "/dst" }, { "/src/sub", "/dst2" } },
            [](MemoryFileSystem& fs) {
                fs.addFolder("/dst2");
                fs.injectFault("/dst/sub", MemoryFileSystem::Operation::CreateFolder,
                    FsErrorKind::DeviceUnavailable);
            },
            { ok(failuresNotice({ "コピー先 /dst (デバイスが使用できません)" })),
                ok(msg::CopyDone) },
            [](MemoryFileSystem& fs) { EXPECT_EQ(fs.fileData("/dst2/b.txt"), "bb"); } },
        { "a drive that is not mounted is named by its folder, never made",
            { { "/media/u/GONE/docs", "/dst" }, { "/src", "/media/u/BACKUP/bak" },
                { "/src", "/media/u/STICK/bak" } },
            [](MemoryFileSystem& fs) {
                fs.addFolder("/media/u/BACKUP");
                fs.addFolder("/media/u/STICK");
                fs.addMountPoint("/media/u/STICK");
            },
            { ok(msg::sourceDriveMissing("/media/u/GONE")),
                ok(msg::destinationDriveMissing("/media/u/BACKUP")),
                question(msg::createDestinationQuestion("/media/u/STICK/bak"), MessageAnswer::Yes),
                ok(msg::CopyDone) },
            [](MemoryFileSystem& fs) {
                EXPECT_FALSE(fs.exists("/media/u/BACKUP/bak"));
                EXPECT_EQ(fs.fileData("/media/u/STICK/bak/a.txt"), "a");
            } },
        { "beyond five failures the rest are counted", { { "/src", "/dst" } },
            [](MemoryFileSystem& fs) {
                for (char name = 'c'; name <= 'i'; ++name) {
                    const std::string path = std::string("/src/") + name;
                    fs.addFile(path, "x", New);
                    fs.injectFault(path, MemoryFileSystem::Operation::ReadFile, FsErrorKind::Other);
                }
            },
            { ok(failuresNotice(
                  { "コピー元 /src/c (ファイルにアクセスできません)",
                      "コピー元 /src/d (ファイルにアクセスできません)",
                      "コピー元 /src/e (ファイルにアクセスできません)",
                      "コピー元 /src/f (ファイルにアクセスできません)",
                      "コピー元 /src/g (ファイルにアクセスできません)", msg::moreFailures(2) },
                  7)),
                ok(msg::CopyDone) },
            {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemoryFileSystem fs;
        fs.addFile("/src/a.txt", "a", New);
        fs.addFile("/src/sub/b.txt", "bb", New);
        fs.addFolder("/dst");
        if (c.prepare)
            c.prepare(fs);
        CopyRuleTable rules;
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            rules[i] = c.rows[i];
        ScriptedMessageBox messages;
        for (const Message& m : c.messages) {
            const bool isQuestion = m.answer != MessageAnswer::Ok;
            messages.expect(m.text,
                isQuestion ? MessageButtons::YesNoDefaultYes : MessageButtons::Ok, m.answer);
        }
        SilentObserver observer;
        CopyRun run(fs, messages, observer);
        run.run(rules, CopyOption::SkipSystem);
        EXPECT_EQ(messages.surprises(), "");
        if (c.check)
            c.check(fs);
    }
}

TEST(CopyRun, AStopEndsTheRowUnderWayStartsNoOtherAndEndsWithItsOwnMessage)
{
    MemoryFileSystem fs;
    fs.addFile("/src/a", "a", New);
    fs.addFile("/more/b", "b", New);
    fs.addFolder("/dst");
    // The second row's destination is missing: a stopped run never asks about it.
    CopyRuleTable rules;
    rules[0] = { "/src", "/dst" };
    rules[1] = { "/more", "/dst2" };
    StopRequest stop;
    fs.beforeCopy = [&](const std::string&) { stop.request(); };
    ScriptedMessageBox messages;
    messages.expect(msg::CopyStopped, MessageButtons::Ok, MessageAnswer::Ok);
    SilentObserver observer;
    const CopyRunResult result
        = CopyRun(fs, messages, observer).run(rules, DefaultCopyOption, &stop);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.rowsRun, 1u);
    EXPECT_FALSE(fs.exists("/dst/a"));
    EXPECT_EQ(messages.surprises(), "");
}

TEST(CopyRun, AnAbsentDriveIsNeverMadeEvenWhereMissingFoldersAreMadeWithTheirParents)
{
    MemoryFileSystem fs;
    fs.addFile("/src/a", "a", New);
    fs.addFolder("/media");
    CopyRuleTable rules;
    rules[0] = { "/src", "/media/u/BACKUP/nightly" };
    // The unattended run answers every question Yes, as --create-missing does.
    ScriptedMessageBox messages;
    messages.expect(
        msg::destinationDriveMissing("/media/u/BACKUP"), MessageButtons::Ok, MessageAnswer::Ok);
    messages.expect(msg::NothingCopied, MessageButtons::Ok, MessageAnswer::Ok);
    SilentObserver observer;
    CopyRun(fs, messages, observer, CopyMode::Copy, FolderCreation::WithParents)
        .run(rules, DefaultCopyOption);
    EXPECT_FALSE(fs.exists("/media/u"));
    EXPECT_EQ(messages.surprises(), "");
}
