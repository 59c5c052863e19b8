// The idle mode's trigger: the compositor's word that the seat has had no
// input for a while, through ext_idle_notifier_v1 or, where only that is
// offered (KWin, wlroots compositors before it), KDE's org_kde_kwin_idle; or,
// where the compositor offers neither (GNOME's mutter), through mutter's own
// idle monitor on the session bus. Each leaves out the time during which an
// application inhibits idle, as the desktop counts it.
//
// The bus is sd-bus's: libsystemd is on every systemd system already, and its
// one descriptor waits in the program's own poll beside the compositor's,
// where GDBus would bring GLib's main loop.
#pragma once
#include <wayland-client.h>

#include <cstdint>

struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;
struct sd_bus;
struct sd_bus_slot;

class IdleWatch {
public:
    IdleWatch() = default;
    ~IdleWatch();
    IdleWatch(const IdleWatch&) = delete;
    IdleWatch& operator=(const IdleWatch&) = delete;

    // A global of the registry: true when it is one of the idle protocols, now bound.
    bool Bind(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    // Watches the seat for that many milliseconds without input; false when
    // neither the compositor nor the session bus offers a way.
    bool Watch(wl_seat* seat, uint32_t milliseconds);
    // The session bus, while it is watched through that: its descriptor (or
    // -1), the poll events it waits for, and the monotonic time in
    // nanoseconds by which it must be processed again (-1: none).
    int BusFd() const;
    short BusEvents() const;
    int64_t BusDue() const;
    // What the bus has brought; false when the bus is lost.
    bool ProcessBus();
    // Whether the seat has gone idle since last asked; each time it goes idle
    // is told once, so that a showing ended by input waits for the next.
    bool TakeIdle()
    {
        const bool was = idle_;
        idle_ = false;
        return was;
    }

private:
    friend struct IdleWatchEvents;
    ext_idle_notifier_v1* notifier_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    org_kde_kwin_idle* kdeIdle_ = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
    sd_bus* bus_ = nullptr;
    sd_bus_slot* fired_ = nullptr;
    uint32_t watchId_ = 0;
    bool idle_ = false;
};
