// The Windows program: the windows drawn with Win32; with arguments, the command line.

#include "app/ForwardingFolderBrowser.h"
#include "app/RinvoModule.h"
#include "app/RuleFileLocation.h"
#include "cli/ProgramCommandLine.h"
#include "platform/FileSystem.h"
#include "platform/OpenFileLimit.h"
#include "platform/ProgramFolder.h"
#include "platform/Terminal.h"
#include "platform/TextCodec.h"
#include "rules/RuleFile.h"
#include "win32/Application.h"
#include "win32/ShellFolderBrowser.h"
#include "win32/Win32MessageBox.h"

#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    rinvo::raiseOpenFileLimit();
    const std::vector<std::string> args = rinvo::programArguments(argc, argv);
    if (!args.empty())
        return rinvo::runProgramCommandLine(args);

    // The shell's folder dialog in its newer style needs OLE on the window's thread.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls {};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&controls);

    auto fs = rinvo::createNativeFileSystem();
    auto codec = rinvo::createSystemCodec();
    rinvo::win32::Win32MessageBox messages;
    rinvo::RinvoModule module;
    rinvo::ForwardingFolderBrowser browser;
    const std::string ruleFile = rinvo::ruleFileForThisProgram(*fs);
    int exitCode = 0;
    {
        // The windows release their COM objects as they go, before OLE is shut down.
        rinvo::win32::Application application({ *fs, messages, browser, *codec, ruleFile, module,
            rinvo::userLogFolder(), rinvo::userIndexFolder() });
        const HWND main = application.mainWindow().handle();
        messages.setOwner(main);
        browser.setTarget(rinvo::win32::createShellFolderBrowser(main));
        exitCode = application.run();
    }
    ::CoUninitialize();
    return exitCode;
}
