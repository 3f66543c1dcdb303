#pragma once

#include <string>

namespace rinvo {

class FileSystem;

/// What decides where the rule file lives.
struct RuleFilePlaces
{
    /// "copyrule.txt" beside the program.
    std::string besideProgram;
    /// "copyrule.txt" in the user's settings folder; empty when the system names none.
    std::string inUserSettings;
    /// The file beside the program exists.
    bool besideProgramExists = false;
    /// The user can write the program's folder, and it is not the system's own installation.
    bool programFolderUsable = true;
};

/// Returns the rule file the program uses: an existing one beside the program always; else one
/// beside the program where the user can write its folder; else the one in the user's
/// settings folder, so an installed program keeps its rules.
std::string chooseRuleFile(const RuleFilePlaces& places);

/// Gathers the places for this program and user from the system and chooses among them.
std::string ruleFileForThisProgram(FileSystem& fs);

} // namespace rinvo
