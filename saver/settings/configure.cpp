// The configure mode: the options dialog over the stored settings.
#include <windows.h>
#include <commctrl.h>

#include "app/saver_app.h"
#include "settings/options_dialog.h"

namespace {

// The settings section of the application's registry profile.
class AppProfile : public SettingsProfile {
public:
    explicit AppProfile(Application& app) : app_(app) {}
    uint32_t Read(const char* name, int32_t defaultValue) override
    {
        return app_.GetProfileInt(kSettingsSection, name, defaultValue);
    }
    void Write(const char* name, int32_t value) override { app_.WriteProfileInt(kSettingsSection, name, value); }

private:
    Application& app_;
};

}  // namespace

void SaverApp::Configure()
{
    // The dialog's sliders are common controls: their class must exist first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    AppProfile profile(*this);
    OptionsDialog dialog(nullptr);
    dialog.saverSettings = LoadSettings(profile);
    mainWindow = &dialog;
    if (dialog.DoModal() == IDOK) StoreSettings(profile, dialog.saverSettings);
    // The dialog's window is gone, but should it not be, the pointer must not outlive the object.
    if (mainWindow == &dialog) mainWindow = nullptr;
}
