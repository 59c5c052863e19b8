// Helpers shared by the simulation tests: scripted random numbers and a
// settings store that records what was read.
#pragma once
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "sim/random.h"
#include "sim/scene.h"

// While alive, every Rand() returns the next scripted value; once the script
// has run out it returns 0 and counts the draw as an overrun.
class ScriptedRandom {
public:
    explicit ScriptedRandom(const std::vector<int>& values)
    {
        State().script.assign(values.begin(), values.end());
        State().overrun = 0;
        BindRandom(&Next);
    }
    ~ScriptedRandom() { BindRandom(nullptr); }
    ScriptedRandom(const ScriptedRandom&) = delete;
    ScriptedRandom& operator=(const ScriptedRandom&) = delete;

    size_t Left() const { return State().script.size(); }
    int Overrun() const { return State().overrun; }

private:
    struct Shared {
        std::deque<int> script;
        int overrun = 0;
    };
    static Shared& State()
    {
        static Shared shared;
        return shared;
    }
    static int Next()
    {
        Shared& s = State();
        if (s.script.empty()) {
            ++s.overrun;
            return 0;
        }
        const int value = s.script.front();
        s.script.pop_front();
        return value;
    }
};

class MapSettings : public SettingsReader {
public:
    MapSettings() = default;
    MapSettings(std::initializer_list<std::pair<const std::string, uint32_t>> init) : values(init) {}
    uint32_t ReadSetting(SettingId which) override
    {
        const StoredSetting& setting = kStoredSettings[which];
        reads.push_back(std::string(kSettingsSection) + "/" + setting.name);
        auto found = values.find(setting.name);
        return found == values.end() ? static_cast<uint32_t>(setting.defaultValue) : found->second;
    }
    std::map<std::string, uint32_t> values;
    std::vector<std::string> reads;
};

inline Rect Board(int32_t width, int32_t height) { return Rect{0, 0, width, height}; }
