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
    const char* command = "C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL";
    const struct {
        int refuse;  // which value the key refuses; 0 none
        const char* command;
        const char* values;
        bool removed;
    } cases[] = {{0, command, "DisplayName;UninstallString;", false},
                 {1, command, "", true},
                 {2, command, "DisplayName;", true},
                 {0, nullptr, "", true}};  // the command did not fit
    for (const auto& c : cases) {
        FakeKey key(c.refuse);
        EXPECT_EQ(RecordUninstallEntry(key, "Velloran Saver", c.command), !c.removed) << c.refuse;
        EXPECT_EQ(key.values, c.values) << c.refuse;
        EXPECT_EQ(key.removed, c.removed) << c.refuse;
    }
}

}  // namespace
