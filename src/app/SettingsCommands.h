#pragma once

#include "RinvoModule.h"
#include "RuleWindowState.h"
#include "WindowAfter.h"

#include <string>

namespace rinvo {

class FileSystem;
class MessageBoxService;
class TextCodec;

/// The settings side of the main window: start-up, save, reload and quit.
class SettingsCommands
{
public:
    SettingsCommands(FileSystem& fs, MessageBoxService& messages, const TextCodec& codec,
        std::string ruleFilePath);

    /// Clears RulesChanged, sets the default copy option and reads the rule file if it exists.
    void Form_Load(RuleWindowState& state, RinvoModule& module);
    /// Saves the rows when they changed and some row is set.
    void Hozon_Click(RuleWindowState& state);
    /// Reads the rule file again, asking first when the rows were edited.
    void Yobikomi_Click(RuleWindowState& state);
    /// Asks to save changed rows; tells whether the window closes.
    WindowAfter Owari_Click(RuleWindowState& state);

    /// Writes the rows to the rule file; a failure is told to the user and returns false.
    bool saveRules(const RuleWindowState& state);

private:
    bool loadRules(RuleWindowState& state);

    FileSystem& m_fs;
    MessageBoxService& m_messages;
    const TextCodec& m_codec;
    std::string m_ruleFilePath;
    // A rule file read in another character set than the system's is told about once.
    bool m_toldEncoding = false;
};

} // namespace rinvo
