// Shared pieces of the render tests: an application object for in-process
// windows, a message pump with a deadline, a millisecond clock, counts of
// what a leak would leave behind, and frames composed the plain way.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>

#include "sim/world.h"

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

// One frame composed the plain way, the measure of the view's own drawing: a
// fresh black back buffer of the target's size, every ball in play erased,
// every pin filled black and drawn, every ball in play drawn; last frame's
// sparks painted black on the target, every pin's bounds and each ball's old
// and new places (apart when it has wrapped, which is then cleared) copied,
// and the live sparks drawn white. The target's clip box starts at (0, 0).
void LiteralFrame(World& world, HDC target);

}  // namespace rt
