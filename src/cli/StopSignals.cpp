#include "cli/StopSignals.h"

namespace {
volatile std::sig_atomic_t stopRequested = 0;
void onStopSignal(int) { stopRequested = 1; }
constexpr int Signals[3] = {SIGINT, SIGTERM, SIGHUP};
}  // namespace

StopSignals::StopSignals()
{
    stopRequested = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) ::sigaction(Signals[i], &action, &previous_[i]);
}

StopSignals::~StopSignals()
{
    for (int i = 0; i < 3; ++i) ::sigaction(Signals[i], &previous_[i], nullptr);
}

bool StopSignals::requested() { return stopRequested != 0; }

bool StopSignals::take()
{
    const bool was = stopRequested != 0;
    stopRequested = 0;
    return was;
}
