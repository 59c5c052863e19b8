#include "settings_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace st {

namespace {

// Every case starts with nothing stored, whatever the case before it left.
class ForgetStoredSettings : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        for (const char* app : {"VelloranSaver", "VelloranSaverNoVersion", "wt_settings"})
            wt::RegRemoveTree(HKEY_CURRENT_USER, SettingsKey(app).c_str());
    }
};

[[maybe_unused]] const bool registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetStoredSettings);
    return true;
}();

}  // namespace

std::string SettingsKey(const char* appName)
{
    return std::string("Software\\Velloran Screen Saver\\") + appName + "\\Settings";
}

std::map<std::string, DWORD> StoredSettings(const char* appName)
{
    std::map<std::string, DWORD> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey(appName).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name, type = 0, data = 0, size = sizeof data;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS)
            break;
        values[name] = type == REG_DWORD ? data : 0xDEADBEEF;
    }
    RegCloseKey(key);
    return values;
}

void StoreSetting(const char* name, DWORD value, const char* appName)
{
    wt::RegWriteDword(HKEY_CURRENT_USER, SettingsKey(appName).c_str(), name, value);
}

const std::map<std::string, DWORD>& DefaultSettings()
{
    static const std::map<std::string, DWORD> defaults = {
        {"NumBalls", 3}, {"NumPins", 40},        {"BallSize", 30},       {"PinSize", 8}, {"Symmetry", 1},
        {"Gravity", 20}, {"ScenarioCounter", 20}, {"RefreshRate", 18}, {"Sparks", 1}};
    return defaults;
}

bool OptionsRun::Open(const char* program, const char* argument)
{
    std::string command = wt::Quote(wt::Artefact(program));
    if (argument) command += std::string(" ") + argument;
    if (!process_.Start(command)) return false;
    dialog_ = wt::WaitForWindow(kOptionsCaption, kWaitMs, process_.Id());
    return dialog_ != nullptr;
}

bool OptionsRun::WaitForLabel(int id, const std::string& text) const
{
    return wt::WaitUntil([&] { return Label(id) == text; }, kWaitMs);
}

void OptionsRun::MoveSlider(int sliderId, int position) const
{
    SendMessageA(GetDlgItem(dialog_, sliderId), TBM_SETPOS, TRUE, position);
}

int OptionsRun::SliderPos(int sliderId) const
{
    return static_cast<int>(SendMessageA(GetDlgItem(dialog_, sliderId), TBM_GETPOS, 0, 0));
}

int OptionsRun::ListSelection(int comboId) const
{
    return static_cast<int>(SendMessageA(GetDlgItem(dialog_, comboId), CB_GETCURSEL, 0, 0));
}

void OptionsRun::SelectListItem(int comboId, int index) const
{
    SendMessageA(GetDlgItem(dialog_, comboId), CB_SETCURSEL, index, 0);
}

std::string OptionsRun::ListItem(int comboId, int index) const
{
    // Asked for in wide characters: an 8-bit CB_GETLBTEXT across processes
    // comes back as wide text under Wine.
    wchar_t text[256] = {};
    HWND combo = GetDlgItem(dialog_, comboId);
    if (SendMessageW(combo, CB_GETLBTEXTLEN, index, 0) >= LRESULT(sizeof text / sizeof text[0])) return "<too long>";
    if (SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text)) == CB_ERR) return "<none>";
    char narrow[512] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

int OptionsRun::ListCount(int comboId) const
{
    return static_cast<int>(SendMessageA(GetDlgItem(dialog_, comboId), CB_GETCOUNT, 0, 0));
}

bool OptionsRun::WaitForExit(DWORD timeoutMs) { return process_.Wait(timeoutMs); }

}  // namespace st
