// The Wayland program under three compositors, headless, each on a session bus of its own: sway as nobody (it
// refuses root), with a virtual pointer and keyboards; GNOME's (mutter 43) and KDE's (KWin 5.27), which take no
// screenshots without the rest of their desktops, so libwayland's log of the program's requests tells what it
// asks of them, with input through mutter's remote desktop session and KWin's fake input protocol.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <systemd/sd-bus.h>
#include <wayland-client.h>

#include <cstring>
#include <map>

#include "../program_test_support.h"
#include "fake-input.h"
#include "virtual-pointer.h"

namespace {

enum Kind { kSway, kMutter, kKWin };

// sway with one output of 640 by 480 (or none), real-time where allowed (the test's priority, which all inherit)
// so that load makes neither it nor the program miss frames; mutter with outputs of 960 by 540 and 640 by 480;
// KWin with two of 1024 by 768, the second at a scale of 1.5.
struct Desktop : Run {
    explicit Desktop(Kind kind, int outputs = 1) : kind(kind)
    {
        std::string compositor;
        if (kind == kSway) {
            const sched_param realTime{1};
            sched_setscheduler(0, SCHED_FIFO, &realTime);
            std::ofstream(dir + "/config") << "output HEADLESS-1 resolution 640x480\n";
            if (std::system(("chown nobody " + dir + " && chmod 644 " + dir + "/config").c_str()) != 0) return;
            compositor = "exec setpriv --reuid=nobody --regid=nogroup --clear-groups env -i XDG_RUNTIME_DIR=" + dir + " SWAYSOCK=" + dir +
                         "/ipc WLR_HEADLESS_OUTPUTS=" + std::to_string(outputs) +
                         " WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c " + dir + "/config";
        } else if (kind == kKWin) {
            // Its installed binary carries a file capability that a container may refuse; a copy runs, by its name.
            compositor = "cp /usr/bin/kwin_wayland " + dir + " && KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 QT_QPA_PLATFORM=offscreen exec " + dir +
                         "/kwin_wayland --virtual --output-count 2 --socket wayland-1";
        } else {
            compositor = "GSETTINGS_BACKEND=memory exec mutter --headless --wayland --no-x11 --sm-disable --wayland-display=wayland-1 "
                         "--virtual-monitor 960x540 --virtual-monitor 640x480";
        }
        char address[256] = "";
        ready = server.Start("{ XDG_RUNTIME_DIR=" + dir + " exec setsid dbus-run-session -- sh -c 'echo $DBUS_SESSION_BUS_ADDRESS; " +
                             compositor + " >/dev/null' 2>/dev/null; }") &&
                std::fscanf(server.out, "%255s", address) == 1 && sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, address) >= 0 &&
                sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0;
        env = "XDG_RUNTIME_DIR=" + dir + " WAYLAND_DISPLAY=wayland-1 SWAYSOCK=" + dir + "/ipc DBUS_SESSION_BUS_ADDRESS=" + address;
        ready = ready && Within(10, [&] { return std::filesystem::exists(dir + "/wayland-1") && (kind != kSway || Msg("-t get_outputs")); });
        // A seat without an input device has none to tell the program of; mutter's and KWin's come with their first
        // input: here, before the program binds its seat.
        ready = ready && (kind == kMutter ? AddRemoteDesktop() : AddInput()) && (kind == kSway || (Point(0) && Key(42))) &&
                (kind != kKWin ||
                 std::system((env + " QT_QPA_PLATFORM=wayland kscreen-doctor output.Virtual-1.scale.1.5 >/dev/null 2>&1").c_str()) == 0);
    }
    ~Desktop()
    {
        Stop();
        for (void* proxy : {(void*)pointer, (void*)virtualPointers, (void*)fake})
            if (proxy) wl_proxy_destroy(static_cast<wl_proxy*>(proxy));
        if (input) wl_display_disconnect(input);
        sd_bus_flush_close_unref(bus);
    }
    // sway's or KWin's protocol for input devices, bound by a client of the test's own, on the program's seat.
    bool AddInput()
    {
        static const wl_registry_listener listener{
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                Desktop& d = *static_cast<Desktop*>(data);
                if (!std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name))
                    d.virtualPointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
                        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
                if (!std::strcmp(interface, org_kde_kwin_fake_input_interface.name))
                    d.fake = static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
            },
            [](void*, wl_registry*, uint32_t) {}};
        if (!(input = wl_display_connect((dir + "/wayland-1").c_str()))) return false;
        wl_registry* registry = wl_display_get_registry(input);
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(input);
        wl_registry_destroy(registry);
        if (virtualPointers) pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(virtualPointers, nullptr);
        if (fake) org_kde_kwin_fake_input_authenticate(fake, "test", "test");
        return (pointer || fake) && wl_display_roundtrip(input) >= 0;
    }
    bool AddRemoteDesktop()
    {
        sd_bus_message* reply = nullptr;
        const char* path = nullptr;
        const bool made = Within(10, [&] {
            return sd_bus_call_method(bus, kRemote, "/org/gnome/Mutter/RemoteDesktop", kRemote, "CreateSession", nullptr, &reply, "") >= 0;
        }) && sd_bus_message_read(reply, "o", &path) > 0 && (session = path, Tell("Start", ""));
        sd_bus_message_unref(reply);
        return made;
    }
    template <class... Values> bool Tell(const char* method, const char* types, Values... values)
    {
        return sd_bus_call_method(bus, kRemote, session.c_str(), "org.gnome.Mutter.RemoteDesktop.Session", method, nullptr, nullptr, types,
                                  values...) >= 0;
    }
    bool Msg(const std::string& command) { return std::system((env + " swaymsg " + command + " >/dev/null 2>&1").c_str()) == 0; }
    // A move by dx, or under sway a click of the left button.
    bool Point(double dx, bool click = false)
    {
        if (kind == kMutter) return Tell("NotifyPointerMotionRelative", "dd", dx, 0.0);
        if (kind == kKWin) org_kde_kwin_fake_input_pointer_motion(fake, wl_fixed_from_double(dx), 0);
        if (kind == kSway && !click) zwlr_virtual_pointer_v1_motion(pointer, 0, wl_fixed_from_double(dx), 0), zwlr_virtual_pointer_v1_frame(pointer);
        for (int i = 0; i < 2 * (kind == kSway && click); ++i)
            zwlr_virtual_pointer_v1_button(pointer, 0, 0x110, i == 0), zwlr_virtual_pointer_v1_frame(pointer);
        return wl_display_roundtrip(input) >= 0;
    }
    // Under sway, Escape on a keyboard that comes for it.
    bool Key(uint32_t code)
    {
        if (kind == kSway) return std::system((env + " wtype -s 300 -k Escape").c_str()) == 0;
        if (kind == kMutter) return Tell("NotifyKeyboardKeycode", "ub", code, 1) && Tell("NotifyKeyboardKeycode", "ub", code, 0);
        org_kde_kwin_fake_input_keyboard_key(fake, code, 1), org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
        return wl_display_roundtrip(input) >= 0;
    }
    // Every window minimised, or none, by a script of KWin's.
    bool Minimise(bool minimised)
    {
        std::ofstream(dir + "/minimise.js") << "workspace.clientList().forEach(function (c) { c.minimized = "
                                            << (minimised ? "true" : "false") << "; });\n";
        return sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript", nullptr, nullptr, "s",
                                  (dir + "/minimise.js").c_str()) >= 0 &&
               sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "start", nullptr, nullptr, "") >= 0;
    }
    Shot Look(const std::string& output)  // by grim, under sway
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
    // The program, what it says (and with log, its requests) in a file: a pipe would fill and hold it. Under sway,
    // until its boards show on these outputs.
    bool Start(const std::string& options, const std::vector<std::string>& outputs = {"HEADLESS-1"}, bool log = true)
    {
        // $VELLORAN_WAYLAND_PROGRAM names an installed program to run instead.
        const char* installed = std::getenv("VELLORAN_WAYLAND_PROGRAM");
        return ready &&
               Run::Start("{ " + env + (log ? " WAYLAND_DEBUG=client" : "") + " exec setsid " + (installed ? installed : VELLORAN_WAYLAND_PROGRAM) +
                          " " + options + " 2>" + dir + "/log; }") &&
               Within(5, [&] { return kind != kSway || std::all_of(outputs.begin(), outputs.end(), [&](auto& o) { return Look(o).Board(); }); });
    }
    std::string Log() const { return (std::ostringstream() << std::ifstream(dir + "/log").rdbuf()).str(); }
    long Count(const std::string& request) const
    {
        const std::string log = Log();
        long count = 0;
        for (size_t at = log.find(request); at != std::string::npos; at = log.find(request, at + 1)) ++count;
        return count;
    }
    // The size of the buffer that each surface was last given, in order of the surfaces, and " in WxH" where a
    // viewport gave it a logical size.
    std::vector<std::string> Shown() const
    {
        std::map<int, std::string> size, logical, shown;
        std::map<int, int> surfaceOf;  // of a viewport
        std::istringstream log(Log());
        for (std::string line; std::getline(log, line);) {
            int buffer, surface, viewport, width, height;
            const char* request = std::strstr(line.c_str(), "-> ");
            if (!request) continue;
            if (std::sscanf(request, "-> wl_shm_pool@%*d.create_buffer(new id wl_buffer@%d, 0, %d, %d", &buffer, &width, &height) == 3)
                size[buffer] = std::to_string(width) + "x" + std::to_string(height);
            else if (std::sscanf(request, "-> wp_viewporter@%*d.get_viewport(new id wp_viewport@%d, wl_surface@%d", &viewport, &surface) == 2)
                surfaceOf[viewport] = surface;
            else if (std::sscanf(request, "-> wp_viewport@%d.set_destination(%d, %d", &viewport, &width, &height) == 3)
                logical[surfaceOf[viewport]] = " in " + std::to_string(width) + "x" + std::to_string(height);
            else if (std::sscanf(request, "-> wl_surface@%d.attach(wl_buffer@%d", &surface, &buffer) == 2)
                shown[surface] = size[buffer] + logical[surface];
        }
        std::vector<std::string> sizes;
        for (const auto& [surface, buffer] : shown) sizes.push_back(buffer);
        return sizes;
    }

    static constexpr const char* kRemote = "org.gnome.Mutter.RemoteDesktop";
    const Kind kind;
    const Folder folder;
    const std::string dir = folder.path;
    std::string env, session;
    bool ready = false;
    ::Run server;
    sd_bus* bus = nullptr;
    wl_display* input = nullptr;  // the test's input devices' client
    zwlr_virtual_pointer_manager_v1* virtualPointers = nullptr;
    zwlr_virtual_pointer_v1* pointer = nullptr;
    org_kde_kwin_fake_input* fake = nullptr;
};

