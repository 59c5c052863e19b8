// Cost of one physics step and of one scene set-up. Per-ball figures show
// that the cell grid keeps the step linear in the number of balls.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "settings/settings_table.h"
#include "sim/random.h"
#include "sim/scene.h"

namespace {

class Stored : public SettingsReader {
public:
    explicit Stored(std::map<std::string, uint32_t> values) : values_(std::move(values)) {}
    uint32_t ReadSetting(SettingId which) override
    {
        auto found = values_.find(kSettings[which].name);
        return found == values_.end() ? static_cast<uint32_t>(kSettings[which].defaultValue) : found->second;
    }

private:
    std::map<std::string, uint32_t> values_;
};

// Steps until every ball has dropped in (they enter one at a time).
void RunUntilAllInPlay(World& world, const Rect& board)
{
    for (int frame = 0; frame < 5000; ++frame) {
        if (world.balls.empty() || world.balls.front()->inPlay) return;
        StepWorld(world, board);
    }
}

void StepAtSettings(benchmark::State& state, const Rect& board, std::map<std::string, uint32_t> values)
{
    World world;
    Stored settings(std::move(values));
    SeedRuntimeRandom(1);
    SetUpScene(world, board, 0, settings);
    RunUntilAllInPlay(world, board);
    for (auto _ : state) StepWorld(world, board);
    state.counters["balls"] = static_cast<double>(world.balls.size());
}

void StepDefaults(benchmark::State& state) { StepAtSettings(state, Rect{0, 0, 1920, 1080}, {}); }
BENCHMARK(StepDefaults);

void StepBusiestSmall(benchmark::State& state)
{
    StepAtSettings(state, Rect{0, 0, 1920, 1080}, {{"NumBalls", 10}, {"NumPins", 200}, {"BallSize", 10}, {"PinSize", 6}});
}
BENCHMARK(StepBusiestSmall);

void StepBusiestLarge(benchmark::State& state)
{
    StepAtSettings(state, Rect{0, 0, 1920, 1080},
                   {{"NumBalls", 10}, {"NumPins", 200}, {"BallSize", 200}, {"PinSize", 200}});
}
BENCHMARK(StepBusiestLarge);

// Many balls on a huge board, placed in play on a lattice 100 pixels apart
// among 10 000 pins, rather than waiting for them to enter one per frame.
void StepManyBalls(benchmark::State& state)
{
    const Rect board{0, 0, 16384, 16384};
    const auto balls = static_cast<uint32_t>(state.range(0));
    World world;
    Stored settings({{"NumBalls", balls}, {"NumPins", 10000}});
    SeedRuntimeRandom(1);
    SetUpScene(world, board, 0, settings);
    const int perRow = 16000 / 100;
    for (size_t i = 0; i < world.balls.size(); ++i) {
        Disc& ball = *world.balls[i];
        ball.x = 200 + 100 * static_cast<double>(i % perRow);
        ball.y = 200 + 100 * static_cast<double>(i / perRow);
        ball.inPlay = true;
        world.grid.Insert(&ball, TruncToInt(ball.x), TruncToInt(ball.y));
    }
    for (auto _ : state) StepWorld(world, board);
    state.counters["hits"] = static_cast<double>(world.hitList.size());
    state.counters["per_ball"] = benchmark::Counter(static_cast<double>(balls),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}
BENCHMARK(StepManyBalls)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void SetUpScene200Pins(benchmark::State& state)
{
    const Rect board{0, 0, 1920, 1080};
    World world;
    Stored settings({{"NumPins", 200}});
    SeedRuntimeRandom(1);
    for (auto _ : state) SetUpScene(world, board, 0, settings);
    benchmark::DoNotOptimize(world.pins.data());
}
BENCHMARK(SetUpScene200Pins)->Unit(benchmark::kMicrosecond);

}  // namespace
