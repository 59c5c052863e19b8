// Under a headless sway, run as nobody (it refuses root); pointer and keyboard are virtual ones, since a seat
// without an input device has none to tell the program of.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <wayland-client.h>

#include <cstring>

#include "../program_test_support.h"
#include "virtual-pointer.h"

namespace {

// With one output of 640 by 480 (or none) and a pointer; real-time where allowed (the test's priority, which
// all inherit), so that load makes neither the compositor nor the program miss frames.
struct Sway : Run {
    explicit Sway(int outputs = 1)
    {
        const sched_param realTime{1};
        sched_setscheduler(0, SCHED_FIFO, &realTime);
        std::ofstream(dir + "/config") << "output HEADLESS-1 resolution 640x480\n";
        if (std::system(("chown nobody " + dir + " && chmod 644 " + dir + "/config").c_str()) != 0) return;
        env = "XDG_RUNTIME_DIR=" + dir + " WAYLAND_DISPLAY=wayland-1 SWAYSOCK=" + dir + "/ipc";
        ready = server.Start("exec setsid setpriv --reuid=nobody --regid=nogroup --clear-groups env -i " + env + " WLR_HEADLESS_OUTPUTS=" +
                             std::to_string(outputs) + " WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c " +
                             dir + "/config >" + dir + "/sway.log") &&
                Within(10, [&] { return std::filesystem::exists(dir + "/ipc") && Msg("-t get_outputs"); }) && AddPointer();
    }
    ~Sway()
    {
        Stop();
        for (void* proxy : {(void*)pointer, (void*)manager, (void*)registry})
            if (proxy) wl_proxy_destroy(static_cast<wl_proxy*>(proxy));
        if (pointerDisplay) wl_display_disconnect(pointerDisplay);
        server.Stop();
    }
    bool Msg(const std::string& command) { return std::system((env + " swaymsg " + command + " >/dev/null 2>&1").c_str()) == 0; }
    Shot Look(const std::string& output)
    {
        Shot shot;
        std::FILE* in = popen((env + " grim -t ppm -o " + output + " - 2>/dev/null").c_str(), "re");
        int depth = 0;
        if (in && std::fscanf(in, "P6 %d %d %d", &shot.width, &shot.height, &depth) == 3 && std::fgetc(in) != EOF) {
            std::vector<unsigned char> rgb(size_t(shot.width) * size_t(shot.height) * 3);
            if (std::fread(rgb.data(), 1, rgb.size(), in) == rgb.size())
                for (size_t i = 0; i < rgb.size(); i += 3) shot.Add(rgb[i], rgb[i + 1], rgb[i + 2]);
        }
        if (in) pclose(in);
        if (shot.pin.empty()) shot.width = shot.height = 0;
        return shot;
    }
    // Until its boards show on these outputs.
    bool Start(const std::string& options, const std::vector<std::string>& outputs = {"HEADLESS-1"})
    {
        // $VELLORAN_WAYLAND_PROGRAM names an installed program to run instead.
        const char* installed = std::getenv("VELLORAN_WAYLAND_PROGRAM");
        return ready && Run::Start(env + " exec setsid " + (installed ? installed : VELLORAN_WAYLAND_PROGRAM) + " " + options) &&
               Within(5, [&] { return std::all_of(outputs.begin(), outputs.end(), [&](auto& o) { return Look(o).Board(); }); });
    }
    bool AddPointer()  // on the compositor's default seat, the program's
    {
        if (!(pointerDisplay = wl_display_connect((dir + "/wayland-1").c_str()))) return false;
        static const wl_registry_listener listener{
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                if (!std::strcmp(interface, "zwlr_virtual_pointer_manager_v1"))
                    static_cast<Sway*>(data)->manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
                        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry_add_listener(registry = wl_display_get_registry(pointerDisplay), &listener, this);
        wl_display_roundtrip(pointerDisplay);
        return manager && (pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr)) &&
               wl_display_roundtrip(pointerDisplay) >= 0;
    }
    void Point(double dx, bool click = false)
    {
        if (!click) zwlr_virtual_pointer_v1_motion(pointer, 0, wl_fixed_from_double(dx), 0);
        for (int i = 0; i < 2 * click; ++i) zwlr_virtual_pointer_v1_button(pointer, 0, 0x110, i == 0), zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(pointerDisplay);
    }

