#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "command_line.h"
#include "uninstall_entry.h"
#include "version_pack.h"

TEST(PackFileVersion, PacksOneBytePerComponentInVersionOrder)
{
    const std::tuple<const char*, const char*, std::uint32_t> cases[] = {
        {"Above255KeepsLowByte", "1, 0, 256, 0", 0x01000000}, {"HexAndOctal", "0x1F.010.7.9", 0x1F080709},
        {"EmptyComponentStops", "1,,2", 0x01000000}, {"FifthIgnored", "1.2.3.4.5", 0x01020304},
        {"BlanksAndWords", "  7 beta, 8", 0x07080000}, {"Negative", "-1.0", 0xFF000000}, {"NoNumber", "abc", 0}};
    for (auto [name, text, packed] : cases) EXPECT_EQ(PackFileVersion(&std::string(text)[0]), packed) << name;
}

// Refuses the uninstall command, but takes a null one, so that a null command passed on shows.
struct RefusingKey : EntryKey {
    bool SetString(const char* name, const char* value) override { return !value || std::string(name) != "UninstallString"; }
    void Remove() override { removed = true; }
    bool removed = false;
};

TEST(RecordUninstallEntry, NeverLeavesANameWithoutItsCommand)
{
    for (const char* command : {"C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL", static_cast<const char*>(nullptr)}) {
        RefusingKey key;
        EXPECT_FALSE(RecordUninstallEntry(key, "Velloran Saver", command));
        EXPECT_TRUE(key.removed) << (command ? "its command refused" : "no command");
    }
}

// Only whole words count; the machine-wide run's own switch only as the installer writes it.
TEST(PlanInstall, AsksAtMostOnceAndNeverWhenSilent)
{
    constexpr InstallPlan E = InstallPlan::Everything, A = InstallPlan::AskForMachineWide,
                          M = InstallPlan::MachineWideOnly, N = InstallPlan::NoRights;
    const std::tuple<const char*, InstallPlan, InstallPlan> cases[] = {  // arguments, plan with rights, without
        {"", E, A}, {nullptr, E, A}, {"/Silent", E, A}, {"x/S", E, A}, {"\"/S\"", E, A}, {"/machinewide", E, A},
        {"/S", E, N}, {"/s", E, N}, {" \t/S\t", E, N}, {"/x /S", E, N}, {"/S /MACHINEWIDE", M, N}};
    for (const auto& [arguments, withRights, without] : cases) {
        const InstallRun run = ReadInstallRun(arguments);
        EXPECT_EQ(std::make_pair(PlanInstall(run, true), PlanInstall(run, false)), std::make_pair(withRights, without))
            << (arguments ? arguments : "null");
    }
}
