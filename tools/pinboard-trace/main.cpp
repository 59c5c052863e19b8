// pinboard-trace: runs the pin-board world headless and prints what happened,
// one record a line, for tests, debugging and comparison across platforms.
//
//   pinboard-trace [--width W] [--height H] [--seed S] [--frames N] [--preview]
//                  [--digest] [--set NAME=VALUE]...
//
// --digest prints, instead of the records, a hash of their text after every
// 1000th frame and the last: long runs compare quickly, and the first line
// that differs tells within 1000 frames where two builds part.
//
// Each frame is a tick of the board's animation, as every front end runs it,
// into a pen that draws nothing: the world is printed as the frame finds it
// when it begins to draw, after the step.
#include <cerrno>
#include <cinttypes>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "board/animation.h"
#include "settings/settings_table.h"
#include "sim/random.h"

namespace {

struct Options {
    int32_t width = 800;
    int32_t height = 600;
    uint32_t seed = 1;
    uint32_t frames = 100;
    bool preview = false;
    bool digest = false;
    std::map<std::string, uint32_t> stored;  // values not given are missing
};

class StoredSettings : public SettingsReader {
public:
    explicit StoredSettings(const std::map<std::string, uint32_t>& values) : values_(values) {}
    uint32_t ReadSetting(SettingId which) override
    {
        auto found = values_.find(kSettings[which].name);
        return found == values_.end() ? static_cast<uint32_t>(kSettings[which].defaultValue) : found->second;
    }

private:
    const std::map<std::string, uint32_t>& values_;
};

int Usage()
{
    std::fputs("usage: pinboard-trace [--width W] [--height H] [--seed S] [--frames N] [--preview]\n"
               "                      [--digest] [--set NAME=VALUE]...\n"
               "  W, H: 0 to 268435456 (default 800 by 600); S: 32-bit (default 1);\n"
               "  N: 0 to 4294967295 (default 100); NAME: NumBalls, NumPins, BallSize, PinSize,\n"
               "  Symmetry, Gravity, ScenarioCounter, RefreshRate or Sparks; VALUE: a decimal\n"
               "  32-bit integer, negative allowed\n",
               stderr);
    return 2;
}

// A whole decimal number within [low, high].
bool ParseNumber(const char* text, long long low, long long high, long long* out)
{
    if (!text || !*text) return false;
    const char* digits = *text == '-' ? text + 1 : text;
    if (*digits < '0' || *digits > '9') return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    *out = value;
    return true;
}

bool IsSettingName(const std::string& name)
{
    for (const Setting& setting : kSettings) {
        if (name == setting.name) return true;
    }
    return false;
}

bool ParseArguments(int argc, char** argv, Options* options)
{
    constexpr long long kMinInt32 = -2147483648LL, kMaxUint32 = 4294967295LL;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--preview" || arg == "--digest") {
            (arg == "--preview" ? options->preview : options->digest) = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        long long number = 0;
        if (arg == "--width" || arg == "--height") {
            if (!ParseNumber(value, 0, kMaxBoardCoord, &number)) return false;
            (arg == "--width" ? options->width : options->height) = static_cast<int32_t>(number);
        } else if (arg == "--seed") {
            if (!ParseNumber(value, kMinInt32, kMaxUint32, &number)) return false;
            options->seed = static_cast<uint32_t>(number);
        } else if (arg == "--frames") {
            if (!ParseNumber(value, 0, kMaxUint32, &number)) return false;
            options->frames = static_cast<uint32_t>(number);
        } else if (arg == "--set") {
            const char* equals = std::strchr(value, '=');
            if (!equals) return false;
            const std::string name(value, equals);
            if (!IsSettingName(name) || !ParseNumber(equals + 1, kMinInt32, kMaxUint32, &number)) return false;
            options->stored[name] = static_cast<uint32_t>(number);
        } else {
            return false;
        }
    }
    return true;
}

// Where the records go: standard output, or the digest (64-bit FNV-1a of
// the text that would have been printed).
bool digesting = false;
uint64_t digest = 14695981039346656037u;

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void Print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    if (!digesting) {
        std::vprintf(format, args);
    } else {
        char text[512];
        const int length = std::vsnprintf(text, sizeof text, format, args);
        for (int i = 0; i < length && i < int(sizeof text) - 1; ++i) {
            digest = (digest ^ static_cast<unsigned char>(text[i])) * 1099511628211u;
        }
    }
    va_end(args);
}

