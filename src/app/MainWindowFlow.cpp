#include "MainWindowFlow.h"

#include "MessageBoxService.h"
#include "texts/Catalogue.h"

namespace rinvo {

MainWindowFlow::MainWindowFlow(MainWindowServices services, MainWindowView& view)
    : m_services(services)
    , m_view(view)
    , m_settings(services.fs, services.messages, services.codec, services.ruleFilePath)
    , m_editing(services.fs, services.messages, services.browser, services.codec, services.module)
    , m_run(services.fs, services.messages, view, services.logFolder, services.indexFolder)
{ }

void MainWindowFlow::Form_Load()
{
    m_settings.Form_Load(m_state, m_services.module);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::GoCopy_Click()
{
    if (running())
        return;
    readRules();
    m_run.start(
        m_state.rules, m_services.module.copyOption, [this](const CopyRunResult&) { runEnded(); });
}

void MainWindowFlow::runEnded()
{
    // The save question runs without the row test that the quit command makes.
    if (m_state.RulesChanged
        && m_services.messages.show(messages::SaveQuestion, MessageButtons::YesNoDefaultYes)
            == MessageAnswer::Yes
        && !m_settings.saveRules(m_state))
        return; // NOTE: a failed save keeps the window open, so the edits are not lost.
    m_view.closeWindow();
}

void MainWindowFlow::Hozon_Click()
{
    // A run takes no other command; its end closes the window.
    if (running())
        return;
    readRules();
    m_settings.Hozon_Click(m_state);
}

void MainWindowFlow::Yobikomi_Click()
{
    if (running())
        return;
    readRules();
    m_settings.Yobikomi_Click(m_state);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::Owari_Click()
{
    if (running())
        return;
    readRules();
    if (m_settings.Owari_Click(m_state) == WindowAfter::Closes)
        m_view.closeWindow();
}

void MainWindowFlow::Setumei_Click()
{
    if (running())
        return;
    m_view.showHelp();
}

void MainWindowFlow::Folder_Click(RuleSide side, int index)
{
    if (running())
        return;
    readRules();
    if (side == RuleSide::Source)
        m_editing.SFolder_Click(m_state, index);
    else
        m_editing.DFolder_Click(m_state, index);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::Folder_MouseDown(RuleSide side, int index, MouseButton button)
{
    if (running())
        return;
    readRules();
    m_editing.Folder_MouseDown(m_state, side, index, button);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::AttrStt_LostFocus(const std::string& shownText)
{
    m_editing.AttrStt_LostFocus(shownText);
}

WindowAfter MainWindowFlow::closeRequested()
{
    return m_run.closeRequested();
}

} // namespace rinvo
