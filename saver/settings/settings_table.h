// Every setting that the screensaver keeps in the user's registry, declared
// once: its value name, default and range, what kind of value it is, how the
// options dialog offers and labels it, and what the Linux programs call it.
// The dialog's controls, the Linux programs' options and usage, their
// settings file and manual pages, and the check of the policy template all
// follow from this table. Users' stored values rely on its names, defaults
// and ranges: they never change.
#pragma once
#include <array>
#include <cstdint>
#include <optional>

#include "resources/resource.h"
#include "sim/settings_reader.h"

// The profile section that holds them.
constexpr char kSettingsSection[] = "Settings";

enum class SettingKind {
    Count,       // a slider whose label shows the value itself
    Twentieths,  // a slider whose label shows the value times 0.05, two decimals (gravity)
    Choice,      // a list of "No", "Yes", "Whatever": 0 off, 1 on, 2 decided per scene
    List,        // a list whose item index is the value
};

struct Setting {
    const char* name;  // the registry value's
    int32_t defaultValue;
    int32_t minimum;  // the range the options dialog offers
    int32_t maximum;
    SettingKind kind;
    const char* label;    // as the options dialog labels its control
    const char* meaning;  // what the value means, with its unit
    const char* option;   // the Linux programs' option, without dashes; null for the Windows saver's own
    int controlId;        // the options dialog's slider or list
    int labelId;          // a slider's value label
    std::array<const char*, 3> items;  // a list's texts, in the order of their values
};

inline constexpr std::array<const char*, 3> kChoiceItems{"No", "Yes", "Whatever"};

// In the order in which every reader reads them and the options dialog writes
// them; the first kBoardSettingCount in the order of SettingId.
inline constexpr Setting kSettings[] = {
    {"NumBalls", 3, 1, 10, SettingKind::Count, "Balls: Number", "balls in a scene", "num-balls", IDC_BALLS_SLIDER,
     IDC_BALLS_LABEL, {}},
    {"NumPins", 40, 4, 200, SettingKind::Count, "Pins: Number", "pins on the board", "num-pins", IDC_PINS_SLIDER,
     IDC_PINS_LABEL, {}},
    {"BallSize", 30, 10, 200, SettingKind::Count, "Balls: Radius", "radius of every ball, in pixels", "ball-size",
     IDC_BALLSIZE_SLIDER, IDC_BALLSIZE_LABEL, {}},
    {"PinSize", 8, 6, 200, SettingKind::Count, "Pins: Radius", "radius of every pin, in pixels", "pin-size",
     IDC_PINSIZE_SLIDER, IDC_PINSIZE_LABEL, {}},
    {"Symmetry", 1, 0, 2, SettingKind::Choice, "Symmetric Pins", "whether the pins are laid out mirrored about the middle",
     "symmetry", IDC_SYMMETRY_COMBO, 0, kChoiceItems},
    {"Gravity", 20, 1, 100, SettingKind::Twentieths, "Gravity",
     "strength of gravity, in twentieths: 20 is a factor of 1.00", "gravity", IDC_GRAVITY_SLIDER, IDC_GRAVITY_LABEL, {}},
    {"ScenarioCounter", 20, 1, 100, SettingKind::Count, "Scene Duration", "length of a scene, in units of 600 frames",
     "scenario-counter", IDC_DURATION_SLIDER, IDC_DURATION_LABEL, {}},
    {"RefreshRate", 18, 3, 127, SettingKind::Count, "Refresh Rate", "the animation's period minus 1, in milliseconds",
     "refresh-rate", IDC_REFRESH_SLIDER, IDC_REFRESH_LABEL, {}},
    {"Sparks", 1, 0, 2, SettingKind::Choice, "Sparks", "whether white sparks fly where discs touch", "sparks",
     IDC_SPARKS_COMBO, 0, kChoiceItems},
    // Which monitors get a board is the Windows saver's own question: a daemon
    // that runs a program per monitor answers it for the others.
    {"Monitors", 0, 0, 1, SettingKind::List, "Monitors", "the primary monitor only, or every monitor", nullptr,
     IDC_MONITORS_COMBO, 0, {"Primary", "All"}},
};
constexpr int kSettingCount = sizeof kSettings / sizeof kSettings[0];
inline constexpr SettingId kMonitors{kBoardSettingCount};
static_assert(kSettings[kMonitors].option == nullptr && kSettings[kBoardSettingCount - 1].option != nullptr,
              "the board's settings come first, each with its option");

constexpr bool IsSlider(SettingId which)
{
    return kSettings[which].kind == SettingKind::Count || kSettings[which].kind == SettingKind::Twentieths;
}

constexpr bool IsList(SettingId which) { return !IsSlider(which); }

// The settings of one sort of control, in table order: the order in which
// the options dialog sets them up.
template <bool kSliders, size_t kCount>
constexpr std::array<SettingId, kCount> SettingsOnControls()
{
    std::array<SettingId, kCount> ids{};
    size_t n = 0;
    for (int i = 0; i < kSettingCount; ++i)
        if (IsSlider(SettingId{i}) == kSliders) ids[n++] = SettingId{i};
    return ids;
}
constexpr size_t CountSliders()
{
    size_t n = 0;
    for (int i = 0; i < kSettingCount; ++i) n += IsSlider(SettingId{i});
    return n;
}
inline constexpr auto kSliderSettings = SettingsOnControls<true, CountSliders()>();
inline constexpr auto kListSettings = SettingsOnControls<false, kSettingCount - CountSliders()>();

// The options dialog's working copy, indexed by setting. Values are signed: a
// stored DWORD outside the dialog's ranges (-1 for a list without a
// selection, say) must survive a round trip unchanged.
struct SaverSettings {
    int32_t& operator[](SettingId which) { return values[which]; }
    int32_t operator[](SettingId which) const { return values[which]; }
    int32_t values[kSettingCount] = {};
};

// A stored value as the saver uses it: within the range that the options
// dialog offers, the 32 bits taken as signed, as the dialog's sliders take
// them. A choice keeps its meaning: 0 stays off, 2 stays decided per scene,
// and any other value, which means on, becomes 1.
uint32_t ClampStoredSetting(SettingId which, uint32_t stored);

// What an administrator and the user have stored for one setting, each
// level empty when it holds no usable value.
struct SettingLevels {
    std::optional<uint32_t> policy;   // fixed for everyone on the machine
    std::optional<uint32_t> user;     // the user's own
    std::optional<uint32_t> machine;  // everyone's default on the machine
};

struct ResolvedSetting {
    uint32_t value;
    bool fixed;  // by policy: the options dialog neither offers nor stores it
};

// The policy wins over the user's own value, which wins over the machine's
// default, which wins over the built-in one. What an administrator stored is
// kept within range at once, since nobody can correct it in the dialog; the
// user's own value comes as it is, as the dialog shows it.
ResolvedSetting ResolveSetting(SettingId which, const SettingLevels& levels);
