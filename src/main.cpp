#include "app/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto fs = rinvo::createNativeFileSystem();
    const auto progress = rinvo::isTerminal(rinvo::StandardStream::Output)
        ? rinvo::ProgressLine::Shown
        : rinvo::ProgressLine::Hidden;
    return rinvo::runCommandLine(args, *fs, std::cout, std::cerr, progress);
}
