#include "uninstall_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A key that refuses its nth value and notes what happens to it.
class FakeKey : public EntryKey {
public:
    explicit FakeKey(int refuse) : refuse_(refuse) {}
    bool SetString(const char* name, const char*) override
    {
        if (++calls_ == refuse_) return false;
        values += std::string(name) + ";";
        return true;
    }
    void Remove() override { removed = true; }
    std::string values;
    bool removed = false;

private:
    int refuse_, calls_ = 0;
};

TEST(RecordUninstallEntry, NeverLeavesANameWithoutItsCommand)
{
    const struct {
        int refuse;
        const char* command;
        bool recorded;
        const char* values;
        bool removed;
    } cases[] = {
        {0, "C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL", true, "DisplayName;UninstallString;", false},
        {1, "C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL", false, "", true},
        {2, "C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL", false, "DisplayName;", true},
        {0, nullptr, false, "", true},  // the command did not fit
    };
    for (const auto& c : cases) {
        FakeKey key(c.refuse);
        EXPECT_EQ(RecordUninstallEntry(key, "Velloran Saver", c.command), c.recorded) << c.refuse;
        EXPECT_EQ(key.values, c.values) << c.refuse;
        EXPECT_EQ(key.removed, c.removed) << c.refuse;
    }
}

}  // namespace
