// Under GNOME's compositor (mutter 43) and KDE's (KWin 5.27), headless with two outputs, each on a session bus
// of its own. Neither takes screenshots here without the rest of its desktop, so what the program asks of it is
// read from libwayland's log of its requests. Input comes through mutter's remote desktop session and KWin's
// fake input protocol.
#include <gtest/gtest.h>
#include <systemd/sd-bus.h>
#include <wayland-client.h>

#include <cstring>
#include <map>

#include "../program_test_support.h"
#include "fake-input.h"

namespace {

struct Desktop : Run {
    explicit Desktop(bool kde) : kde(kde)
    {
        // KWin's installed binary carries a file capability that a container may refuse; a copy runs, by its name.
        const std::string compositor =
            kde ? "cp /usr/bin/kwin_wayland " + dir + " && KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 QT_QPA_PLATFORM=offscreen exec " + dir +
                      "/kwin_wayland --virtual --output-count 2 --socket wayland-1"
                : "GSETTINGS_BACKEND=memory exec mutter --headless --wayland --no-x11 --sm-disable --wayland-display=wayland-1 "
                  "--virtual-monitor 960x540 --virtual-monitor 640x480";
        char address[256] = "";
        ready = server.Start("{ XDG_RUNTIME_DIR=" + dir + " exec setsid dbus-run-session -- sh -c 'echo $DBUS_SESSION_BUS_ADDRESS; " +
                             compositor + " >/dev/null' 2>/dev/null; }") &&
                std::fscanf(server.out, "%255s", address) == 1 && sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, address) >= 0 &&
                sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0 &&
                Within(10, [&] { return std::filesystem::exists(dir + "/wayland-1"); });
        env = "XDG_RUNTIME_DIR=" + dir + " WAYLAND_DISPLAY=wayland-1 DBUS_SESSION_BUS_ADDRESS=" + address;
        // The devices come with the first input: here, before the program binds its seat.
        ready = ready && (kde ? AddFakeInput() && std::system((env + " QT_QPA_PLATFORM=wayland kscreen-doctor output.Virtual-1.scale.1.5 "
                                                                    ">/dev/null 2>&1").c_str()) == 0
                              : AddRemoteDesktop()) &&
                Point(0) && Key(42);
    }
    ~Desktop()
    {
        Stop();
        if (fake) org_kde_kwin_fake_input_destroy(fake);
        if (display) wl_display_disconnect(display);
        sd_bus_flush_close_unref(bus);
        server.Stop();
    }
    bool AddFakeInput()
    {
        if (!(display = wl_display_connect((dir + "/wayland-1").c_str()))) return false;
        static const wl_registry_listener listener{
            [](void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
                if (!std::strcmp(interface, "org_kde_kwin_fake_input"))
                    static_cast<Desktop*>(data)->fake =
                        static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
            },
            [](void*, wl_registry*, uint32_t) {}};
        wl_registry* registry = wl_display_get_registry(display);
        wl_registry_add_listener(registry, &listener, this);
        wl_display_roundtrip(display);
        wl_registry_destroy(registry);
        if (fake) org_kde_kwin_fake_input_authenticate(fake, "test", "test");
        return fake && wl_display_roundtrip(display) >= 0;
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
    bool Point(double dx)
    {
        if (!kde) return Tell("NotifyPointerMotionRelative", "dd", dx, 0.0);
        org_kde_kwin_fake_input_pointer_motion(fake, wl_fixed_from_double(dx), 0);
        return wl_display_roundtrip(display) >= 0;
    }
    bool Key(uint32_t code)
    {
        if (!kde) return Tell("NotifyKeyboardKeycode", "ub", code, 1) && Tell("NotifyKeyboardKeycode", "ub", code, 0);
        org_kde_kwin_fake_input_keyboard_key(fake, code, 1), org_kde_kwin_fake_input_keyboard_key(fake, code, 0);
        return wl_display_roundtrip(display) >= 0;
    }
    // Every window minimised, or none, by a script of KWin's.
    bool Minimise(bool minimised)
    {
        std::ofstream(dir + "/minimise.js") << "workspace.clientList().forEach(function (c) { c.minimized = " << (minimised ? "true" : "false") << "; });\n";
        return sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "loadScript", nullptr, nullptr, "s",
                                  (dir + "/minimise.js").c_str()) >= 0 &&
               sd_bus_call_method(bus, "org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting", "start", nullptr, nullptr, "") >= 0;
    }
    // The program, its requests logged to a file: a pipe would fill and hold it.
    bool Start(const std::string& options)
    {
        return ready && Run::Start("{ " + env + " WAYLAND_DEBUG=client exec setsid " VELLORAN_WAYLAND_PROGRAM " " + options + " 2>" + dir + "/log; }");
    }
    std::string Log() const { return (std::ostringstream() << std::ifstream(dir + "/log").rdbuf()).str(); }
    long Count(const std::string& request) const
    {
        const std::string log = Log();
        long count = 0;
        for (size_t at = log.find(request); at != std::string::npos; at = log.find(request, at + 1)) ++count;
        return count;
    }
    // The size of the buffer that each surface was last given, in order of the surfaces.
    std::vector<std::string> Shown() const
    {
        std::map<int, std::string> size, shown;
        std::istringstream log(Log());
        for (std::string line; std::getline(log, line);) {
            int buffer, surface, width, height;
            const char* request = std::strstr(line.c_str(), "-> ");
            if (request && std::sscanf(request, "-> wl_shm_pool@%*d.create_buffer(new id wl_buffer@%d, 0, %d, %d", &buffer, &width, &height) == 3)
                size[buffer] = std::to_string(width) + "x" + std::to_string(height);
            else if (request && std::sscanf(request, "-> wl_surface@%d.attach(wl_buffer@%d", &surface, &buffer) == 2)
                shown[surface] = size[buffer];
        }
        std::vector<std::string> sizes;
        for (const auto& [surface, buffer] : shown) sizes.push_back(buffer);
        return sizes;
    }

