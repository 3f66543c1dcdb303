// Rule editing and the settings commands of the main window, through its flow, on the in-memory
// file system with scripted answers.

#include "fakes/FlowHarness.h"
#include "texts/Catalogue.h"

#include <gtest/gtest.h>

#include <optional>

using namespace rinvo;
using namespace rinvo::testing;
namespace msg = rinvo::messages;

namespace {

struct Question
{
    std::string text;
    MessageButtons buttons;
    MessageAnswer answer;
};

Question notice(std::string text)
{
    return { std::move(text), MessageButtons::Ok, MessageAnswer::Ok };
}

class RuleCommandsTest : public ::testing::Test, protected FlowHarness
{
protected:
    void SetUp() override
    {
        fs.addFolder("/data");
        fs.addFolder("/backup");
        fs.addFile("/data/report.txt", "x", {});
    }

    void TearDown() override { EXPECT_EQ(messages.surprises(), ""); }

    void open(std::optional<std::string> savedRules)
    {
        if (savedRules)
            fs.addFile(RuleFile, *savedRules, {});
        flow.Form_Load();
    }

    void expect(const std::vector<Question>& questions)
    {
        for (const Question& q : questions)
            messages.expect(q.text, q.buttons, q.answer);
    }

    // Sets a box through the browse dialog, as a click on it does.
    void choose(RuleSide side, int row, std::string path)
    {
        browser.willChoose(std::move(path));
        flow.Folder_Click(side, row);
    }

    const CopyRule& row(int index) const { return window.rules[static_cast<std::size_t>(index)]; }
};

} // namespace

TEST_F(RuleCommandsTest, StartsWithTheSavedRulesOrEmptyRowsAndTheDefaultOption)
{
    module.copyOption = CopyOption::CopyEverything;
    open(std::nullopt);
    EXPECT_EQ(window.rules, CopyRuleTable {});
    EXPECT_EQ(module.copyOption, CopyOption::SkipSystem);
    open("\"/a\",\"/b\"\r\n\"/c\",\"/d\"\r\n");
    EXPECT_EQ(row(1), (CopyRule { "/c", "/d" }));
    EXPECT_FALSE(flow.state().RulesChanged);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RuleCommandsTest, AClickOnARuleBoxBrowsesAndTakesOnlyAPathTheRowCanHold)
{
    // Row 0 holds "/a" and "/b" when the window opens; row 1 is empty.
    struct Case
    {
        const char* what;
        RuleSide side;
        int row;
        std::string chosen; // empty for a cancel
        std::vector<Question> messages;
        std::string shown;
        bool changed;
    };
    const Case cases[] = {
        { "a source folder", RuleSide::Source, 1, "/data", {}, "/data", true },
        { "a destination folder", RuleSide::Destination, 1, "/backup", {}, "/backup", true },
        { "the same path again still counts", RuleSide::Source, 0, "/a", {}, "/a", true },
        { "a cancel", RuleSide::Source, 0, "", {}, "/a", false },
        { "a file as source", RuleSide::Source, 1, "/data/report.txt", {}, "/data/report.txt",
            true },
        { "a file as destination", RuleSide::Destination, 1, "/data/report.txt",
            { notice(msg::DestinationIsFile) }, "", false },
        { "a path that is nothing", RuleSide::Source, 1, "/vanished",
            { notice(msg::InvalidChoice) }, "", false },
        { "the root, either side", RuleSide::Destination, 1, "/", {}, "/", true },
        { "a path with a double quote", RuleSide::Source, 1, "/say \"hi\"",
            { notice(std::string(msg::PathNotStorable) + "\n/say \"hi\"\n"
                + "パスに \" (二重引用符) が含まれています") },
            "", false },
    };
    fs.addFolder("/a");
    fs.addFolder("/say \"hi\"");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open("\"/a\",\"/b\"\r\n");
        expect(c.messages);
        choose(c.side, c.row, c.chosen);
        const CopyRule& rule = row(c.row);
        EXPECT_EQ(c.side == RuleSide::Source ? rule.source : rule.destination, c.shown);
        EXPECT_EQ(flow.state().RulesChanged, c.changed);
        const std::string prompt
            = c.side == RuleSide::Source ? texts::SourcePrompt : texts::DestinationPrompt;
        EXPECT_EQ(browser.calls().back().prompt, prompt);
        EXPECT_EQ(browser.calls().back().startPath, c.row == 0 ? "/a" : "")
            << "the dialog opens at the box's path";
        EXPECT_EQ(messages.surprises(), "");
    }
}

TEST_F(RuleCommandsTest, ARightClickOffersToClearAFilledBoxOnly)
{
    open("\"/a\",\"/b\"\r\n");
    flow.Folder_MouseDown(RuleSide::Source, 1, MouseButton::Right);
    EXPECT_TRUE(messages.shown().empty()) << "an empty box asks nothing";
    expect({ { msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No } });
    flow.Folder_MouseDown(RuleSide::Source, 0, MouseButton::Right);
    EXPECT_EQ(row(0).source, "/a");
    EXPECT_FALSE(flow.state().RulesChanged);
    expect({ { msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes } });
    flow.Folder_MouseDown(RuleSide::Destination, 0, MouseButton::Right);
    EXPECT_EQ(row(0), (CopyRule { "/a", "" }));
    EXPECT_TRUE(flow.state().RulesChanged);
    EXPECT_TRUE(browser.calls().empty()) << "a right click never browses";
}

