#include "sim/random.h"

namespace {
uint32_t runtimeState = 1;
RandomFunction boundDraw = RuntimeRandom;
}  // namespace

int Rand() { return boundDraw(); }

void BindRandom(RandomFunction draw) { boundDraw = draw ? draw : RuntimeRandom; }

void SeedRuntimeRandom(uint32_t seed) { runtimeState = seed; }

int RuntimeRandom()
{
    runtimeState = runtimeState * 214013u + 2531011u;
    return static_cast<int>((runtimeState >> 16) & 0x7FFF);
}
