#include "wayland/idle_watch.h"

#include <cstring>

#include "ext-idle-notify-v1.h"
#include "kde-idle.h"

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
};

IdleWatch::~IdleWatch()
{
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
    return false;
}
