#pragma once

#include "copy/CopyOption.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace rinvo {

/// The arguments of a command-line mode, parsed.
struct CommandLineArguments
{
    std::string command;
    std::vector<std::string> paths;
    CopyOption option = DefaultCopyOption;
    std::optional<std::string> rulesFile;
    bool createMissing = false;
    bool dryRun = false;
    /// --list: every copied file on standard output and in the log.
    bool list = false;
    /// --full-check: every destination folder listed, whatever the index holds.
    bool fullCheck = false;
    /// --help (or -h), alone or after a command: the usage, nothing else.
    bool help = false;
    /// --version (or -V): the version, nothing else.
    bool version = false;
};

/// Parses "COMMAND [paths] [options]", options as "--option 2" or "--option=2", "--" ending
/// them; tells what is wrong on 'err' (each line begins "rinvo: ") and returns nothing for an
/// unknown command or option, an option the command does not take, or a malformed value.
std::optional<CommandLineArguments> parseCommandLine(
    const std::vector<std::string>& args, std::ostream& err);

/// The usage text of every mode.
extern const char* const CommandLineUsage;

} // namespace rinvo
