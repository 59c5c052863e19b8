#include "sim/sparks.h"

#include "sim/random.h"

namespace {

constexpr int32_t kSparkLife = 4;

// Spark positions step in whole pixels; a contact point near the end of the
// int range must wrap rather than overflow.
int32_t WrappingAdd(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

void SparkRing::Init(int32_t newCapacity, int32_t newPerBurst)
{
    capacity = newCapacity > 0 ? newCapacity : 0;
    perBurst = newPerBurst > 0 ? newPerBurst : 0;
    bursts.assign(std::size_t(capacity), std::vector<Spark>(std::size_t(perBurst)));
    head = tail = 0;
}

void SparkRing::Clear()
{
    bursts.clear();
    bursts.shrink_to_fit();
    capacity = perBurst = 0;
    head = tail = 0;
}

// One slot always stays free, so head == tail can only mean "none live".
int32_t SparkRing::Allocate()
{
    if (capacity <= 0) return -1;
    if (tail < capacity - 1) {
        if (tail == head - 1) return -1;
        return tail++;
    }
    if (head <= 0) return -1;
    tail = 0;
    return capacity - 1;
}

void SparkRing::Update()
{
    if (perBurst <= 0) return;
    auto age = [this](int32_t slot) {
        std::vector<Spark>& burst = bursts[std::size_t(slot)];
        // Bursts are created in ring order and all live equally long, so the
        // one that expires is always the one at head.
        if (--burst[0].life == 0) head = head + 1 == capacity ? 0 : head + 1;
        for (Spark& spark : burst) {
            spark.prevX = spark.x;
            spark.prevY = spark.y;
            spark.x = WrappingAdd(spark.x, spark.vx);
            spark.y = WrappingAdd(spark.y, spark.vy);
        }
    };
    const int32_t first = head, end = tail;
    if (first > end) {
        for (int32_t i = first; i < capacity; ++i) age(i);
        for (int32_t i = 0; i < end; ++i) age(i);
    } else {
        for (int32_t i = first; i < end; ++i) age(i);
    }
}

void SparkRing::Spawn(int32_t px, int32_t py)
{
    const int32_t slot = Allocate();
    if (slot < 0) return;
    for (Spark& spark : bursts[std::size_t(slot)]) {
        spark.vy = Rand() % 17 - 8;
        spark.vx = Rand() % 17 - 8;
        spark.x = spark.prevX = px;
        spark.y = spark.prevY = py;
        spark.life = kSparkLife;
    }
}
