// Spark bursts thrown at contacts, kept in a fixed ring that never grows
// during a scene: when it is full, a contact throws no sparks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Spark {
    int32_t x = 0, y = 0;
    int32_t prevX = 0, prevY = 0;
    int32_t vx = 0, vy = 0;
    int32_t life = 0;  // only the first spark of a burst counts down
};

class SparkRing {
public:
    void Init(int32_t capacity, int32_t perBurst);
    void Clear();
    int32_t Allocate();                 // slot of a new burst, or -1 when full
    void Update();                      // ages and moves every live burst
    void Spawn(int32_t px, int32_t py); // a burst at a contact point, if a slot is free

    // Live bursts are the slots head .. tail - 1, wrapping at capacity.
    template <class F> void ForEachLive(F&& visit) const;

    std::vector<std::vector<Spark>> bursts;  // capacity slots of perBurst sparks
    int32_t perBurst = 0;
    int32_t capacity = 0;
    int32_t head = 0;
    int32_t tail = 0;
};

template <class F> void SparkRing::ForEachLive(F&& visit) const
{
    if (head > tail) {
        for (int32_t i = head; i < capacity; ++i) visit(i, bursts[i]);
        for (int32_t i = 0; i < tail; ++i) visit(i, bursts[i]);
    } else {
        for (int32_t i = head; i < tail; ++i) visit(i, bursts[i]);
    }
}
