#pragma once

#include "CopyRun.h"
#include "RuleEditing.h"
#include "SettingsCommands.h"
#include "platform/StopRequest.h"

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
};

/// What a toolkit's main window does for the flow: draw, run, open and close.
class MainWindowView
{
public:
    virtual ~MainWindowView() = default;
    /// Returns the rows as the rule boxes hold them: their texts are the rule table.
    virtual CopyRuleTable shownRules() = 0;
    /// Shows the rows in the rule boxes.
    virtual void showRules(const CopyRuleTable& rules) = 0;
    /// Runs the copy run while the window keeps painting and takes no input but its close
    /// request, showing each copied file's name and the run's progress in the caption; returns
    /// once the run has ended, which a stop request hastens.
    virtual CopyRunResult runCopy(
        const CopyRuleTable& rules, CopyOption option, const StopRequest& stop)
        = 0;
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

    const RuleWindowState& state() const { return m_state; }

private:
    void readRules() { m_state.rules = m_view.shownRules(); }

    MainWindowServices m_services;
    MainWindowView& m_view;
    SettingsCommands m_settings;
    RuleEditing m_editing;
    RuleWindowState m_state;
    bool m_copying = false;
    StopRequest m_stop;
};

} // namespace rinvo
