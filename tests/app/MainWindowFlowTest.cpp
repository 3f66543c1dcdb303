// The main window's behaviour without a window: a run on its helper thread as the window sees
// it, the copy command's end, and closing.

#include "fakes/FlowHarness.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

#include <future>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr const char* SavedRules = "\"/src\",\"/dst\"\r\n";
constexpr FileTime New { 1'700'000'000, 0 };

class MainWindowFlowTest : public ::testing::Test, protected FlowHarness
{
protected:
    void SetUp() override
    {
        fs.addFile(RuleFile, SavedRules, {});
        fs.addFile("/src/a", "a", New);
        fs.addFolder("/dst");
        flow.Form_Load();
    }

    void TearDown() override { EXPECT_EQ(messages.surprises(), ""); }

    // Clicks the start button and lets the window's thread run until the run has ended.
    void runCopy()
    {
        flow.GoCopy_Click();
        ASSERT_TRUE(window.pumpUntil([this] { return !flow.running(); }));
    }

    // Makes the window's close request while the named file is being copied.
    void closeWhileCopying(const std::string& path, WindowAfter& after)
    {
        fs.beforeCopy = [this, path, &after](const std::string& from) {
            if (from != path)
                return;
            std::promise<void> handled;
            window.post([&] {
                after = flow.closeRequested();
                handled.set_value();
            });
            handled.get_future().wait();
        };
    }
};

} // namespace

TEST_F(MainWindowFlowTest, TheCopyCommandAsksToSaveChangedRulesThenCloses)
{
    struct Case
    {
        const char* what;
        bool edited;
        MessageAnswer answer;
        bool saveFails;
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        { "unchanged rules", false, MessageAnswer::No, false, true, false },
        { "changed, saved", true, MessageAnswer::Yes, false, true, true },
        { "changed, not saved", true, MessageAnswer::No, false, true, false },
        { "changed, the save fails", true, MessageAnswer::Yes, true, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs.addFile(RuleFile, SavedRules, {});
        flow.Form_Load();
        window.closed = false;
        if (c.edited) {
            browser.willChoose("/src");
            flow.Folder_Click(RuleSide::Source, 1);
            browser.willChoose("/dst");
            flow.Folder_Click(RuleSide::Destination, 1);
        }
        if (c.saveFails)
            fs.injectFault(RuleFile, MemoryFileSystem::Operation::WriteFile, FsErrorKind::Other);
        messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
        if (c.edited)
            messages.expect(messages::SaveQuestion, MessageButtons::YesNoDefaultYes, c.answer);
        if (c.saveFails)
            messages.expect(std::string(messages::SaveFailed) + "\n" + RuleFile
                    + "\nファイルにアクセスできません",
                MessageButtons::Ok, MessageAnswer::Ok);
        runCopy();
        EXPECT_EQ(window.closed, c.closes);
        EXPECT_EQ(fs.fileData(RuleFile) != SavedRules, c.saved);
        EXPECT_EQ(fs.fileData("/dst/a"), "a");
        EXPECT_EQ(messages.surprises(), "");
    }
}

TEST_F(MainWindowFlowTest, TheCloseRequestDuringARunAsksWhetherToStopIt)
{
    for (MessageAnswer answer : { MessageAnswer::Yes, MessageAnswer::No }) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "stopped" : "going on");
        const bool stops = answer == MessageAnswer::Yes;
        fs.addFile(RuleFile, "\"/src\",\"/dst\"\r\n\"/more\",\"/dst2\"\r\n", {});
        fs.remove("/dst/a");
        fs.addFile("/more/d", "x", New);
        fs.addFolder("/dst2");
        flow.Form_Load();
        window.closed = false;
        EXPECT_EQ(flow.closeRequested(), WindowAfter::Closes) << "no question before a run";
        WindowAfter duringRun = WindowAfter::Closes;
        closeWhileCopying("/src/a", duringRun);
        messages.expect(messages::StopQuestion, MessageButtons::YesNoDefaultNo, answer);
        messages.expect(stops ? messages::CopyStopped : messages::CopyDone, MessageButtons::Ok,
            MessageAnswer::Ok);
        runCopy();
        EXPECT_EQ(duringRun, WindowAfter::StaysOpen);
        EXPECT_TRUE(window.closed) << "every run ends by closing the window";
        EXPECT_EQ(fs.exists("/dst/a"), !stops) << "a stop cuts the copy under way short";
        EXPECT_EQ(fs.exists("/dst2/d"), !stops) << "rows after the stop are not started";
        EXPECT_EQ(messages.surprises(), "");
        EXPECT_EQ(flow.closeRequested(), WindowAfter::Closes) << "no question after a run";
    }
}

TEST_F(MainWindowFlowTest, YesToTheCreateQuestionMakesTheMissingFoldersAboveTheDestinationToo)
{
    fs.addFile(RuleFile, "\"/src\",\"/new/deep/bak\"\r\n", {});
    flow.Form_Load();
    messages.expect(messages::createDestinationQuestion("/new/deep/bak"),
        MessageButtons::YesNoDefaultYes, MessageAnswer::Yes);
    messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
    runCopy();
    EXPECT_EQ(fs.fileData("/new/deep/bak/a"), "a");
}

