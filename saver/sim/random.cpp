#include "sim/random.h"

namespace {
uint32_t runtimeState = 1;
RandomFunction boundDraw = static_cast<RandomFunction>(RuntimeRandom);
uint32_t* scopedState = nullptr;

int ScopedRandom() { return RuntimeRandom(*scopedState); }
}  // namespace

int Rand() { return boundDraw(); }

void BindRandom(RandomFunction draw) { boundDraw = draw ? draw : static_cast<RandomFunction>(RuntimeRandom); }

void SeedRuntimeRandom(uint32_t seed) { runtimeState = seed; }

int RuntimeRandom() { return RuntimeRandom(runtimeState); }

int RuntimeRandom(uint32_t& state)
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

RandomScope::RandomScope(uint32_t* state) : keptDraw_(boundDraw), keptState_(scopedState)
{
    if (!state) return;
    scopedState = state;
    boundDraw = ScopedRandom;
}

RandomScope::~RandomScope()
{
    boundDraw = keptDraw_;
    scopedState = keptState_;
}
