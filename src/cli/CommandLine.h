#pragma once

#include "ProgressPrinter.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace rinvo {

class FileSystem;
class StopRequest;
class TextCodec;

/// Exit statuses of the command line.
enum ExitStatus : int {
    ExitSuccess = 0,
    ExitNotEverythingCopied = 1,
    ExitBadArguments = 2,
    /// Stopped by Ctrl-C (SIGINT); a stop by SIGTERM exits with 143, as shells expect.
    ExitStopped = 130,
    /// The window program beside the command line could not be started, as a shell tells a
    /// program it cannot find.
    ExitWindowUnavailable = 127,
};

/// What the command line works with.
struct CommandLineContext
{
    FileSystem& fs;
    /// The code page of the rule file.
    const TextCodec& codec;
    /// The rule file beside the program, used unless --rules names another.
    std::string ruleFile;
    std::ostream& out;
    std::ostream& err;
    ProgressLine progressLine = ProgressLine::Hidden;
    /// Set by Ctrl-C or SIGTERM; the copy stops after the file being copied.
    const StopRequest* stop = nullptr;
    /// Where each run writes its log; empty for none.
    std::string logFolder = {};
    /// Where the rules' destination indexes are kept; empty for none.
    std::string indexFolder = {};
};

/// Tells whether the arguments (without the program name) ask for a command-line mode rather
/// than the window: a command name, or a request for the usage.
bool isCommandLineRequest(const std::vector<std::string>& args);

/// Runs a command-line mode:
///   copy SOURCE DESTINATION [--option 1|2|3] [--list] [--dry-run]          one rule
///   run [--rules FILE] [--option 1|2|3] [--create-missing] [--list] [--dry-run]   every rule
/// Writes the summary to 'out' and problems, each row's messages among them, to 'err'; a run
/// that writes also writes its log. Returns the exit status.
int runCommandLine(const std::vector<std::string>& args, const CommandLineContext& context);

} // namespace rinvo