TEST_F(MainWindowFlowTest, ARunThatEndsWhileTheStopQuestionIsOpenEndsOnceItIsAnswered)
{
    // The close request comes while "a" is copied; the copy then ends at once, while the user
    // still reads the question.
    fs.beforeCopy = [this](const std::string&) { window.post([this] { flow.closeRequested(); }); };
    messages.whileShown = [this](std::string_view text) {
        if (text == messages::StopQuestion)
            window.pumpFor(std::chrono::milliseconds(300));
    };
    messages.expect(messages::StopQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No);
    messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
    runCopy();
    EXPECT_TRUE(window.closed);
    EXPECT_EQ(fs.fileData("/dst/a"), "a");
}

TEST_F(MainWindowFlowTest, AWindowGoneMidRunEndsItWithoutAQuestionOrACopy)
{
    fs.addFile(RuleFile, "\"/src\",\"/new\"\r\n\"/src\",\"/dst\"\r\n", {});
    auto gone = std::make_unique<MainWindowFlow>(services(), window);
    gone->Form_Load();
    gone->GoCopy_Click();
    // The first row's question waits for the window's thread, which never gets to it.
    ASSERT_TRUE(window.waitForTask());
    gone.reset();
    window.pumpFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(messages.shown().empty()) << "tasks of a flow that has gone do nothing";
    EXPECT_FALSE(fs.exists("/new"));
    EXPECT_FALSE(fs.exists("/dst/a")) << "no row after the end starts";
}

TEST_F(MainWindowFlowTest, TheWindowShowsARunRowByRowAndTakesNoOtherCommand)
{
    fs.addFile(RuleFile, "\"/src\",\"/dst\"\r\n\"/more\",\"/new\"\r\n", {});
    fs.addFile("/more/last", "x", New);
    flow.Form_Load();
    std::string fileAtQuestion;
    std::vector<Pointer> pointersAtQuestion;
    std::string titleAtEnd;
    messages.whileShown = [&](std::string_view text) {
        if (text == messages::createDestinationQuestion("/new")) {
            fileAtQuestion = window.currentFile;
            pointersAtQuestion = window.pointers;
            // Commands made while the run goes on do nothing.
            flow.Hozon_Click();
            flow.GoCopy_Click();
        }
        if (text == messages::CopyDone)
            titleAtEnd = window.title;
    };
    messages.expect(messages::createDestinationQuestion("/new"), MessageButtons::YesNoDefaultYes,
        MessageAnswer::Yes);
    messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
    flow.GoCopy_Click();
    EXPECT_TRUE(window.title.starts_with("Rinvo Ver5 - コピー中 0/2 行 ")) << window.title;
    ASSERT_TRUE(window.pumpUntil([this] { return !flow.running(); }));
    EXPECT_EQ(fileAtQuestion, "a") << "a row's last file shows before the next row's question";
    EXPECT_EQ(pointersAtQuestion, (std::vector<Pointer> { Pointer::Busy, Pointer::Default }))
        << "busy while a row is copied, not while a question waits";
    EXPECT_EQ(window.pointers.back(), Pointer::Default);
    EXPECT_EQ(titleAtEnd, texts::MainCaption) << "the end messages come under the window's title";
    EXPECT_EQ(window.currentFile, "last");
    EXPECT_EQ(fs.fileData("/new/last"), "x");
}

TEST_F(MainWindowFlowTest, AFailedRunTellsHowManyFailedAndWhereItsLogKeepsThem)
{
    // The log folder's parent is a file in the first case, so no log can be made there.
    for (const bool logWritable : { false, true }) {
        SCOPED_TRACE(logWritable ? "log written" : "no log");
        if (logWritable)
            fs.remove("/home/user/.local/state");
        else
            fs.addFile("/home/user/.local/state", "a file in the folder's place", {});
        fs.addFile("/dst/a", "old", {}, ReadOnlyAttribute);
        const std::string failure = "コピー先 /dst/a ("
            + std::string(describeErrorKind(FsErrorKind::PermissionDenied)) + ")";
        const std::string notice = messages::notEverythingCopied(1) + "\n" + failure + "\n\n";
        messages.expect(messages::ReadOnlyNotice, MessageButtons::Ok, MessageAnswer::Ok);
        if (logWritable) {
            // The log's name is its start time: the notice is known once the log is there.
            messages.whileShown = [&](std::string_view text) {
                const auto logs = fs.children(LogFolder);
                if (text != messages::ReadOnlyNotice || logs.size() != 1)
                    return;
                const std::string path = std::string(LogFolder) + "/" + logs[0];
                messages.expect(
                    notice + messages::logWrittenTo(path), MessageButtons::Ok, MessageAnswer::Ok);
                messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
                const std::string log = fs.fileData(path).value_or("");
                EXPECT_NE(log.find(cli::rowHeading(1, "/src", "/dst")), std::string::npos) << log;
            };
        } else {
            messages.expect(notice
                    + messages::logNotWritten(
                        LogFolder, describeErrorKind(FsErrorKind::AlreadyExists)),
                MessageButtons::Ok, MessageAnswer::Ok);
            messages.expect(messages::CopyDone, MessageButtons::Ok, MessageAnswer::Ok);
        }
        runCopy();
        messages.whileShown = nullptr;
        EXPECT_EQ(messages.surprises(), "");
        EXPECT_EQ(fs.fileData("/dst/a"), "old");
    }
}
