// The installer's command line, and what a run does with the rights it has.
// Everything on the line is ignored except the switch that administrators use
// for an unattended install, and the one by which an install started without
// rights starts its machine-wide half.
#pragma once

enum class InstallRun { Interactive, Silent, MachineWide };

// The argument of the elevated second start: only the installer itself
// passes it.
constexpr char kMachineWideSwitch[] = "/MACHINEWIDE";

// From WinMain's command line (without the program's name): MachineWide when
// one of the blank-separated words is kMachineWideSwitch, else Silent when
// one is /S or /s, else Interactive.
InstallRun ReadInstallRun(const char* arguments);

// Everything: the whole install in this process. AskForMachineWide: the
// welcome and the questions here, then one elevated start for the Windows
// folder, system.ini and the uninstall entry; the user's own activation here
// again. MachineWideOnly: the elevated start's share, silent. NoRights: end
// at once, changing nothing. A run started for the machine-wide half never
// asks again, even when the rights did not come (user account control off by
// policy gives a standard user the same token again): at most one prompt.
enum class InstallPlan { Everything, AskForMachineWide, MachineWideOnly, NoRights };
InstallPlan PlanInstall(InstallRun run, bool hasRights);
