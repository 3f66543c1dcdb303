#pragma once

#include "app/MainWindowFlow.h"
#include "fakes/MemoryFileSystem.h"
#include "fakes/RecordingWindow.h"
#include "fakes/ScriptedFolderBrowser.h"
#include "fakes/ScriptedMessageBox.h"
#include "platform/TextCodec.h"

#include <memory>

namespace rinvo::testing {

/// The main window's flow without a window: the in-memory file system, scripted dialogs and a
/// recording window, with the rule file at RuleFile.
struct FlowHarness
{
    static constexpr const char* RuleFile = "/opt/rinvo/copyrule.txt";
    static constexpr const char* LogFolder = "/home/user/.local/state/rinvo/logs";

    MainWindowServices services()
    {
        return { fs, messages, browser, *codec, RuleFile, module, LogFolder };
    }

    MemoryFileSystem fs;
    ScriptedMessageBox messages;
    ScriptedFolderBrowser browser;
    RinvoModule module;
    std::unique_ptr<TextCodec> codec = createCodec("UTF-8");
    RecordingWindow window;
    MainWindowFlow flow { services(), window };
};

} // namespace rinvo::testing