TEST_F(RuleCommandsTest, TheCopyOptionIsTheEntryTheBoxShowsWhenItLosesTheFocus)
{
    open(std::nullopt);
    flow.AttrStt_LostFocus("すべてのファイルをコピーする");
    EXPECT_EQ(module.copyOption, CopyOption::CopyEverything);
    flow.AttrStt_LostFocus("どれでもない");
    EXPECT_EQ(module.copyOption, CopyOption::CopyEverything) << "typed text naming no entry";
    EXPECT_FALSE(flow.state().RulesChanged);
}

TEST_F(RuleCommandsTest, SaveWritesCompleteRowsOrTellsWhyNot)
{
    open(std::nullopt);
    choose(RuleSide::Source, 0, "/data");
    expect({ notice(msg::NoValidRule) });
    flow.Hozon_Click();
    EXPECT_TRUE(flow.state().RulesChanged);
    EXPECT_FALSE(fs.exists(RuleFile));

    choose(RuleSide::Source, 4, "/data");
    choose(RuleSide::Destination, 4, "/backup");
    flow.Hozon_Click();
    EXPECT_FALSE(flow.state().RulesChanged);
    EXPECT_EQ(fs.fileData(RuleFile), "\"/data\",\"/backup\"\r\n");

    expect({ notice(msg::NothingChanged) });
    flow.Hozon_Click();
}

TEST_F(RuleCommandsTest, AFailedSaveKeepsTheOldFileTheEditsAndTheWindow)
{
    open("\"/a\",\"/b\"\r\n");
    choose(RuleSide::Source, 0, "/data");
    fs.injectFault(RuleFile, MemoryFileSystem::Operation::WriteFile, FsErrorKind::PermissionDenied);
    const std::string failed = std::string(msg::SaveFailed) + "\n" + RuleFile
        + "\n書き込みまたは読み取りが拒否されました";
    expect({ notice(failed) });
    flow.Hozon_Click();
    EXPECT_TRUE(flow.state().RulesChanged);
    EXPECT_EQ(fs.fileData(RuleFile), "\"/a\",\"/b\"\r\n");
    expect({ { msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes },
        notice(failed) });
    flow.Owari_Click();
    EXPECT_FALSE(window.closed) << "the quit command stays open when its save failed";
}

TEST_F(RuleCommandsTest, ReloadAsksFirstWhereEditsWouldBeLost)
{
    open("\"/a\",\"/b\"\r\n");
    choose(RuleSide::Source, 0, "/data");
    expect({ { msg::ReloadQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No } });
    flow.Yobikomi_Click();
    EXPECT_EQ(row(0).source, "/data");
    expect({ { msg::ReloadQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes } });
    flow.Yobikomi_Click();
    EXPECT_EQ(row(0).source, "/a");
    EXPECT_FALSE(flow.state().RulesChanged);

    fs.remove(RuleFile);
    expect({ { msg::ResetQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::No } });
    flow.Yobikomi_Click();
    EXPECT_EQ(row(0).source, "/a");
    expect({ { msg::ResetQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes } });
    flow.Yobikomi_Click();
    EXPECT_EQ(window.rules, CopyRuleTable {});
}

TEST_F(RuleCommandsTest, QuitAsksToSaveChangedRowsAndClosesUnlessToldToFixThem)
{
    struct Case
    {
        const char* what;
        std::function<void()> edit;
        std::vector<Question> messages;
        bool closes;
        std::string saved;
    };
    const Question saveYes { msg::SaveQuestion, MessageButtons::YesNoDefaultYes,
        MessageAnswer::Yes };
    const auto clearTheOnlyRow = [&] {
        messages.expect(msg::ClearQuestion, MessageButtons::YesNoDefaultNo, MessageAnswer::Yes);
        flow.Folder_MouseDown(RuleSide::Source, 0, MouseButton::Right);
    };
    const Case cases[] = {
        { "nothing changed", [] {}, {}, true, "\"/a\",\"/b\"\r\n" },
        { "changed, not saved", [&] { choose(RuleSide::Destination, 0, "/backup"); },
            { { msg::SaveQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::No } }, true,
            "\"/a\",\"/b\"\r\n" },
        { "changed, saved", [&] { choose(RuleSide::Destination, 0, "/backup"); }, { saveYes }, true,
            "\"/a\",\"/backup\"\r\n" },
        { "every row cleared, fix them", clearTheOnlyRow,
            { saveYes,
                { msg::FixRulesQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::Yes } },
            false, "\"/a\",\"/b\"\r\n" },
        { "every row cleared, close without saving", clearTheOnlyRow,
            { saveYes,
                { msg::FixRulesQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::No } },
            true, "\"/a\",\"/b\"\r\n" },
        // The quit command does not count a text of spaces as set; the save command would.
        { "a row of spaces only",
            [&] {
                fs.addFile(RuleFile, "\"   \",\"/b\"\r\n", {});
                flow.Form_Load();
                choose(RuleSide::Destination, 0, "/backup");
            },
            { saveYes,
                { msg::FixRulesQuestion, MessageButtons::YesNoDefaultYes, MessageAnswer::No } },
            true, "\"   \",\"/b\"\r\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open("\"/a\",\"/b\"\r\n");
        window.closed = false;
        c.edit();
        expect(c.messages);
        flow.Owari_Click();
        EXPECT_EQ(window.closed, c.closes);
        EXPECT_EQ(fs.fileData(RuleFile), c.saved);
        EXPECT_EQ(messages.surprises(), "");
    }
}
