#include "StopSignals.h"

#include "StopRequest.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

namespace rinvo {

namespace {

StopRequest* g_stop = nullptr;
volatile std::sig_atomic_t g_signal = 0;

extern "C" void onStopSignal(int signal)
{
    if (g_signal != 0) {
        // A second request: end at once, as the signal would without this handler.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        return;
    }
    g_signal = signal;
    if (g_stop)
        g_stop->request();
}

} // namespace

void stopOnSignals(StopRequest& stop)
{
    g_stop = &stop;
    struct sigaction action
    { };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // NOTE: no SA_RESTART is needed: the copy looks at the request between its own calls.
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int exitStatusOfStopSignal()
{
    return g_signal == 0 ? 0 : 128 + g_signal;
}

} // namespace rinvo
