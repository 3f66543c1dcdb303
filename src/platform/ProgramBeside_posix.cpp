#include "ProgramBeside.h"

#include "PathRules.h"
#include "ProgramFolder.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace rinvo {

std::string runProgramBeside(std::string_view name, const std::vector<std::string>& args)
{
    const std::string path = joinPath(programFolder(), name, PathStyle::Posix);
    std::vector<char*> argv { const_cast<char*>(path.c_str()) };
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(path.c_str(), argv.data());
    return path + ": " + std::strerror(errno);
}

} // namespace rinvo
