#pragma once

#include <string>
#include <vector>

namespace rinvo {

/// Runs the command line with the real file system, the system's code page and the rule file
/// beside the program, on the standard streams; returns the exit status.
int runProgramCommandLine(const std::vector<std::string>& args);

} // namespace rinvo
