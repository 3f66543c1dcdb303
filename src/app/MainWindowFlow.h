#pragma once

#include "RuleEditing.h"
#include "RunController.h"
#include "RunWindow.h"
#include "SettingsCommands.h"

#include <string>

namespace rinvo {

class FileSystem;
class FolderBrowser;
class MessageBoxService;
class TextCodec;

/// What the main window works with; tests hand in fakes.
struct MainWindowServices
{
    FileSystem& fs;
    MessageBoxService& messages;
    FolderBrowser& browser;
    const TextCodec& codec;
    std::string ruleFilePath;
    RinvoModule& module;
    /// Where the runs' logs go; empty when the system names no such folder.
    std::string logFolder;
    /// Where the rules' destination indexes are kept; empty for none.
    std::string indexFolder = {};
};

/// What a toolkit's main window does for the flow: draw the rules, show a run, open and close.
/// While a run goes on the window takes no input but its close request (running()).
class MainWindowView : public RunWindow
{
public:
    /// Returns the rows as the rule boxes hold them: their texts are the rule table.
    virtual CopyRuleTable shownRules() = 0;
    /// Shows the rows in the rule boxes.
    virtual void showRules(const CopyRuleTable& rules) = 0;
    /// Opens the help window, or brings the open one to the front.
    virtual void showHelp() = 0;
    /// Closes the main window.
    virtual void closeWindow() = 0;
};

/// The main window's behaviour, free of any toolkit: its commands, the rule boxes' clicks, the
/// copy-option box, and when the window closes.
class MainWindowFlow
{
public:
    MainWindowFlow(MainWindowServices services, MainWindowView& view);

    /// Loads the rules and shows them; the window is being made.
    void Form_Load();
    /// Starts the copy run on a helper thread; its end asks to save changed rules and closes
    /// the window.
    void GoCopy_Click();
    void Hozon_Click();
    void Yobikomi_Click();
    void Owari_Click();
    void Setumei_Click();
    void Folder_Click(RuleSide side, int index);
    void Folder_MouseDown(RuleSide side, int index, MouseButton button);
    void AttrStt_LostFocus(const std::string& shownText);
    /// The title bar's close box: closes at once, without a question; during a run it asks
    /// whether to stop the run instead, whose end then closes the window.
    WindowAfter closeRequested();
    /// Tells whether a copy run goes on, during which the window takes no other input.
    bool running() const { return m_run.running(); }

    const RuleWindowState& state() const { return m_state; }

private:
    void readRules() { m_state.rules = m_view.shownRules(); }
    void runEnded();

    MainWindowServices m_services;
    MainWindowView& m_view;
    SettingsCommands m_settings;
    RuleEditing m_editing;
    RuleWindowState m_state;
    // Last, so a run under way ends before the rest of the flow goes.
    RunController m_run;
};

} // namespace rinvo
