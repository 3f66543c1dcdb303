// The command line: on Windows the console companion "rinvo.com" of the window program
// "rinvo.exe", which cmd.exe runs first when "rinvo" is typed; elsewhere the program "rinvo",
// which starts the window program beside it when given no arguments.

#include "cli/CommandLine.h"
#include "cli/ProgramCommandLine.h"
#include "platform/OpenFileLimit.h"
#include "platform/Terminal.h"

#include <clocale>
#include <string_view>

int main(int argc, char** argv)
{
    // System error texts and the code page follow the user's locale.
    std::setlocale(LC_ALL, "");
    rinvo::raiseOpenFileLimit();
    const std::vector<std::string> args = rinvo::programArguments(argc, argv);
    // NOTE: the window lives in a program of its own, so that a backup from the command line
    // (a timer, cron) never loads the window's libraries; empty where there is none to start.
    constexpr std::string_view WindowProgram = RINVO_WINDOW_PROGRAM;
    if (!WindowProgram.empty() && !rinvo::isCommandLineRequest(args))
        return rinvo::startWindowProgram(WindowProgram, args);
    return rinvo::runProgramCommandLine(args);
}
