// velloransaver-wayland: the pin board on every output of a Wayland desktop,
// for idle daemons such as swayidle and hypridle, which start a command after
// a time without input; or, with --on-idle, its own idle daemon, which shows
// the boards each time the seat has been idle that long and ends only by a
// signal.
//
// Each output gets a fullscreen surface with a board of its own; outputs that
// come or go while it runs gain or lose theirs. It ends as the Windows saver
// does, on a key, a button or the pointer really moving (the wheel does not
// end it); when the compositor closes a surface; and on SIGTERM or SIGINT, by
// that signal, after letting go of the compositor.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "fractional-scale-v1.h"
#include "linux/clock.h"
#include "linux/options.h"
#include "linux/stop_signals.h"
#include "sim/random.h"
#include "viewporter.h"
#include "wayland/idle_watch.h"
#include "wayland/output_board.h"
#include "xdg-shell.h"

namespace {

struct Saver {
    wl_registry* registry = nullptr;
    Compositor compositor;
    SettingsReader* settings = nullptr;
    std::vector<std::unique_ptr<OutputBoard>> boards;        // while it shows
    std::vector<std::pair<uint32_t, uint32_t>> outputs;      // the outputs' registry names and versions
    bool showing = false;
    IdleWatch idle;
    bool busLost = false;  // the session bus, which told it of idle times
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    OutputBoard* pointed = nullptr;  // the board under the pointer
    bool ended = false;              // by input

    OutputBoard* BoardOf(wl_surface* surface)
    {
        for (auto& board : boards)
            if (board->surface == surface) return board.get();
        return nullptr;
    }
    void AddBoard(uint32_t name, uint32_t version)
    {
        auto* output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, std::min(version, 3u)));
        boards.push_back(std::make_unique<OutputBoard>(compositor, output, name, *settings));
    }
    // A board on every output, each starting afresh.
    void Show()
    {
        showing = true, ended = false;
        for (const auto& [name, version] : outputs) AddBoard(name, version);
    }
    void Hide() { showing = false, pointed = nullptr, boards.clear(); }
};

Saver& Of(void* data) { return *static_cast<Saver*>(data); }

// Where the pointer is on the surface, as the compositor says: a move by a
// fraction of a pixel is a move.
void PointerAt(Saver& saver, wl_fixed_t x, wl_fixed_t y)
{
    if (saver.pointed && saver.pointed->pointer.MovedTo(x, y)) saver.ended = true;
}

void PointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y)
{
    Saver& saver = Of(data);
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no pointer over the board
    saver.pointed = saver.BoardOf(surface);
    PointerAt(saver, x, y);
}
void PointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) { Of(data).pointed = nullptr; }
void PointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) { PointerAt(Of(data), x, y); }
void PointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) Of(data).ended = true;
}
// The wheel ends nothing, nor do the pointer's frames of events.
void PointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void PointerFrame(void*, wl_pointer*) {}
void PointerAxisSource(void*, wl_pointer*, uint32_t) {}
void PointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void PointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
// Every event up to the seat's version bound (5).
const wl_pointer_listener kPointer = [] {
    wl_pointer_listener l{};
    l.enter = PointerEnter, l.leave = PointerLeave, l.motion = PointerMotion, l.button = PointerButton, l.axis = PointerAxis;
    l.frame = PointerFrame, l.axis_source = PointerAxisSource, l.axis_stop = PointerAxisStop, l.axis_discrete = PointerAxisDiscrete;
    return l;
}();

void Keymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { close(fd); }
void KeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void KeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void Key(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED) Of(data).ended = true;
}
void Modifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void RepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboard = [] {
    wl_keyboard_listener l{};
    l.keymap = Keymap, l.enter = KeyboardEnter, l.leave = KeyboardLeave, l.key = Key, l.modifiers = Modifiers;
    l.repeat_info = RepeatInfo;
    return l;
}();