// With no output (a lid shut) it waits. Each output that comes shows a board of its logical size: pins
// mirrored a pin's radius left of the middle, about column 300 at scale 1 and 2 x (160 - 20) at scale 2.
TEST(Program, ShowsABoardOfItsOutputsLogicalSizeOnEveryOutputThatComes)
{
    Desktop sway(kSway, 0);
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

// After a replug (1), the pointer appearing over the board is no move, a half-pixel move is; a button (-1) and
// the compositor closing it (-2) end it too. (A key, and the first pointer's move: the desktops' test.)
TEST(Program, EndsOnInputAndNotBefore)
{
    Desktop sway(kSway);
    for (const int how : {1, -1, -2}) {
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
        EXPECT_EQ(sway.Ended(5), "exit 0\n") << how;
    }
}

// From libwayland's log over three seconds: no buffer thrown away (one scene for the size shown), and per
// frame only what changed.
TEST(Program, TellsTheCompositorOnlyWhatChanged)
{
    Desktop sway(kSway);
    ASSERT_TRUE(sway.Start(""));
    std::this_thread::sleep_for(std::chrono::seconds(3));
    std::istringstream log(sway.Log());
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
    ASSERT_GT(frames, 20);  // of the 150 or so at the default pace, fewer on a loaded machine
    EXPECT_EQ(thrown, 0) << "a buffer thrown away: a second scene at start";
    // Room for whole frames (the first, any after a stall); a whole surface every frame is far above it.
    EXPECT_LT(shares / frames, 0.3) << "damaged share of the surface per frame, over " << frames << " frames";
}

// Shared memory that cannot be had (files limited to 1 KiB, which the program inherits): it says so and ends,
// rather than wait for ever for a buffer.
TEST(Program, SaysSoAndEndsWhenItCannotMakeABuffer)
{
    Desktop sway(kSway);
    const rlimit was = [] { rlimit r; getrlimit(RLIMIT_FSIZE, &r); return r; }(), small{1024, was.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const bool started = sway.Start("", {}, false);
    setrlimit(RLIMIT_FSIZE, &was);
    signal(SIGXFSZ, SIG_DFL);
    ASSERT_TRUE(started);
    EXPECT_EQ(sway.Ended(5), "exit 1\n");
    EXPECT_EQ(sway.Log(), "velloransaver-wayland: cannot make a buffer in shared memory: File too large\n");
}

// Nothing until the seat has been idle for a second; a move ends that showing but not the program.
TEST(Program, ShowsABoardEachTimeTheSeatHasBeenIdle)
{
    Desktop sway(kSway);
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

class Desktops : public testing::TestWithParam<Kind> {};
class IdleDesktops : public Desktops {};  // sway's idle mode: its own test
const auto kNames = [](const testing::TestParamInfo<Kind>& kind) { return std::vector<std::string>{"sway", "mutter", "KWin"}[kind.param]; };
INSTANTIATE_TEST_SUITE_P(, Desktops, testing::Values(kSway, kMutter, kKWin), kNames);
INSTANTIATE_TEST_SUITE_P(, IdleDesktops, testing::Values(kMutter, kKWin), kNames);

// A board at each output's full resolution (KWin's second output at a scale of 1.5, of 683 by 512 logical
// pixels), and an end on a pointer move or a key (under sway, of a keyboard that came after the program), and not
// before: the pointer over the board as it appears, or a motion to where it is.
TEST_P(Desktops, ShowABoardOnEachOutputAtItsFullResolutionThatEndsOnAPointerMoveOrAKeyAndNotBefore)
{
    Desktop desktop(GetParam());
    const std::vector<std::string> sizes =
        std::vector<std::vector<std::string>>{{"640x480"}, {"960x540", "640x480"}, {"1024x768 in 1024x768", "1024x768 in 683x512"}}[GetParam()];
    for (const bool key : {false, true}) {
        ASSERT_TRUE(desktop.Start("")) << key;
        EXPECT_TRUE(Within(5, [&] { return desktop.Shown() == sizes; })) << key << ": " << testing::PrintToString(desktop.Shown());
        desktop.Point(0);
        EXPECT_EQ(desktop.Ended(0.5), "running") << key << ": ended before any input";
        ASSERT_TRUE(key ? desktop.Key(30) : desktop.Point(1));
        EXPECT_EQ(desktop.Ended(5), "exit 0\n") << key;
    }
}

// By the compositor's own idle signal (mutter's idle monitor, KWin's ext_idle_notifier_v1): no surface until the
// seat has been idle for a second (counted from the test's last input, a little before the program's start), then
// a fullscreen board on each output.
TEST_P(IdleDesktops, ShowABoardOnEachOutputOnceTheSeatHasBeenIdle)
{
    Desktop desktop(GetParam());
    ASSERT_TRUE(desktop.Start("--on-idle 1"));
    EXPECT_FALSE(Within(0.5, [&] { return desktop.Count(".set_fullscreen(") > 0; })) << "shown before the seat was idle for a second";
    EXPECT_TRUE(Within(3, [&] { return desktop.Count(".set_fullscreen(") == 2; }));
}

// Minimised for longer than a scene lasts (600 frames of 4 ms), it commits nothing; shown again, it goes on with
// the same scene, not a new one (whose first frame damages the whole surface).
TEST(KWin, DrawsAndStepsNothingWhileMinimised)
{
    Desktop desktop(kKWin);
    // One ball without sparks, whose steps after the showing never damage the whole surface as a new scene does.
    ASSERT_TRUE(desktop.Start("--refresh-rate 3 --scenario-counter 1 --num-balls 1 --no-sparks"));
    // Until both boards have settled at their scale (KWin tells the second its 1.5 only once it shows), so that no
    // new scene for that comes after the showing again.
    ASSERT_TRUE(Within(5, [&] { return desktop.Count(".commit()") > 50; }));
    ASSERT_TRUE(desktop.Minimise(true));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long hidden = desktop.Count(".commit()");
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(desktop.Count(".commit()"), hidden) << "drawn while minimised";
    const auto logged = [&] { return size_t(std::filesystem::file_size(desktop.dir + "/log")); };
    const size_t shown = logged();
    ASSERT_TRUE(desktop.Minimise(false));
    size_t seen = shown;  // the first frames shown again: later, the scene may end on its own
    EXPECT_TRUE(Within(2, [&] { return (seen = logged(), desktop.Count(".commit()") > hidden + 10); })) << "not drawn again";
    EXPECT_EQ(desktop.Log().substr(shown, seen - shown).find("damage_buffer(0, 0, 1024, 768)"), std::string::npos) << "a new scene";
}

}  // namespace
