#include "app/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"
#include "ui/Fonts.h"
#include "ui/RinvoMain.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

namespace {

int runCommandLine(const std::vector<std::string>& args)
{
    auto fs = rinvo::createNativeFileSystem();
    const auto progress = rinvo::isTerminal(rinvo::StandardStream::Output) ? rinvo::ProgressLine::Shown
                                                                           : rinvo::ProgressLine::Hidden;
    return rinvo::runCommandLine(args, *fs, std::cout, std::cerr, progress);
}

int runWindow(int argc, char** argv)
{
    QApplication application(argc, argv);
    rinvo::registerFontSubstitutes();
    rinvo::RinvoMain window;
    window.show();
    return application.exec();
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (rinvo::isCommandLineRequest(args))
        return runCommandLine(args);
    return runWindow(argc, argv);
}
