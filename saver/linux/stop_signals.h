// SIGTERM and SIGINT end the Linux programs. They are let through only while a
// program waits for its next event or frame (ppoll with WaitMask), so that no
// call to the display server is cut short and no signal is missed.
#pragma once
#include <csignal>

class StopSignals {
public:
    StopSignals();  // blocks both and catches them from here on

    const sigset_t& WaitMask() const { return waitMask_; }
    bool Caught() const;
    // Ends the program by the caught signal, if any, so that whoever sent it
    // sees that it did.
    void EndBySignal() const;

private:
    sigset_t stopSignals_, waitMask_;
};