void PrintScene(const World& world, uint32_t frame)
{
    const SceneSettings& s = world.scene;
    Print("scene %u balls=%d pins=%u ballR=%.17g pinR=%.17g sym=%d gravity=%.17g sparks=%d sceneFrames=%u "
          "cell=%d cols=%d rows=%d\n",
          frame, s.ballCount, static_cast<unsigned>(world.pins.size()), s.ballRadius, s.pinRadius,
          s.symmetric ? 1 : 0, s.gravity, s.sparksOn ? 1 : 0, s.sceneFrames, world.grid.cellWidth,
          world.grid.columns, world.grid.rows);
    for (const Disc* pin : world.pins) Print("pin %d %.17g %.17g %06x\n", pin->id, pin->x, pin->y, pin->colour);
    for (const Disc* ball : world.balls) Print("ball %d %06x %.17g\n", ball->id, ball->colour, ball->vx);
}

void PrintFrame(const World& world, uint32_t frame, const std::vector<char>& outBefore)
{
    Print("frame %u hitStamp=%d head=%d tail=%d\n", frame, world.hitStamp, world.sparks.head, world.sparks.tail);
    for (const Disc* ball : world.balls) {
        if (!ball->inPlay) continue;
        Print("b %d %.17g %.17g %.17g %.17g %.17g %.17g %d\n", ball->id, ball->x, ball->y, ball->vx, ball->vy,
              ball->nextVx, ball->nextVy, ball->wrapped ? 1 : 0);
    }
    for (size_t i = 0; i < world.pins.size(); ++i) {
        if (world.pins[i]->colour == 0 && !outBefore[i]) Print("out %d\n", world.pins[i]->id);
    }
    world.sparks.ForEachLive([](int32_t slot, const std::vector<Spark>& burst) {
        Print("s %d %d", slot, burst.empty() ? 0 : burst[0].life);
        for (const Spark& spark : burst) Print(" %d,%d,%d,%d", spark.x, spark.y, spark.vx, spark.vy);
        Print("\n");
    });
}

// Prints each frame as drawing finds it and draws nothing.
class TracePen : public FramePen {
public:
    explicit TracePen(const World& world) : world_(world) {}

    // Before the step: which pins were out already.
    void Before(uint32_t frame)
    {
        frame_ = frame;
        outBefore_.resize(world_.pins.size());
        for (size_t i = 0; i < world_.pins.size(); ++i) outBefore_[i] = world_.pins[i]->colour == 0;
        printed_ = false;
    }
    bool Begin() override
    {
        // The end of a scene clears the target in a drawing of its own.
        if (!printed_) PrintFrame(world_, frame_, outBefore_);
        printed_ = true;
        return true;
    }
    void Fill(Surface, const Rect&) override {}
    void Draw(Surface, const Disc&) override {}
    void EraseSparks(const SparkRing&) override {}
    void DrawSparks(const SparkRing&) override {}
    void Copy(const Rect&) override {}
    bool ClipTo(const std::vector<Rect>&) override { return true; }

private:
    const World& world_;
    uint32_t frame_ = 0;
    std::vector<char> outBefore_;
    bool printed_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, &options)) return Usage();
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);

    digesting = options.digest;
    SeedRuntimeRandom(options.seed);
    BindRandom(RuntimeRandom);
    StoredSettings settings(options.stored);
    Animation animation(settings, CompositionRules{});
    animation.SetUp(options.width, options.height, 1.0, options.preview ? 1 : 0);
    const World& world = animation.BoardWorld();
    TracePen pen(world);

    PrintScene(world, 0);
    for (uint32_t frame = 1; frame <= options.frames; ++frame) {
        pen.Before(frame);
        // Whole: nothing is drawn, so finding what changed would be time lost.
        animation.Tick(pen, true);
        // Only a new scene starts the count at 0.
        if (world.frameCounter == 0) PrintScene(world, frame);
        if (digesting && frame % 1000 == 0) std::printf("frame %u digest %016" PRIx64 "\n", frame, digest);
        if (frame == UINT32_MAX) break;
    }
    if (digesting && (options.frames % 1000 != 0 || options.frames == 0)) {
        std::printf("frame %u digest %016" PRIx64 "\n", options.frames, digest);
    }
    std::fflush(stdout);
    return std::ferror(stdout) ? 1 : 0;
}
