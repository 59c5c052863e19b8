#include "command_line.h"

namespace {

bool SameWord(const char* word, int length, const char* expected, bool anyCase)
{
    for (int i = 0; i < length; ++i) {
        const char c = anyCase && word[i] >= 'a' && word[i] <= 'z' ? char(word[i] - 'a' + 'A') : word[i];
        if (expected[i] == '\0' || c != expected[i]) return false;
    }
    return expected[length] == '\0';
}

}  // namespace

InstallRun ReadInstallRun(const char* arguments)
{
    InstallRun run = InstallRun::Interactive;
    const char* p = arguments ? arguments : "";
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        const char* word = p;
        while (*p && *p != ' ' && *p != '\t') ++p;
        const int length = int(p - word);
        if (SameWord(word, length, kMachineWideSwitch, false)) return InstallRun::MachineWide;
        if (SameWord(word, length, "/S", true)) run = InstallRun::Silent;
    }
    return run;
}

InstallPlan PlanInstall(InstallRun run, bool hasRights)
{
    if (run == InstallRun::MachineWide) return hasRights ? InstallPlan::MachineWideOnly : InstallPlan::NoRights;
    if (hasRights) return InstallPlan::Everything;
    return run == InstallRun::Silent ? InstallPlan::NoRights : InstallPlan::AskForMachineWide;
}
