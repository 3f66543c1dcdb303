#include "StopSignals.h"

#include "StopRequest.h"
#include "Terminal.h"

#include <atomic>

#include <windows.h>

namespace rinvo {

namespace {

StopRequest* g_stop = nullptr;
std::atomic<int> g_events { 0 };

BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        // The console is closing or the user logging off: the system ends the program next.
        restoreConsoleCodePages();
        return FALSE;
    }
    // A second Ctrl+C ends at once, with the status a shell gives a Ctrl-C.
    if (g_events.fetch_add(1) > 0) {
        restoreConsoleCodePages();
        ::ExitProcess(130);
    }
    if (g_stop)
        g_stop->request();
    return TRUE;
}

} // namespace

void stopOnSignals(StopRequest& stop)
{
    g_stop = &stop;
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

int exitStatusOfStopSignal()
{
    // Ctrl+C and Ctrl+Break both end as a shell's Ctrl-C does.
    return g_events.load() > 0 ? 130 : 0;
}

} // namespace rinvo
