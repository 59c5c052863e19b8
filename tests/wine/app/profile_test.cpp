// The settings store: where values live, what a missing or odd value reads as.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

SaverApp theApp;  // the framework's one application object

TEST(ProfileStore, ReadsDwordsUnderTheProgramsNameAndTheDefaultForAnythingElse)
{
    const std::string root = std::string("Software\\") + kRegistryRoot, own = root + "\\wt_app\\Settings";
    wt::RegRemoveTree(HKEY_CURRENT_USER, root.c_str());
    SaverApp& app = theApp;
    app.SetRegistryKey(kRegistryRoot);
    EXPECT_EQ(app.GetProfileInt(kSettingsSection, "NumBalls", 3), 3u);
    EXPECT_FALSE(wt::RegKeyExists(HKEY_CURRENT_USER, root.c_str())) << "reading creates nothing";
    ASSERT_TRUE(app.WriteProfileInt(kSettingsSection, "NumBalls", 7) && app.WriteProfileInt(kSettingsSection, "Symmetry", -1));
    DWORD stored = 0;
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, own.c_str(), "NumBalls", &stored) && stored == 7);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, own.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    const unsigned long long wide = 5;
    RegSetValueExA(key, "NumPins", 0, REG_SZ, reinterpret_cast<const BYTE*>("77"), 3);
    RegSetValueExA(key, "PinSize", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof wide);
    RegCloseKey(key);
    const struct {
        const char* name;
        int defaultValue;
        uint32_t expected;
    } cases[] = {{"NumBalls", 3, 7}, {"Symmetry", 1, 0xFFFFFFFFu},  // all 32 bits kept
                 {"NumPins", 40, 40}, {"PinSize", 8, 8},            // other types read as missing
                 {"Gravity", -1, 0xFFFFFFFFu}};                     // missing: the default, all 32 bits
    for (const auto& c : cases) EXPECT_EQ(app.GetProfileInt(kSettingsSection, c.name, c.defaultValue), c.expected) << c.name;
    wt::RegRemoveTree(HKEY_CURRENT_USER, root.c_str());
}

}  // namespace
