// The Windows program: the windows drawn with Win32; with arguments, the command line.

#include "app/ProgramCommandLine.h"
#include "app/RinvoModule.h"
#include "app/RuleFileLocation.h"
#include "platform/FileSystem.h"
#include "platform/OpenFileLimit.h"
#include "platform/ProgramFolder.h"
#include "platform/ShellFolderBrowser.h"
#include "platform/Terminal.h"
#include "platform/TextCodec.h"
#include "rules/RuleFile.h"
#include "win32/Application.h"
#include "win32/Win32MessageBox.h"

#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

namespace {

// The dialog's owner is the main window, made after the services: the window asks through
// this forwarder.
class ForwardingBrowser final : public rinvo::FolderBrowser
{
public:
    std::unique_ptr<rinvo::FolderBrowser> target;
    std::string BrowseForFolder(std::string_view prompt, std::string_view startPath) override
    {
        return target ? target->BrowseForFolder(prompt, startPath) : std::string();
    }
};

} // namespace

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
    ForwardingBrowser browser;
    const std::string ruleFile = rinvo::ruleFileForThisProgram(*fs);
    rinvo::win32::Application application({ *fs, messages, browser, *codec, ruleFile, module });
    const HWND main = application.mainWindow().handle();
    messages.setOwner(main);
    browser.target = rinvo::createShellFolderBrowser(reinterpret_cast<std::uintptr_t>(main));
    const int exitCode = application.run();
    ::CoUninitialize();
    return exitCode;
}
