// The one source of random numbers of the simulation.
//
// Every draw goes through Rand(), which returns 0 to 32767 like the C
// runtime's rand(). The Windows program binds it to the runtime's rand();
// everything else uses RuntimeRandom, a generator that reproduces the
// Windows runtime's sequence exactly, so a seed builds the same scene on
// every platform.
#pragma once
#include <cstdint>

using RandomFunction = int (*)();

int Rand();
void BindRandom(RandomFunction draw);  // nullptr restores RuntimeRandom

// The Windows runtime's generator: state = state * 214013 + 2531011 (mod 2^32),
// result = (state >> 16) & 0x7FFF.
void SeedRuntimeRandom(uint32_t seed);
int RuntimeRandom();
int RuntimeRandom(uint32_t& state);  // over a state of the caller's

// While it lives, Rand() draws from a sequence of the caller's own, the
// runtime's generator over *state, and the bound sequence waits untouched; a
// null state changes nothing. For a world beside others, whose draws must not
// depend on theirs.
class RandomScope {
public:
    explicit RandomScope(uint32_t* state);
    ~RandomScope();
    RandomScope(const RandomScope&) = delete;
    RandomScope& operator=(const RandomScope&) = delete;

private:
    RandomFunction keptDraw_;
    uint32_t* keptState_;
};
