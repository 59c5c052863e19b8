// Shared pieces of the render tests: an application object for in-process
// windows, a message pump with a deadline, a millisecond clock, and counts of
// what a leak would leave behind.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

namespace rt {

// Retrieves and dispatches messages (sent ones included) until cond holds or
// timeoutMs has passed. True when cond held.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs);
// Pumps for the whole time given.
void PumpFor(DWORD ms);
// Whether a pump retrieved a quit message since the last call, and its code.
bool TakeQuit(WPARAM* code);

// Milliseconds from a high-resolution counter.
double NowMs();

// Threads of this process.
int ThreadCount();
// Busy blocks in all heaps of this process.
long HeapBlockCount();
// Open handles of this process (where the system does not tell, the slot
// that a new handle would take), or -1.
long HandleCount();

}  // namespace rt
