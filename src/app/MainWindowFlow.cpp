#include "MainWindowFlow.h"

#include "MessageBoxService.h"
#include "texts/Catalogue.h"

namespace rinvo {

MainWindowFlow::MainWindowFlow(MainWindowServices services, MainWindowView& view)
    : m_services(services)
    , m_view(view)
    , m_settings(services.fs, services.messages, services.codec, services.ruleFilePath)
    , m_editing(services.fs, services.messages, services.browser, services.codec, services.module)
{ }

void MainWindowFlow::Form_Load()
{
    m_settings.Form_Load(m_state, m_services.module);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::GoCopy_Click()
{
    readRules();
    m_stop.reset();
    m_copying = true;
    m_view.runCopy(m_state.rules, m_services.module.copyOption, m_stop);
    m_copying = false;
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
    readRules();
    m_settings.Hozon_Click(m_state);
}

void MainWindowFlow::Yobikomi_Click()
{
    readRules();
    m_settings.Yobikomi_Click(m_state);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::Owari_Click()
{
    readRules();
    if (m_settings.Owari_Click(m_state) == WindowAfter::Closes)
        m_view.closeWindow();
}

void MainWindowFlow::Setumei_Click()
{
    m_view.showHelp();
}

void MainWindowFlow::Folder_Click(RuleSide side, int index)
{
    readRules();
    if (side == RuleSide::Source)
        m_editing.SFolder_Click(m_state, index);
    else
        m_editing.DFolder_Click(m_state, index);
    m_view.showRules(m_state.rules);
}

void MainWindowFlow::Folder_MouseDown(RuleSide side, int index, MouseButton button)
{
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
    if (!m_copying)
        return WindowAfter::Closes;
    // NOTE: Yes stops the run after the file being copied; the run's end then tells the outcome,
    // asks to save changed rules and closes the window, as every run does.
    if (m_services.messages.show(messages::StopQuestion, MessageButtons::YesNoDefaultNo)
        == MessageAnswer::Yes)
        m_stop.request();
    return WindowAfter::StaysOpen;
}

} // namespace rinvo