    static constexpr const char* kRemote = "org.gnome.Mutter.RemoteDesktop";
    const bool kde;
    const Folder folder;
    const std::string dir = folder.path;
    std::string env, session;
    bool ready = false;
    ::Run server;
    sd_bus* bus = nullptr;
    wl_display* display = nullptr;  // the fake input's client's
    org_kde_kwin_fake_input* fake = nullptr;
};

class Desktops : public testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(, Desktops, testing::Values(false, true), [](const auto& kde) { return kde.param ? "KWin" : "mutter"; });

// A board at each output's full resolution (KWin's second output at a scale of 1.5, of 683 by 512 logical
// pixels), and an end on a pointer move or a key, and not before: the pointer over the board as it appears, or a
// motion to where it is.
TEST_P(Desktops, ShowABoardOnEachOutputAtItsFullResolutionThatEndsOnAPointerMoveOrAKeyAndNotBefore)
{
    Desktop desktop(GetParam());
    const std::vector<std::string> sizes = GetParam() ? std::vector<std::string>{"1024x768", "1024x768"} : std::vector<std::string>{"960x540", "640x480"};
    for (const bool key : {false, true}) {
        ASSERT_TRUE(desktop.Start("")) << key;
        EXPECT_TRUE(Within(5, [&] { return desktop.Shown() == sizes; })) << key << ": " << testing::PrintToString(desktop.Shown());
        EXPECT_TRUE(!GetParam() || desktop.Log().find("set_destination(683, 512)") != std::string::npos);
        desktop.Point(0);
        EXPECT_EQ(desktop.Ended(0.5), "running") << key << ": ended before any input";
        ASSERT_TRUE(key ? desktop.Key(30) : desktop.Point(1));
        EXPECT_EQ(desktop.Ended(5), "exit 0\n") << key;
    }
}

// By the compositor's own idle signal (mutter's idle monitor, KWin's ext_idle_notifier_v1): no surface until the
// seat has been idle for a second (counted from the test's last input, a little before the program's start), then
// a fullscreen board on each output.
TEST_P(Desktops, ShowABoardOnEachOutputOnceTheSeatHasBeenIdle)
{
    Desktop desktop(GetParam());
    ASSERT_TRUE(desktop.Start("--on-idle 1"));
    EXPECT_FALSE(Within(0.5, [&] { return desktop.Count(".set_fullscreen(") > 0; })) << "shown before the seat was idle for a second";
    EXPECT_TRUE(Within(3, [&] { return desktop.Count(".set_fullscreen(") == 2; }));
}

// Minimised, it commits nothing; shown again, it goes on.
TEST(KWin, DrawsNothingWhileMinimised)
{
    Desktop desktop(true);
    ASSERT_TRUE(desktop.Start(""));
    ASSERT_TRUE(Within(5, [&] { return desktop.Shown().size() == 2; }));
    ASSERT_TRUE(desktop.Minimise(true));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const long hidden = desktop.Count(".commit()");
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_EQ(desktop.Count(".commit()"), hidden) << "drawn while minimised";
    ASSERT_TRUE(desktop.Minimise(false));
    EXPECT_TRUE(Within(2, [&] { return desktop.Count(".commit()") > hidden + 10; })) << "not drawn again when shown";
}

}  // namespace
