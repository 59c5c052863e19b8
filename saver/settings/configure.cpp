// The configure mode: the options dialog over the stored settings.
#include <windows.h>
#include <commctrl.h>

#include "app/saver_app.h"
#include "settings/options_dialog.h"

void SaverApp::Configure()
{
    // The dialog's sliders are common controls: their class must exist first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    // The dialog shows the stored values as they are, in range or not, and
    // stores what it holds, bit for bit.
    OptionsDialog dialog(nullptr);
    for (int i = 0; i < kStoredSettingCount; ++i) {
        const StoredSetting& setting = kStoredSettings[i];
        dialog.saverSettings.*kSettingFields[i] =
            static_cast<int32_t>(GetProfileInt(kSettingsSection, setting.name, setting.defaultValue));
    }
    mainWindow = &dialog;
    if (dialog.DoModal() == IDOK) {
        for (int i = 0; i < kStoredSettingCount; ++i)
            WriteProfileInt(kSettingsSection, kStoredSettings[i].name, dialog.saverSettings.*kSettingFields[i]);
    }
    // The dialog's window is gone, but should it not be, the pointer must not outlive the object.
    if (mainWindow == &dialog) mainWindow = nullptr;
}
