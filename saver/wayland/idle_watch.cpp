#include "wayland/idle_watch.h"

#include <poll.h>
#include <systemd/sd-bus.h>

#include <cstring>

#include "ext-idle-notify-v1.h"
#include "kde-idle.h"

namespace {

constexpr const char* kMonitor = "org.gnome.Mutter.IdleMonitor";
constexpr const char* kMonitorPath = "/org/gnome/Mutter/IdleMonitor/Core";

}  // namespace

struct IdleWatchEvents {
    static void Idled(void* data) { static_cast<IdleWatch*>(data)->idle_ = true; }
    // Input before the board showed: the idle time starts again.
    static void Resumed(void* data) { static_cast<IdleWatch*>(data)->idle_ = false; }

    static inline const ext_idle_notification_v1_listener kNotification{
        [](void* data, ext_idle_notification_v1*) { Idled(data); },
        [](void* data, ext_idle_notification_v1*) { Resumed(data); }};
    static inline const org_kde_kwin_idle_timeout_listener kKdeTimeout{
        [](void* data, org_kde_kwin_idle_timeout*) { Idled(data); },
        [](void* data, org_kde_kwin_idle_timeout*) { Resumed(data); }};

    // mutter's watches fire each time the idle time reaches theirs; every
    // client hears every watch, so only ours counts.
    static int WatchFired(sd_bus_message* message, void* data, sd_bus_error*)
    {
        IdleWatch& watch = *static_cast<IdleWatch*>(data);
        uint32_t id = 0;
        if (sd_bus_message_read(message, "u", &id) >= 0 && id == watch.watchId_) watch.idle_ = true;
        return 0;
    }
};

IdleWatch::~IdleWatch()
{
    if (fired_) sd_bus_slot_unref(fired_);
    if (bus_) sd_bus_flush_close_unref(bus_);
    if (notification_) ext_idle_notification_v1_destroy(notification_);
    if (notifier_) ext_idle_notifier_v1_destroy(notifier_);
    if (kdeTimeout_) org_kde_kwin_idle_timeout_release(kdeTimeout_);
    if (kdeIdle_) wl_proxy_destroy(reinterpret_cast<wl_proxy*>(kdeIdle_));  // it has no destructor request
}

bool IdleWatch::Bind(wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0 && !notifier_) {
        notifier_ = static_cast<ext_idle_notifier_v1*>(wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        return true;
    }
    if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0 && !kdeIdle_) {
        kdeIdle_ = static_cast<org_kde_kwin_idle*>(wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
        return true;
    }
    return false;
}

bool IdleWatch::Watch(wl_seat* seat, uint32_t milliseconds)
{
    if (!seat) return false;
    if (notifier_) {
        notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, milliseconds, seat);
        ext_idle_notification_v1_add_listener(notification_, &IdleWatchEvents::kNotification, this);
        return true;
    }
    if (kdeIdle_) {
        kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat, milliseconds);
        org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &IdleWatchEvents::kKdeTimeout, this);
        return true;
    }
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    const bool watching =
        sd_bus_open_user(&bus_) >= 0 &&
        sd_bus_match_signal(bus_, &fired_, kMonitor, kMonitorPath, kMonitor, "WatchFired", IdleWatchEvents::WatchFired, this) >= 0 &&
        sd_bus_call_method(bus_, kMonitor, kMonitorPath, kMonitor, "AddIdleWatch", &error, &reply, "t", uint64_t(milliseconds)) >= 0 &&
        sd_bus_message_read(reply, "u", &watchId_) > 0;
    sd_bus_message_unref(reply);
    sd_bus_error_free(&error);
    return watching;
}

int IdleWatch::BusFd() const { return fired_ ? sd_bus_get_fd(bus_) : -1; }

short IdleWatch::BusEvents() const
{
    const int events = fired_ ? sd_bus_get_events(bus_) : 0;
    return short(events > 0 ? events : POLLIN);
}

int64_t IdleWatch::BusDue() const
{
    uint64_t usec = UINT64_MAX;
    if (!fired_ || sd_bus_get_timeout(bus_, &usec) < 0 || usec == UINT64_MAX) return -1;
    return int64_t(usec) * 1000;
}

bool IdleWatch::ProcessBus()
{
    int processed;
    while ((processed = sd_bus_process(bus_, nullptr)) > 0) {}
    return processed == 0;
}
