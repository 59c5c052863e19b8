// The idle mode's trigger: the compositor's word that the seat has had no
// input for a while, through ext_idle_notifier_v1 or, where only that is
// offered (KWin, wlroots compositors before it), KDE's org_kde_kwin_idle.
// Both leave out the time during which an application inhibits idle, as the
// compositor counts it.
#pragma once
#include <wayland-client.h>

#include <cstdint>

struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

class IdleWatch {
public:
    IdleWatch() = default;
    ~IdleWatch();
    IdleWatch(const IdleWatch&) = delete;
    IdleWatch& operator=(const IdleWatch&) = delete;

    // A global of the registry: true when it is one of the idle protocols, now bound.
    bool Bind(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    // Watches the seat for that many milliseconds without input; false when
    // the compositor offers neither protocol.
    bool Watch(wl_seat* seat, uint32_t milliseconds);
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
    bool idle_ = false;
};
