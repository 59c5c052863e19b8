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

struct RefusingKey : EntryKey {
    explicit RefusingKey(int refuse) : refuse(refuse) {}
    bool SetString(const char* name, const char*) override { return ++calls != refuse && (values += name, true); }
    void Remove() override { removed = true; }
    int refuse, calls = 0;
    std::string values;
    bool removed = false;
};

TEST(RecordUninstallEntry, NeverLeavesANameWithoutItsCommand)
{
    const char* command = "C:\\WINDOWS\\VelloranSaver.scr -UNINSTALL";
    const std::tuple<int, const char*, const char*> cases[] = {  // refused value (0 none), command, values kept
        {0, command, "DisplayNameUninstallString"}, {1, command, ""}, {2, command, "DisplayName"}, {0, nullptr, ""}};
    for (const auto& [refuse, cmd, values] : cases) {
        RefusingKey key(refuse);
        const bool kept = refuse == 0 && cmd;
        EXPECT_EQ(std::make_tuple(RecordUninstallEntry(key, "Velloran Saver", cmd), key.values, key.removed),
                  std::make_tuple(kept, std::string(values), !kept)) << refuse;
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
