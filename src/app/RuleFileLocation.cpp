#include "RuleFileLocation.h"

#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "rules/RuleFile.h"

namespace rinvo {

std::string chooseRuleFile(const RuleFilePlaces& places)
{
    if (places.besideProgramExists || places.programFolderUsable || places.inUserSettings.empty())
        return places.besideProgram;
    return places.inUserSettings;
}

std::string ruleFileForThisProgram(FileSystem& fs)
{
    const std::string folder = programFolder();
    const std::string settings = userSettingsFolder();
    RuleFilePlaces places;
    places.besideProgram = ruleFilePath(folder, fs.pathStyle());
    places.inUserSettings
        = settings.empty() ? std::string() : ruleFilePath(settings, fs.pathStyle());
    places.besideProgramExists = fs.fileExists(places.besideProgram);
    // Only where no file is beside the program is the folder tried (on Windows by writing a probe).
    places.programFolderUsable = places.besideProgramExists
        || (!isSystemInstallFolder(folder) && userCanWriteFolder(folder));
    return chooseRuleFile(places);
}

} // namespace rinvo
