// The configure mode: the options dialog over the stored settings.
#include <windows.h>
#include <commctrl.h>

#include "app/saver_app.h"
#include "settings/options_dialog.h"
#include "settings/setting_levels.h"

namespace {

// The dialog shows the user's stored values as they are, in range or not,
// and stores what it holds, bit for bit, except what policy fixes: that is
// the administrator's, not the user's. False when the dialog could not be
// created.
bool RunOptionsDialog(SaverApp& app, HWND owner)
{
    OptionsDialog dialog(owner);
    for (int i = 0; i < kSettingCount; ++i) {
        const ResolvedSetting setting = ReadResolvedSetting(kRegistryRoot, app.AppName(), SettingId{i});
        dialog.saverSettings.values[i] = static_cast<int32_t>(setting.value);
        dialog.fixedSettings[i] = setting.fixed;
    }
    Window::SetMain(&dialog);
    const INT_PTR ended = dialog.DoModal();
    if (ended == IDOK) {
        for (int i = 0; i < kSettingCount; ++i) {
            if (!dialog.fixedSettings[i])
                app.WriteProfileInt(kSettingsSection, kSettings[i].name, dialog.saverSettings.values[i]);
        }
    }
    return ended != -1;
}

}  // namespace

void SaverApp::Configure(HWND owner)
{
    // The dialog's sliders are common controls: their class must exist first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // Modal to Screen Saver Settings, which names its window: its Settings
    // button cannot open a second dialog, and the dialog has no taskbar
    // button of its own. A window that the dialog cannot belong to (another
    // desktop's, say) leaves it without an owner, as a handle that names no
    // window does. (Of a child window the system makes its top-level window
    // the owner.)
    if (owner && !IsWindow(owner)) owner = nullptr;
    if (!RunOptionsDialog(*this, owner) && owner) RunOptionsDialog(*this, nullptr);
}
