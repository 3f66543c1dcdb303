#include "app/ForwardingFolderBrowser.h"
#include "app/RinvoModule.h"
#include "app/RuleFileLocation.h"
#include "cli/CommandLine.h"
#include "cli/ProgramCommandLine.h"
#include "platform/FileSystem.h"
#include "platform/OpenFileLimit.h"
#include "platform/ProgramFolder.h"
#include "platform/Terminal.h"
#include "platform/TextCodec.h"
#include "rules/RuleFile.h"
#include "ui/DesktopFolderBrowser.h"
#include "ui/Fonts.h"
#include "ui/ProgramIcon.h"
#include "ui/QtMessageBox.h"
#include "ui/QtTranslations.h"
#include "ui/RinvoMain.h"

#include <QApplication>

#include <clocale>
#include <string>
#include <vector>

namespace {

int runWindow(int argc, char** argv)
{
    // The window program's file is "rinvo-window"; the desktop entry and the window manager
    // know the program as "rinvo" (its window class).
    QApplication::setApplicationName(QStringLiteral("rinvo"));
    QApplication application(argc, argv);
    QApplication::setWindowIcon(rinvo::programIcon());
    rinvo::installQtTranslations();
    // The desktop entry's id, which Wayland compositors match the window with.
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.rinvo.Rinvo"));
    rinvo::registerFontSubstitutes();
    auto fs = rinvo::createNativeFileSystem();
    auto codec = rinvo::createSystemCodec();
    rinvo::QtMessageBox messages;
    rinvo::RinvoModule module;
    const std::string ruleFile = rinvo::ruleFileForThisProgram(*fs);
    rinvo::ForwardingFolderBrowser browser;
    rinvo::RinvoMain window({ *fs, messages, browser, *codec, ruleFile, module,
        rinvo::userLogFolder(), rinvo::userIndexFolder() });
    messages.setOwner(&window);
    browser.setTarget(rinvo::createDesktopFolderBrowser(&window));
    window.show();
    return application.exec();
}

} // namespace

int main(int argc, char** argv)
{
    // System error texts and the code page follow the user's locale.
    std::setlocale(LC_ALL, "");
    rinvo::raiseOpenFileLimit();
    const std::vector<std::string> args = rinvo::programArguments(argc, argv);
    if (rinvo::isCommandLineRequest(args))
        return rinvo::runProgramCommandLine(args);
    return runWindow(argc, argv);
}