    const Folder folder;
    const std::string dir = folder.path;
    std::string env;
    bool ready = false;
    Run server;
    wl_display* pointerDisplay = nullptr;  // the pointer's client's
    wl_registry* registry = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
};

// With no output (a lid shut) it waits. Each output that comes shows a board of its logical size: pins
// mirrored a pin's radius left of the middle, about column 300 at scale 1 and 2 x (160 - 20) at scale 2.
TEST(Program, ShowsABoardOfItsOutputsLogicalSizeOnEveryOutputThatComes)
{
    Sway sway(0);
    ASSERT_TRUE(sway.Start("--symmetry --pin-size 20 --num-balls 1 --ball-size 10 --no-sparks", {}));
    EXPECT_EQ(sway.Ended(0.5), "running") << "ended with no output";
    ASSERT_TRUE(sway.Msg("create_output") && sway.Msg("create_output") && sway.Msg("output HEADLESS-2 resolution 640x480 scale 2"));
    // Once the compositor has settled the outputs' sizes and scales.
    for (const auto& [output, axis] : {std::pair{"HEADLESS-1", 300}, {"HEADLESS-2", 280}})
        EXPECT_TRUE(Within(5, [&, axis = axis] {
            const Shot shot = sway.Look(output);
            return std::max({shot.MirroredAbout(axis - 1), shot.MirroredAbout(axis), shot.MirroredAbout(axis + 1)}) > 0.9;
        })) << output;
}

// A key on a keyboard that came after it started ends it (-3: first, as after the replug a new keyboard joins
// the other seat). After a replug (1), the pointer appearing over the board is no move, a half-pixel move is;
// a button (-1) and the compositor closing it (-2) end it too. (The first pointer's move: the idle test.)
TEST(Program, EndsOnInputAndNotBefore)
{
    Sway sway;
    for (const int how : {-3, 1, -1, -2}) {
        ASSERT_TRUE(sway.Start("")) << how;
        if (how == 1) {
            // To a seat of its own and back: the program's seat loses its pointer and gains one again.
            sway.Msg("seat seat1 attach '*'") && sway.Msg("seat seat0 attach '*'");
            sway.Point(0);
            EXPECT_EQ(sway.Ended(0.5), "running") << how << ": ended before the pointer moved";
            sway.Point(0.5);
        }
        if (how == -1) sway.Point(0, true);
        if (how == -2) sway.Msg("kill");
        if (how == -3) std::system((sway.env + " wtype -s 300 -k Escape").c_str());
        EXPECT_EQ(sway.Ended(5), "exit 0\n") << how;
    }
}

// From libwayland's log over three seconds: no buffer thrown away (one scene for the size shown), and per
// frame only what changed.
TEST(Program, TellsTheCompositorOnlyWhatChanged)
{
    Sway sway;
    sway.env += " WAYLAND_DEBUG=client";
    ASSERT_TRUE(sway.Start(""));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    kill(-sway.pid, SIGKILL);
    std::istringstream log(sway.Ended(5));
    double area = 0, damaged = 0, shares = 0;
    int frames = 0, thrown = 0;
    for (std::string line; std::getline(log, line);) {
        const char* request = std::strstr(line.c_str(), "-> ");
        int x, y, w, h;
        if (!request) continue;
        if (std::sscanf(request, "-> wl_shm_pool@%*d.create_buffer(new id wl_buffer@%*d, 0, %d, %d", &w, &h) == 2)
            area = double(w) * h;
        else if (std::sscanf(request, "-> wl_surface@%*d.damage_buffer(%d, %d, %d, %d)", &x, &y, &w, &h) == 4)
            damaged += double(w) * h;
        else if (line.find(".commit()") != std::string::npos && damaged > 0)
            shares += damaged / area, damaged = 0, ++frames;
        thrown += line.find("wl_buffer@") != std::string::npos && line.find(".destroy()") != std::string::npos;
    }
    ASSERT_GT(frames, 50);
    EXPECT_EQ(thrown, 0) << "a buffer thrown away: a second scene at start";
    // Room for whole frames (the first, any after a stall); a whole surface every frame is far above it.
    EXPECT_LT(shares / frames, 0.3) << "damaged share of the surface per frame, over " << frames << " frames";
}

// Shared memory that cannot be had (files limited to 1 KiB, which the program inherits): it says so and ends,
// rather than wait for ever for a buffer.
TEST(Program, SaysSoAndEndsWhenItCannotMakeABuffer)
{
    Sway sway;
    const rlimit was = [] { rlimit r; getrlimit(RLIMIT_FSIZE, &r); return r; }(), small{1024, was.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool started = sway.Start("", {});
    setrlimit(RLIMIT_FSIZE, &was);
    signal(SIGXFSZ, SIG_DFL);
    ASSERT_TRUE(started);
    EXPECT_EQ(sway.Ended(5), "exit 1\nvelloransaver-wayland: cannot make a buffer in shared memory: File too large\n");
}

// Nothing until the seat has been idle for a second; a move ends that showing but not the program.
TEST(Program, ShowsABoardEachTimeTheSeatHasBeenIdle)
{
    Sway sway;
    const auto shown = [&] { return sway.Look("HEADLESS-1").Board(); };
    ASSERT_TRUE(sway.Start("--on-idle 1", {}));
    for (int showing = 0; showing < 2; ++showing) {
        EXPECT_FALSE(Within(0.6, shown)) << showing << ": shown before the seat was idle for a second";
        ASSERT_TRUE(Within(3, shown)) << showing;
        sway.Point(0), sway.Point(0.5);
        EXPECT_TRUE(Within(0.3, [&] { return !shown(); })) << showing << ": shown on after a move";
    }
    EXPECT_EQ(sway.Ended(0), "running") << "ended by a move";
    kill(sway.pid, SIGTERM);
    EXPECT_EQ(sway.Ended(5), "signal " + std::to_string(SIGTERM) + "\n");
}

// Shown again after longer than a scene lasts (600 frames of 4 ms), it shows the same scene.
TEST(Program, StepsNothingWhileNotShown)
{
    Sway sway;
    ASSERT_TRUE(sway.Start("--refresh-rate 3 --scenario-counter 1"));
    const Shot scene = sway.Look("HEADLESS-1");
    ASSERT_TRUE(sway.Msg("workspace 2"));
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    ASSERT_TRUE(sway.Msg("workspace 1"));
    EXPECT_TRUE(Within(2, [&] { return sway.Look("HEADLESS-1").Board(); }));
    // Once it has drawn again, not only while the compositor shows its last frame from before.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GT(scene.Overlap(sway.Look("HEADLESS-1")), 0.5) << "frames went on while not shown";
}

}  // namespace
