#include "ProgramCommandLine.h"

#include "CommandLine.h"
#include "RuleFileLocation.h"
#include "platform/FileSystem.h"
#include "platform/Terminal.h"
#include "platform/TextCodec.h"

#include <iostream>

namespace rinvo {

int runProgramCommandLine(const std::vector<std::string>& args)
{
    prepareConsoleOutput();
    auto fs = createNativeFileSystem();
    auto codec = createSystemCodec();
    const ProgressLine progress
        = isTerminal(StandardStream::Output) ? ProgressLine::Shown : ProgressLine::Hidden;
    const CommandLineContext context { *fs, *codec, ruleFileForThisProgram(*fs), std::cout,
        std::cerr, progress };
    return runCommandLine(args, context);
}

} // namespace rinvo
