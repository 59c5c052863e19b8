// The screensaver's application object: picks the mode from the command line
// and runs it. One static instance, constructed before anything else runs.
#pragma once
#include <windows.h>

#include "framework/application.h"
#include "settings/settings_table.h"

class SaverApp : public Application, public SettingsReader {
public:
    SaverApp();

    // A stored setting as the scene set-up and the views use it: the policy,
    // the user's own or the machine's default, kept within the range the
    // options dialog offers.
    uint32_t ReadSetting(SettingId which) override;

    // The options dialog, modal to owner when that names a window (Screen
    // Saver Settings'); stores the settings when it ends with OK.
    void Configure(HWND owner);

    // Writes the self-deleting batch file, whole and new, into the Windows
    // directory; on success batchPath (MAX_PATH bytes) holds its path and
    // held a handle that keeps other runs from writing it, for the command
    // interpreter to inherit. The batch deletes the uninstall entry too when
    // deleteEntry is set, once the executable is gone. When the file cannot
    // be created, or the batch cannot name the executable exactly, the
    // system's last error says why.
    bool WriteUninstallBatch(char* batchPath, const wchar_t* executablePath, bool deleteEntry, HANDLE* held);

    // The uninstall mode for the program at this path: the file renamed and
    // its entry deleted, and the batch that deletes the file started (or,
    // for a file held without sharing, the batch that deletes both); or one
    // elevated restart.
    void Uninstall(const wchar_t* self);

protected:
    bool Start() override;

private:
    bool RunPreview(const char* handleArgument);
    bool RunFullScreen();
    void RunUninstall();

    uint32_t seed_;  // of the one random sequence
};

// Where the settings live: HKEY_CURRENT_USER\Software\<this>\<app name>\Settings.
constexpr const char kRegistryRoot[] = "Velloran Screen Saver";
// The installer's uninstall entry, named after its display name.
constexpr const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velloran Saver";
