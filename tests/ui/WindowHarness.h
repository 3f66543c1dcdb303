#pragma once

#include "app/RinvoModule.h"
#include "fakes/MemoryFileSystem.h"
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

    MainWindowServices services() { return servicesOn(*fs); }

    /// The same services on another file system, such as the in-memory one.
    MainWindowServices servicesOn(FileSystem& other)
    {
        return { other, messages, browser, *codec, ruleFile, module, logFolder };
    }

    /// Gives the in-memory file system one rule, "/src" into "/dst", whose source holds the file
    /// "a"; the destination exists.
    void addOneFileRule(MemoryFileSystem& memory) const
    {
        memory.addFile(ruleFile, "\"/src\",\"/dst\"\r\n", {});
        memory.addFile("/src/a", "a", { 1'700'000'000, 0 });
        memory.addFolder("/dst");
    }
};

} // namespace rinvo::testing