void ReleasePointer(Saver& saver)
{
    if (!saver.pointer) return;
    if (wl_pointer_get_version(saver.pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) wl_pointer_release(saver.pointer);
    else wl_pointer_destroy(saver.pointer);
    saver.pointer = nullptr, saver.pointed = nullptr;
}
void ReleaseKeyboard(Saver& saver)
{
    if (!saver.keyboard) return;
    if (wl_keyboard_get_version(saver.keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) wl_keyboard_release(saver.keyboard);
    else wl_keyboard_destroy(saver.keyboard);
    saver.keyboard = nullptr;
}

// A pointer or keyboard that goes (a wireless mouse asleep, a device
// unplugged, a KVM switched away) leaves an object that hears nothing ever
// again, even once a device is back: let go of it, and ask anew when the
// capability returns.
void Capabilities(void* data, wl_seat* seat, uint32_t capabilities)
{
    Saver& saver = Of(data);
    if (!(capabilities & WL_SEAT_CAPABILITY_POINTER)) ReleasePointer(saver);
    else if (!saver.pointer) {
        saver.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(saver.pointer, &kPointer, &saver);
    }
    if (!(capabilities & WL_SEAT_CAPABILITY_KEYBOARD)) ReleaseKeyboard(saver);
    else if (!saver.keyboard) {
        saver.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(saver.keyboard, &kKeyboard, &saver);
    }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeat = [] {
    wl_seat_listener l{};
    l.capabilities = Capabilities, l.name = SeatName;
    return l;
}();

void Ping(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
constexpr xdg_wm_base_listener kWmBase{Ping};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    Saver& saver = Of(data);
    Compositor& c = saver.compositor;
    const auto bind = [&](const wl_interface* what, uint32_t most) {
        return wl_registry_bind(registry, name, what, version < most ? version : most);
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0 && version >= 4) {
        c.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        c.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        c.wmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
        xdg_wm_base_add_listener(c.wmBase, &kWmBase, &saver);
    } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
        c.viewporter = static_cast<wp_viewporter*>(bind(&wp_viewporter_interface, 1));
    } else if (std::strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        c.fractionalScale = static_cast<wp_fractional_scale_manager_v1*>(bind(&wp_fractional_scale_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !saver.seat) {
        saver.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, WL_SEAT_RELEASE_SINCE_VERSION));
        wl_seat_add_listener(saver.seat, &kSeat, &saver);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        saver.outputs.emplace_back(name, version);
        if (saver.showing) saver.AddBoard(name, version);
    } else {
        saver.idle.Bind(registry, name, interface, version);
    }
}

void GlobalRemove(void* data, wl_registry*, uint32_t name)
{
    Saver& saver = Of(data);
    saver.outputs.erase(std::remove_if(saver.outputs.begin(), saver.outputs.end(), [&](auto& o) { return o.first == name; }),
                        saver.outputs.end());
    for (auto board = saver.boards.begin(); board != saver.boards.end(); ++board) {
        if ((*board)->registryId != name) continue;
        if (saver.pointed == board->get()) saver.pointed = nullptr;
        saver.boards.erase(board);
        return;
    }
}
constexpr wl_registry_listener kRegistry{Global, GlobalRemove};

bool Closed(const Saver& saver)
{
    for (const auto& board : saver.boards)
        if (board->closed || board->failed) return true;
    return false;
}

bool Failed(const Saver& saver)
{
    for (const auto& board : saver.boards)
        if (board->failed) return true;
    return false;
}

// Events, then the frames that are due, until something ends it; false when
// the connection failed. In the idle mode input or the compositor's closing
// ends a showing, and the next idle time starts another.
bool Run(wl_display* display, Saver& saver, const StopSignals& stop, bool onIdle)
{
    pollfd waits[2] = {{wl_display_get_fd(display), POLLIN, 0}, {-1, 0, 0}};
    pollfd& connection = waits[0];
    for (;;) {
        if (saver.showing && (saver.ended || Closed(saver))) {
            if (!onIdle || Failed(saver)) break;
            saver.Hide();
        }
        if (!saver.showing && saver.idle.TakeIdle()) saver.Show();
        if (stop.Caught()) break;
        while (wl_display_prepare_read(display) != 0)
            if (wl_display_dispatch_pending(display) < 0) return false;
        // A full socket is flushed once the compositor reads: wait for that too.
        connection.events = wl_display_flush(display) < 0 && errno == EAGAIN ? POLLIN | POLLOUT : POLLIN;
        waits[1] = pollfd{saver.idle.BusFd(), saver.idle.BusEvents(), 0};
        int64_t due = saver.idle.BusDue();
        for (const auto& board : saver.boards) {
            const int64_t at = board->Due();
            if (at >= 0 && (due < 0 || at < due)) due = at;
        }
        const int64_t wait = due < 0 ? -1 : std::max<int64_t>(0, due - NowNs());
        const timespec timeout{time_t(wait / 1000000000), long(wait % 1000000000)};
        const int ready = ppoll(waits, waits[1].fd < 0 ? 1 : 2, wait < 0 ? nullptr : &timeout, &stop.WaitMask());
        if (ready > 0 && (connection.revents & POLLIN)) {
            if (wl_display_read_events(display) < 0) return false;
        } else {
            wl_display_cancel_read(display);
        }
        if (ready > 0 && (connection.revents & (POLLERR | POLLHUP)) && !(connection.revents & POLLIN)) return false;
        if (wl_display_dispatch_pending(display) < 0) return false;
        if (waits[1].fd >= 0 && !saver.idle.ProcessBus()) return !(saver.busLost = true);
        if (saver.ended || Closed(saver)) continue;
        const int64_t now = NowNs();
        for (const auto& board : saver.boards) {
            const int64_t at = board->Due();
            if (at >= 0 && at <= now) board->Frame(now);
        }
    }
    return wl_display_flush(display) >= 0 || errno == EAGAIN;
}

}  // namespace

int main(int argc, char** argv)
{
    CommandLine line;
    const int refused = TakeCommandLine(argc, argv, nullptr, line, kWaylandProgram);
    if (refused >= 0) return refused;

    const StopSignals stop;

    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "velloransaver-wayland: cannot connect to the compositor %s\n", name ? name : "wayland-0");
        return 1;
    }
    // Every scene is different: one random sequence, seeded once.
    SeedRuntimeRandom(uint32_t(std::time(nullptr)) ^ uint32_t(getpid()));
    int exitCode = 0;
    {
        Saver saver;
        saver.settings = &line;
        saver.registry = wl_display_get_registry(display);
        wl_registry_add_listener(saver.registry, &kRegistry, &saver);
        wl_display_roundtrip(display);
        const Compositor& c = saver.compositor;
        if (!c.compositor || !c.shm || !c.wmBase) {
            std::fprintf(stderr, "velloransaver-wayland: the compositor offers no %s\n",
                         !c.compositor ? "wl_compositor 4" : !c.shm ? "wl_shm" : "xdg_wm_base");
            exitCode = 1;
        } else if (line.onIdle && !saver.idle.Watch(saver.seat, line.onIdle * 1000)) {
            std::fputs("velloransaver-wayland: --on-idle: neither the compositor (ext_idle_notifier_v1, org_kde_kwin_idle) "
                       "nor the session bus (org.gnome.Mutter.IdleMonitor) tells when the seat is idle\n", stderr);
            exitCode = 1;
        } else {
            if (!line.onIdle) saver.Show();
            if (!Run(display, saver, stop, line.onIdle != 0)) {
                const int error = wl_display_get_error(display);
                if (saver.busLost) std::fputs("velloransaver-wayland: lost the session bus\n", stderr);
                else std::fprintf(stderr, "velloransaver-wayland: lost the compositor: %s\n", std::strerror(error ? error : EPIPE));
                exitCode = 1;
            }
            for (const auto& board : saver.boards) {
                if (!board->failed || exitCode) continue;
                std::fprintf(stderr, "velloransaver-wayland: cannot make a buffer in shared memory: %s\n", std::strerror(board->failed));
                exitCode = 1;
            }
        }
        saver.Hide();
        ReleasePointer(saver);
        ReleaseKeyboard(saver);
        if (saver.seat && wl_seat_get_version(saver.seat) >= WL_SEAT_RELEASE_SINCE_VERSION) wl_seat_release(saver.seat);
        else if (saver.seat) wl_seat_destroy(saver.seat);
        if (c.fractionalScale) wp_fractional_scale_manager_v1_destroy(c.fractionalScale);
        if (c.viewporter) wp_viewporter_destroy(c.viewporter);
        if (c.wmBase) xdg_wm_base_destroy(c.wmBase);
        if (c.shm) wl_shm_destroy(c.shm);
        if (c.compositor) wl_compositor_destroy(c.compositor);
        wl_registry_destroy(saver.registry);
    }
    wl_display_disconnect(display);
    stop.EndBySignal();
    return exitCode;
}
