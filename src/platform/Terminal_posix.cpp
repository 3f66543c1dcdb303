#include "Terminal.h"

#include <unistd.h>

namespace rinvo {

bool isTerminal(StandardStream stream)
{
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

void prepareConsoleOutput()
{ }

void restoreConsoleCodePages()
{ }

} // namespace rinvo
