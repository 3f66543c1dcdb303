#include "Terminal.h"

#include "WinSupport.h"

#include <cstdio>

#include <io.h>
#include <shellapi.h>

namespace rinvo {

bool isTerminal(StandardStream stream)
{
    return ::_isatty(::_fileno(stream == StandardStream::Output ? stdout : stderr)) != 0;
}

std::vector<std::string> programArguments(int, char**)
{
    // The narrow arguments are in the ANSI code page; the wide command line holds every name.
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i)
        arguments.push_back(win::narrow(wide[i]));
    if (wide)
        ::LocalFree(wide);
    return arguments;
}

void prepareConsoleOutput()
{
    ::SetConsoleOutputCP(CP_UTF8);
}

} // namespace rinvo
