// The configure mode: the options dialog over the stored settings.
#include <windows.h>
#include <commctrl.h>

#include "app/saver_app.h"
#include "settings/options_dialog.h"
#include "settings/setting_levels.h"

void SaverApp::Configure()
{
    // The dialog's sliders are common controls: their class must exist first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The dialog shows the user's stored values as they are, in range or not,
    // and stores what it holds, bit for bit, except what policy fixes: that
    // is the administrator's, not the user's.
    OptionsDialog dialog(nullptr);
    for (int i = 0; i < kSettingCount; ++i) {
        const ResolvedSetting setting = ReadResolvedSetting(kRegistryRoot, AppName(), SettingId{i});
        dialog.saverSettings.values[i] = static_cast<int32_t>(setting.value);
        dialog.fixedSettings[i] = setting.fixed;
    }
    Window::SetMain(&dialog);
    if (dialog.DoModal() == IDOK) {
        for (int i = 0; i < kSettingCount; ++i) {
            if (!dialog.fixedSettings[i])
                WriteProfileInt(kSettingsSection, kSettings[i].name, dialog.saverSettings.values[i]);
        }
    }
}
