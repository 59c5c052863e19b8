#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/settings_store.h"

namespace {

// A registry section in memory that records what was asked of it.
class FakeProfile : public SettingsProfile {
public:
    std::map<std::string, uint32_t> stored;
    std::vector<std::string> reads, writes;

    uint32_t Read(const char* name, int32_t defaultValue) override
    {
        reads.push_back(name);
        auto found = stored.find(name);
        return found == stored.end() ? static_cast<uint32_t>(defaultValue) : found->second;
    }
    void Write(const char* name, int32_t value) override
    {
        writes.push_back(name);
        stored[name] = static_cast<uint32_t>(value);
    }
};

const std::vector<std::string> kRegistryOrder = {"NumBalls", "NumPins",         "BallSize",
                                                 "PinSize",  "Symmetry",        "Gravity",
                                                 "ScenarioCounter", "RefreshRate", "Sparks"};

TEST(SettingsStore, MissingValuesReadAsTheirDefaults)
{
    FakeProfile profile;
    const SaverSettings s = LoadSettings(profile);
    EXPECT_EQ(s.numBalls, 3);
    EXPECT_EQ(s.numPins, 40);
    EXPECT_EQ(s.ballSize, 30);
    EXPECT_EQ(s.pinSize, 8);
    EXPECT_EQ(s.symmetry, 1);
    EXPECT_EQ(s.gravity, 20);
    EXPECT_EQ(s.scenarioCounter, 20);
    EXPECT_EQ(s.refreshRate, 18);
    EXPECT_EQ(s.sparks, 1);
}

TEST(SettingsStore, ReadsAndWritesAllNineInRegistryOrder)
{
    FakeProfile profile;
    StoreSettings(profile, LoadSettings(profile));
    EXPECT_EQ(profile.reads, kRegistryOrder);
    EXPECT_EQ(profile.writes, kRegistryOrder);
}

TEST(SettingsStore, EachValueLandsInItsOwnField)
{
    FakeProfile profile;
    for (size_t i = 0; i < kRegistryOrder.size(); ++i) profile.stored[kRegistryOrder[i]] = 101 + uint32_t(i);
    const SaverSettings s = LoadSettings(profile);
    EXPECT_EQ(s.numBalls, 101);
    EXPECT_EQ(s.numPins, 102);
    EXPECT_EQ(s.ballSize, 103);
    EXPECT_EQ(s.pinSize, 104);
    EXPECT_EQ(s.symmetry, 105);
    EXPECT_EQ(s.gravity, 106);
    EXPECT_EQ(s.scenarioCounter, 107);
    EXPECT_EQ(s.refreshRate, 108);
    EXPECT_EQ(s.sparks, 109);
}

TEST(SettingsStore, ValuesOutsideTheRangesSurviveARoundTrip)
{
    // -1 is what an empty list stores; huge values come from elsewhere.
    FakeProfile profile;
    profile.stored = {{"Symmetry", 0xFFFFFFFFu}, {"Sparks", 3}, {"BallSize", 0x80000000u}, {"Gravity", 0}};
    const SaverSettings s = LoadSettings(profile);
    EXPECT_EQ(s.symmetry, -1);
    EXPECT_EQ(s.sparks, 3);
    EXPECT_EQ(s.ballSize, INT32_MIN);
    EXPECT_EQ(s.gravity, 0);

    FakeProfile copy;
    StoreSettings(copy, s);
    for (const auto& [name, value] : profile.stored) EXPECT_EQ(copy.stored[name], value) << name;
}

}  // namespace
