#include "ProgramCommandLine.h"

#include "CommandLine.h"
#include "app/RuleFileLocation.h"
#include "platform/FileSystem.h"
#include "platform/ProgramBeside.h"
#include "platform/ProgramFolder.h"
#include "platform/StopRequest.h"
#include "platform/StopSignals.h"
#include "platform/Terminal.h"
#include "platform/TextCodec.h"
#include "texts/Catalogue.h"

#include <iostream>

namespace rinvo {

int runProgramCommandLine(const std::vector<std::string>& args)
{
    prepareConsoleOutput();
    auto fs = createNativeFileSystem();
    auto codec = createSystemCodec();
    const ProgressLine progress
        = isTerminal(StandardStream::Output) ? ProgressLine::Shown : ProgressLine::Hidden;
    // Ctrl-C and SIGTERM stop after the file being copied, and the summary so far is printed.
    StopRequest stop;
    stopOnSignals(stop);
    const CommandLineContext context { *fs, *codec, ruleFileForThisProgram(*fs), std::cout,
        std::cerr, progress, &stop, userLogFolder(), userIndexFolder() };
    const int status = runCommandLine(args, context);
    if (status == ExitStopped && exitStatusOfStopSignal() != 0)
        return exitStatusOfStopSignal();
    return status;
}

int startWindowProgram(std::string_view name, const std::vector<std::string>& args)
{
    const std::string why = runProgramBeside(name, args);
    std::cerr << cli::ErrorPrefix << cli::windowProgramUnavailable(why) << "\n";
    return ExitWindowUnavailable;
}

} // namespace rinvo
