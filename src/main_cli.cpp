// The command line alone: on Windows the console companion "rinvo.com" of the window program
// "rinvo.exe", which cmd.exe runs first when "rinvo" is typed; elsewhere the program of builds
// without the windows.

#include "cli/ProgramCommandLine.h"
#include "platform/OpenFileLimit.h"

#include "platform/Terminal.h"
#include <clocale>

int main(int argc, char** argv)
{
    // System error texts and the code page follow the user's locale.
    std::setlocale(LC_ALL, "");
    rinvo::raiseOpenFileLimit();
    return rinvo::runProgramCommandLine(rinvo::programArguments(argc, argv));
}
