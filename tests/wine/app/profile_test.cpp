// The settings store: where values live, what a missing or odd value reads as.
#include <gtest/gtest.h>

#include <string>

#include "app/saver_app.h"
#include "test_app.h"
#include "winhelp.h"

namespace {

class TestApp : public Application {
protected:
    bool Start() override { return false; }
};

const std::string kOwnKey = std::string("Software\\") + kRegistryRoot + "\\wt_app\\Settings";

class ProfileStore : public ::testing::Test {
protected:
    void SetUp() override { TestApplication().SetRegistryKey(kRegistryRoot); }
};

TEST_F(ProfileStore, MissingKeyReadsTheDefaultAndCreatesNothing)
{
    EXPECT_EQ(TestApplication().GetProfileInt(kSettingsSection, "NumBalls", 3), 3u);
    EXPECT_EQ(TestApplication().GetProfileInt(kSettingsSection, "Gravity", -1), 0xFFFFFFFFu);
    EXPECT_FALSE(wt::RegKeyExists(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryRoot).c_str()));
}

TEST_F(ProfileStore, WritesCreateTheKeysUnderTheExecutablesName)
{
    Application& app = TestApplication();
    EXPECT_EQ(app.AppName(), "wt_app");
    ASSERT_TRUE(app.WriteProfileInt(kSettingsSection, "NumBalls", 7));
    ASSERT_TRUE(app.WriteProfileInt(kSettingsSection, "Symmetry", -1));
    DWORD stored = 0;
    ASSERT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, kOwnKey.c_str(), "NumBalls", &stored));
    EXPECT_EQ(stored, 7u);
    EXPECT_EQ(app.GetProfileInt(kSettingsSection, "NumBalls", 3), 7u);
    EXPECT_EQ(app.GetProfileInt(kSettingsSection, "Symmetry", 1), 0xFFFFFFFFu);  // all 32 bits kept
}

TEST_F(ProfileStore, ValuesOfAnotherTypeReadAsMissing)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOwnKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "NumPins", 0, REG_SZ, reinterpret_cast<const BYTE*>("77"), 3);
    const DWORD four = 4;
    RegSetValueExA(key, "BallSize", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&four), sizeof four);
    const unsigned long long wide = 5;
    RegSetValueExA(key, "PinSize", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&wide), sizeof wide);
    RegCloseKey(key);

    Application& app = TestApplication();
    EXPECT_EQ(app.GetProfileInt(kSettingsSection, "NumPins", 40), 40u);
    EXPECT_EQ(app.GetProfileInt(kSettingsSection, "BallSize", 30), 30u);
    EXPECT_EQ(app.GetProfileInt(kSettingsSection, "PinSize", 8), 8u);
}

// Run in a copy of this program under another name by the test below.
TEST_F(ProfileStore, DISABLED_WriteMarkerUnderOwnName)
{
    ASSERT_TRUE(TestApplication().WriteProfileInt(kSettingsSection, "NumBalls", 5));
}

TEST_F(ProfileStore, AnotherFileNameKeepsAnotherSetOfSettings)
{
    const std::string copy = wt::HereDir() + "\\Renamed Copy.exe";
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    wt::Process child;
    ASSERT_TRUE(child.Start(wt::Quote(copy) +
                            " --gtest_also_run_disabled_tests --gtest_filter=ProfileStore.DISABLED_WriteMarkerUnderOwnName"));
    DWORD code = 1;
    ASSERT_TRUE(child.Wait(60000, &code));
    ASSERT_EQ(code, 0u);

    DWORD stored = 0;
    EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER,
                                 (std::string("Software\\") + kRegistryRoot + "\\Renamed Copy\\Settings").c_str(),
                                 "NumBalls", &stored));
    EXPECT_EQ(stored, 5u);
    EXPECT_FALSE(wt::RegReadDword(HKEY_CURRENT_USER, kOwnKey.c_str(), "NumBalls", &stored));
    EXPECT_EQ(TestApplication().GetProfileInt(kSettingsSection, "NumBalls", 3), 3u);
}

}  // namespace

Application& TestApplication()
{
    static TestApp app;
    return app;
}
