#pragma once

#include "RinvoModule.h"
#include "RuleWindowState.h"

#include <optional>
#include <string>
#include <vector>

namespace rinvo {

class FileSystem;
class FolderBrowser;
class MessageBoxService;
class TextCodec;

/// Which mouse button went down on a rule box.
enum class MouseButton { Left, Right, Other };

/// Editing the rule rows with the mouse: a click browses for a path, a right click offers to
/// clear the box; every change raises RulesChanged.
class RuleEditing
{
public:
    RuleEditing(FileSystem& fs, MessageBoxService& messages, FolderBrowser& browser,
        const TextCodec& codec, RinvoModule& module);

    void SFolder_Click(RuleWindowState& state, int index);
    void DFolder_Click(RuleWindowState& state, int index);
    /// SFolder_MouseDown and DFolder_MouseDown: the right button offers to clear the box.
    void Folder_MouseDown(RuleWindowState& state, RuleSide side, int index, MouseButton button);

    /// AttrStt_LostFocus: takes the value of the entry the box shows; text that names no entry
    /// leaves the copy option as it was.
    void AttrStt_LostFocus(const std::string& shownText);

private:
    std::optional<std::string> browse(const std::string& prompt, const std::string& startPath);

    FileSystem& m_fs;
    MessageBoxService& m_messages;
    FolderBrowser& m_browser;
    const TextCodec& m_codec;
    RinvoModule& m_module;
};

} // namespace rinvo
