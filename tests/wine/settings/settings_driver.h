// Drives the built screensaver's options dialog from outside: starts it in
// configure mode, moves sliders as a drag would, reads labels and lists, and
// reads the settings it stored.
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "winhelp.h"

namespace st {

constexpr char kOptionsCaption[] = "VelloranSaver Options";
constexpr char kAboutCaption[] = "About VelloranSaver";
constexpr DWORD kWaitMs = 15000;

// Where a screensaver of this base name keeps its settings.
std::string SettingsKey(const char* appName = "VelloranSaver");

// Every value stored under the settings key, by name.
std::map<std::string, DWORD> StoredSettings(const char* appName = "VelloranSaver");
void StoreSetting(const char* name, DWORD value, const char* appName = "VelloranSaver");

// The nine defaults, as OK stores them when nothing was stored before.
const std::map<std::string, DWORD>& DefaultSettings();

class OptionsRun {
public:
    // Starts the program (beside this test) with the argument and waits for
    // its options dialog. False when it does not appear in time.
    bool Open(const char* program = "VelloranSaver.scr", const char* argument = "/c");

    HWND Dialog() const { return dialog_; }
    DWORD ProcessId() const { return process_.Id(); }
    std::string Label(int id) const { return wt::ItemText(dialog_, id); }
    // Polls until the control shows this text.
    bool WaitForLabel(int id, const std::string& text) const;

    // The slider takes the position and redraws; the notifications of the
    // redraw are what the dialog listens to, as with a drag.
    void MoveSlider(int sliderId, int position) const;
    int SliderPos(int sliderId) const;

    int ListSelection(int comboId) const;
    void SelectListItem(int comboId, int index) const;
    std::string ListItem(int comboId, int index) const;
    int ListCount(int comboId) const;

    // True once the program has ended.
    bool WaitForExit(DWORD timeoutMs = kWaitMs);
    bool Running() const { return process_.Running(); }

private:
    wt::Process process_;
    HWND dialog_ = nullptr;
};

}  // namespace st
