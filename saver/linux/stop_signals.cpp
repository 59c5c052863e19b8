#include "linux/stop_signals.h"

namespace {
volatile sig_atomic_t caught = 0;
void OnStopSignal(int signal) { caught = signal; }
}  // namespace

StopSignals::StopSignals()
{
    sigemptyset(&stopSignals_);
    sigaddset(&stopSignals_, SIGTERM);
    sigaddset(&stopSignals_, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals_, &waitMask_);
    sigdelset(&waitMask_, SIGTERM);
    sigdelset(&waitMask_, SIGINT);
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopSignals::Caught() const { return caught != 0; }

void StopSignals::EndBySignal() const
{
    if (!caught) return;
    signal(caught, SIG_DFL);
    sigprocmask(SIG_UNBLOCK, &stopSignals_, nullptr);
    raise(caught);
}
