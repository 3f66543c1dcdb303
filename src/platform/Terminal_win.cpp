#include "Terminal.h"

#include "WinSupport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>

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

namespace {

// The console's output code page as the program found it; 0 without a console.
std::atomic<UINT> g_outputCodePage { 0 };

} // namespace

void prepareConsoleOutput()
{
    // NOTE: the code page belongs to the console, which the user's shell goes on using after
    // the program: it is given back on every way out (see restoreConsoleCodePages). The input
    // code page is never changed, so another program's change to it stays.
    static std::once_flag prepared;
    std::call_once(prepared, [] {
        const UINT output = ::GetConsoleOutputCP();
        if (output == 0)
            return;
        g_outputCodePage = output;
        std::atexit(restoreConsoleCodePages);
        std::set_terminate([] {
            restoreConsoleCodePages();
            std::abort();
        });
        ::SetConsoleOutputCP(CP_UTF8);
    });
}

void restoreConsoleCodePages()
{
    if (const UINT output = g_outputCodePage.exchange(0))
        ::SetConsoleOutputCP(output);
}

} // namespace rinvo
