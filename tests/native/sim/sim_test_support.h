#pragma once
#include <deque>
#include <map>
#include <string>

#include "settings/settings_table.h"
#include "sim/random.h"
#include "sim/scene.h"

// While alive, every Rand() returns the next scripted value, then 0.
struct ScriptedRandom {
    explicit ScriptedRandom(std::deque<int> values) { Script() = std::move(values), BindRandom(&Next); }
    ~ScriptedRandom() { BindRandom(nullptr); }
    static std::deque<int>& Script() { static std::deque<int> script; return script; }
    static int Next() { int value = 0; if (!Script().empty()) value = Script().front(), Script().pop_front(); return value; }
};

struct MapSettings : SettingsReader {
    explicit MapSettings(std::map<std::string, uint32_t> init = {}) : values(std::move(init)) {}
    uint32_t ReadSetting(SettingId which) override
    {
        auto found = values.find(kSettings[which].name);
        return found == values.end() ? uint32_t(kSettings[which].defaultValue) : found->second;
    }
    std::map<std::string, uint32_t> values;
};
