#include "ProgramBeside.h"

namespace rinvo {

std::string runProgramBeside(std::string_view name, const std::vector<std::string>&)
{
    // NOTE: the Windows window program, rinvo.exe, is started on its own; its console companion
    // rinvo.com is built with no window program to start, so nothing calls this there.
    return std::string(name) + ": not started from the console companion";
}

} // namespace rinvo
