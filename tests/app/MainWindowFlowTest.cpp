// The main window's behaviour without a window: the copy command's end, and closing.

#include "app/MainWindowFlow.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/ScriptedFolderBrowser.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/TextCodec.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

using namespace rinvo;
using namespace rinvo::testing;

namespace {

constexpr const char* RuleFile = "/opt/rinvo/copyrule.txt";
constexpr const char* SavedRules = "\"/src\",\"/dst\"\r\n";

// A window that holds its boxes' texts and runs the copy at once.
class RecordingView final : public MainWindowView, private CopyRunObserver
{
public:
    RecordingView(FileSystem& fs, MessageBoxService& messages)
        : m_fs(fs)
        , m_messages(messages)
    { }

    CopyRuleTable shownRules() override { return rules; }
    void showRules(const CopyRuleTable& shown) override { rules = shown; }
    CopyRunResult runCopy(
        const CopyRuleTable& table, CopyOption option, const StopRequest& stop) override
    {
        CopyRun run(m_fs, m_messages, *this);
        return run.run(table, option, &stop);
    }
    void showHelp() override { }
    void closeWindow() override { closed = true; }

    CopyRuleTable rules;
    bool closed = false;

private:
    void rowStarted(std::size_t) override { }
    void fileCopied(std::string_view, std::string_view, std::uint64_t) override { }
    void rowFinished(std::size_t, const CopyReport&) override { }

    FileSystem& m_fs;
    MessageBoxService& m_messages;
};

class MainWindowFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs.addFile(RuleFile, SavedRules, {});
        fs.addFile("/src/a", "a", { 1'700'000'000, 0 });
        fs.addFolder("/dst");
        flow.Form_Load();
    }

    void TearDown() override { EXPECT_EQ(messages.surprises(), ""); }

    MemoryFileSystem fs;
    ScriptedMessageBox messages;
    ScriptedFolderBrowser browser;
    RinvoModule module;
    std::unique_ptr<TextCodec> codec = createCodec("UTF-8");
    RecordingView view { fs, messages };
    MainWindowFlow flow { { fs, messages, browser, *codec, RuleFile, module }, view };
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
        view.closed = false;
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
                    + "\nファイルにアクセスできません (injected failure)",
                MessageButtons::Ok, MessageAnswer::Ok);
        flow.GoCopy_Click();
        EXPECT_EQ(view.closed, c.closes);
        EXPECT_EQ(fs.fileData(RuleFile) != SavedRules, c.saved);
        EXPECT_EQ(fs.fileData("/dst/a"), "a");
        EXPECT_EQ(messages.surprises(), "");
    }
}

TEST_F(MainWindowFlowTest, TheCloseBoxDuringARunAsksWhetherToStopIt)
{
    for (MessageAnswer answer : { MessageAnswer::Yes, MessageAnswer::No }) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "stopped" : "going on");
        const bool stops = answer == MessageAnswer::Yes;
        MemoryFileSystem tree;
        tree.addFile(RuleFile, "\"/src\",\"/dst\"\r\n\"/more\",\"/dst2\"\r\n", {});
        for (const char* name : { "/src/a", "/more/d" })
            tree.addFile(name, "x", { 1'700'000'000, 0 });
        tree.addFolder("/dst");
        tree.addFolder("/dst2");
        ScriptedMessageBox answers;
        RecordingView window { tree, answers };
        MainWindowFlow running { { tree, answers, browser, *codec, RuleFile, module }, window };
        running.Form_Load();
        // The close box is pressed while "a" is being copied.
        tree.beforeCopy = [&](const std::string& from) {
            if (from == "/src/a") {
                EXPECT_EQ(running.closeRequested(), WindowAfter::StaysOpen);
            }
        };
        answers.expect(messages::StopQuestion, MessageButtons::YesNoDefaultNo, answer);
        answers.expect(stops ? messages::CopyStopped : messages::CopyDone, MessageButtons::Ok,
            MessageAnswer::Ok);
        running.GoCopy_Click();
        EXPECT_TRUE(window.closed) << "every run ends by closing the window";
        EXPECT_EQ(tree.exists("/dst/a"), !stops) << "a stop cuts the copy under way short";
        EXPECT_EQ(tree.exists("/dst2/d"), !stops) << "rows after the stop are not started";
        EXPECT_EQ(answers.surprises(), "");
        EXPECT_EQ(running.closeRequested(), WindowAfter::Closes) << "no question after a run";
    }
}
