#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

/// Runs the command line with the real file system, the system's code page and the rule file
/// beside the program, on the standard streams; returns the exit status.
int runProgramCommandLine(const std::vector<std::string>& args);

/// Starts the window program of that name beside this one in its place; returns only when it
/// cannot, after saying why on standard error, with status 127.
int startWindowProgram(std::string_view name, const std::vector<std::string>& args);

} // namespace rinvo
