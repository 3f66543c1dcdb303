#pragma once

#include "app/RinvoModule.h"
#include "fakes/ScriptedFolderBrowser.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/FileSystem.h"
#include "platform/TextCodec.h"
#include "rules/RuleFile.h"
#include "support/TempFolder.h"
#include "ui/RinvoMain.h"

#include <memory>

namespace rinvo::testing {

/// Everything a main window needs, with the rule file in a temporary folder and scripted
/// message and browse dialogs.
struct WindowHarness
{
    TempFolder temp;
    std::unique_ptr<FileSystem> fs = createNativeFileSystem();
    std::unique_ptr<TextCodec> codec = createCodec("UTF-8");
    ScriptedMessageBox messages;
    ScriptedFolderBrowser browser;
    RinvoModule module;
    std::string ruleFile = ruleFilePath(temp.path(), PathStyle::Posix);
    std::string logFolder = temp / "logs";

    MainWindowServices services()
    {
        return { *fs, messages, browser, *codec, ruleFile, module, logFolder };
    }
};

} // namespace rinvo::testing
