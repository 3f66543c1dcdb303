#include "SettingsCommands.h"

#include "FolderPath.h"
#include "platform/PathRules.h"

#include "MessageBoxService.h"
#include "platform/FileSystem.h"
#include "rules/RuleFile.h"
#include "texts/Catalogue.h"

#include <algorithm>

namespace rinvo {

SettingsCommands::SettingsCommands(
    FileSystem& fs, MessageBoxService& messages, const TextCodec& codec, std::string ruleFilePath)
    : m_fs(fs)
    , m_messages(messages)
    , m_codec(codec)
    , m_ruleFilePath(std::move(ruleFilePath))
{ }

void SettingsCommands::Form_Load(RuleWindowState& state, RinvoModule& module)
{
    state.RulesChanged = false;
    module.copyOption = DefaultCopyOption;
    if (m_fs.fileExists(m_ruleFilePath))
        loadRules(state);
}

bool SettingsCommands::loadRules(RuleWindowState& state)
{
    RuleFileEncoding readAs = RuleFileEncoding::SystemCodePage;
    FsResult<CopyRuleTable> loaded = LoadRuleFile(m_fs, m_ruleFilePath, m_codec, &readAs);
    if (!loaded) {
        // The rows stay as they were; the user learns why the file was not taken.
        m_messages.show(std::string(messages::LoadFailed) + "\n" + m_ruleFilePath + "\n"
                + describeError(loaded.error()),
            MessageButtons::Ok);
        return false;
    }
    state.rules = *loaded;
    // NOTE: a file written in UTF-8 by an editor, or in Shift-JIS on another machine, is read as
    // what it is; the user learns once that saving writes the system's code page.
    if (const auto notice = describeRuleFileEncoding(readAs, m_codec); notice && !m_toldEncoding) {
        m_toldEncoding = true;
        m_messages.show(*notice, MessageButtons::Ok);
    }
    return true;
}

bool SettingsCommands::saveRules(const RuleWindowState& state)
{
    // The user's settings folder may not exist yet; the folder beside the program always does.
    FsStatus failed = createFolderPath(m_fs, parentPath(m_ruleFilePath, m_fs.pathStyle()));
    if (!failed)
        failed = SaveRuleFile(m_fs, m_ruleFilePath, state.rules, m_codec);
    if (failed) {
        m_messages.show(std::string(messages::SaveFailed) + "\n" + m_ruleFilePath + "\n"
                + describeError(*failed),
            MessageButtons::Ok);
        return false;
    }
    return true;
}

void SettingsCommands::Hozon_Click(RuleWindowState& state)
{
    if (!state.RulesChanged) {
        m_messages.show(messages::NothingChanged, MessageButtons::Ok);
        return;
    }
    if (std::none_of(state.rules.begin(), state.rules.end(), isCompleteAsTyped)) {
        m_messages.show(messages::NoValidRule, MessageButtons::Ok);
        return;
    }
    // NOTE: a failed save keeps RulesChanged, so the edits are still protected by the questions.
    if (saveRules(state))
        state.RulesChanged = false;
}

void SettingsCommands::Yobikomi_Click(RuleWindowState& state)
{
    if (state.RulesChanged
        && m_messages.show(messages::ReloadQuestion, MessageButtons::YesNoDefaultNo)
            != MessageAnswer::Yes)
        return;
    if (m_fs.fileExists(m_ruleFilePath)) {
        if (loadRules(state))
            state.RulesChanged = false;
        return;
    }
    if (m_messages.show(messages::ResetQuestion, MessageButtons::YesNoDefaultNo)
        != MessageAnswer::Yes)
        return;
    state.rules = {};
    state.RulesChanged = false;
}

WindowAfter SettingsCommands::Owari_Click(RuleWindowState& state)
{
    if (!state.RulesChanged)
        return WindowAfter::Closes;
    if (m_messages.show(messages::SaveQuestion, MessageButtons::YesNoDefaultYes)
        != MessageAnswer::Yes)
        return WindowAfter::Closes;
    if (std::any_of(state.rules.begin(), state.rules.end(), isCompleteAfterTrimming))
        return saveRules(state) ? WindowAfter::Closes : WindowAfter::StaysOpen;
    if (m_messages.show(messages::FixRulesQuestion, MessageButtons::YesNoDefaultYes)
        == MessageAnswer::Yes)
        return WindowAfter::StaysOpen;
    return WindowAfter::Closes;
}

} // namespace rinvo
