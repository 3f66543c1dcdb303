#include "RuleEditing.h"

#include "FolderBrowser.h"
#include "MessageBoxService.h"
#include "forms/FormLayout.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "rules/RuleFile.h"
#include "texts/Catalogue.h"

#include <cassert>

namespace rinvo {

namespace {

CopyRule& row(RuleWindowState& state, int index)
{
    assert(index >= 0 && static_cast<std::size_t>(index) < MaxRules && "rule row out of range");
    return state.rules[static_cast<std::size_t>(index)];
}

} // namespace

RuleEditing::RuleEditing(FileSystem& fs, MessageBoxService& messages, FolderBrowser& browser,
    const TextCodec& codec, RinvoModule& module)
    : m_fs(fs)
    , m_messages(messages)
    , m_browser(browser)
    , m_codec(codec)
    , m_module(module)
{ }

std::optional<std::string> RuleEditing::browse(
    const std::string& prompt, const std::string& startPath)
{
    m_module.BrowseStartPath = startPath;
    m_module.SelectedFolder = m_browser.BrowseForFolder(prompt, startPath);
    if (m_module.SelectedFolder.empty())
        return std::nullopt;
    // NOTE: the rule file has no escaping; a path it cannot hold would come back as another
    // path and the backup would go somewhere else, so it is refused here.
    if (auto reason = whyRuleFileCannotHold(m_module.SelectedFolder, m_codec)) {
        m_messages.show(std::string(messages::PathNotStorable) + "\n" + m_module.SelectedFolder
                + "\n" + *reason,
            MessageButtons::Ok);
        return std::nullopt;
    }
    return m_module.SelectedFolder;
}

void RuleEditing::SFolder_Click(RuleWindowState& state, int index)
{
    CopyRule& rule = row(state, index);
    const std::optional<std::string> chosen = browse(texts::SourcePrompt, rule.source);
    if (!chosen)
        return;
    const PathStyle style = m_fs.pathStyle();
    // The folder test comes first: a source at a drive's root keeps its separator.
    if (m_fs.folderExists(*chosen) || m_fs.driveExists(*chosen) || m_fs.fileExists(*chosen)) {
        rule.source = normalizedPath(*chosen, style);
        state.RulesChanged = true;
        return;
    }
    m_messages.show(messages::InvalidChoice, MessageButtons::Ok);
}

void RuleEditing::DFolder_Click(RuleWindowState& state, int index)
{
    CopyRule& rule = row(state, index);
    const std::optional<std::string> chosen = browse(texts::DestinationPrompt, rule.destination);
    if (!chosen)
        return;
    // The drive test comes first: a destination at a drive's root takes the drive's own form,
    // which on POSIX is the mount point's path, as for a source.
    const PathStyle style = m_fs.pathStyle();
    if (m_fs.driveExists(*chosen)) {
        // "C:\" is held as "C:"; the POSIX root keeps its one separator.
        rule.destination = trimTrailingSeparator(normalizedPath(*chosen, style), style);
        state.RulesChanged = true;
        return;
    }
    if (m_fs.folderExists(*chosen)) {
        rule.destination = normalizedPath(*chosen, style);
        state.RulesChanged = true;
        return;
    }
    m_messages.show(messages::DestinationIsFile, MessageButtons::Ok);
}

void RuleEditing::Folder_MouseDown(
    RuleWindowState& state, RuleSide side, int index, MouseButton button)
{
    CopyRule& rule = row(state, index);
    std::string& text = side == RuleSide::Source ? rule.source : rule.destination;
    if (text.empty() || button != MouseButton::Right)
        return;
    if (m_messages.show(messages::ClearQuestion, MessageButtons::YesNoDefaultNo)
        != MessageAnswer::Yes)
        return;
    text.clear();
    state.RulesChanged = true;
}

void RuleEditing::AttrStt_LostFocus(const std::string& shownText)
{
    for (const forms::CopyOptionEntry& entry : forms::copyOptionEntries()) {
        if (entry.text == shownText) {
            m_module.copyOption = entry.value;
            return;
        }
    }
}

} // namespace rinvo
