// The uninstall deletes its own file and then the entry that names it, and nothing else, whatever its name holds,
// whatever stands in its way, whatever the policy says; imports are redirected where Wine is unlike Windows.
#include <gtest/gtest.h>
#include <windows.h>
#include <msi.h>

#include <cstdio>
#include <string>

#include "app/saver_app.h"
#include "winhelp.h"

namespace {

SaverApp theApp;  // the framework's one application object
bool shortNames = true;
decltype(&GetShortPathNameW) realShortPath;
decltype(&CreateProcessA) realCreateProcess;

// Where 8.3 names are off, a name's short form is itself.
DWORD WINAPI ShortPath(LPCWSTR path, LPWSTR out, DWORD size)
{
    return shortNames ? realShortPath(path, out, size) : (lstrcpynW(out, path, int(size)), DWORD(lstrlenW(path)));
}

// The command processor under a policy of DelayedExpansion=1, which Wine's does not read.
BOOL WINAPI CreateProcessUnderPolicy(LPCSTR program, LPSTR command, LPSECURITY_ATTRIBUTES process,
                                     LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                     LPCSTR dir, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info)
{
    std::string line = command;
    if (line.rfind("cmd.exe ", 0) == 0 && line.find("/V:OFF") == std::string::npos) line.insert(7, " /V:ON");
    return realCreateProcess(program, &line[0], process, thread, inherit, flags, environment, dir, startup, info);
}

// REG.EXE under the policy that prevents access to registry editing tools, which Wine's does not read: this
// program, copied in its place and preferred to Wine's own as Windows would run it, refuses as that one does.
const bool refusingRegistryTool = [] {
    if (GetModuleHandleA("reg.exe"))
        std::fputs("ERROR: Registry editing has been disabled by your administrator.\n", stderr), ExitProcess(1);
    return true;
}();

TEST(Uninstall, DeletesItsOwnFileThenItsEntryOrLeavesBothToTryAgain)
{
    realShortPath = wt::ReplaceImport("kernel32.dll", "GetShortPathNameW", &ShortPath);
    realCreateProcess = wt::ReplaceImport("kernel32.dll", "CreateProcessA", &CreateProcessUnderPolicy);
    enum Obstacle { None, BareName, HeldForEver, NoCommandInterpreter, RegistryToolsRefused, Wow64 };
    // Beyond the console's code page, Savār.scr comes out as Sav?r.scr or as the look-alike Savar.scr; an
    // unmatched ! goes under delayed expansion, and & ^ ( ) outside the quotes are the interpreter's own;
    // unexpanded, %TEMP% would name the temporary folder. owned: the entry names the program, else another copy
    // (the look-alike). Last, the 32-bit program on 64-bit Windows, whose entry is in the 64-bit view. A file held
    // a while and then let go is the case on a real 64-bit prefix below.
    const struct { const wchar_t* name; bool shortNames; Obstacle obstacle; bool owned, gone; } rows[] = {
        {L"Sav\u0101r.scr", false, None, false, false}, {L"Sav\u0101r.scr", true, None, false, true},
        {L"Sav!r&^(1).scr", false, None, true, true}, {L"%TEMP%.scr", true, BareName, true, true},
        {L"Saver.scr", true, HeldForEver, true, false},          {L"Saver.scr", true, NoCommandInterpreter, true, false},
        {L"Saver.scr", true, RegistryToolsRefused, true, true}, {L"Saver.scr", true, Wow64, true, true}};
    // Blanks and a %, so that the batch must quote the path and double its %.
    const std::string folder = "C:\\Program Files\\Velloran 100% Test\\", payload = wt::Artefact("VelloranSaver.scr");
    const std::string batch = wt::WindowsDir() + "\\uninstss.bat", batches = wt::WindowsDir() + "\\uninstss*.bat";
    const std::string interpreter = wt::WindowsDir() + "\\system32\\cmd.exe", tool = wt::WindowsDir() + "\\system32\\reg.exe";
    const std::wstring wideFolder(folder.begin(), folder.end());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());  // where the odd path is typed by its bare name
    for (const auto& row : rows) {
        const std::wstring program = wideFolder + row.name;
        const std::string name(row.name, row.name + lstrlenW(row.name));  // narrowed: the rows that read it are ASCII
        ASSERT_TRUE(CopyFileW(std::wstring(payload.begin(), payload.end()).c_str(), program.c_str(), FALSE));
        ASSERT_TRUE(wt::WriteFileBytes(folder + "Savar.scr", ""));
        const std::string command = folder + (row.owned ? name : "Savar.scr") + " -UNINSTALL";
        ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", REG_SZ, command.c_str(),
                                  DWORD(command.size() + 1)), ERROR_SUCCESS);
        ASSERT_TRUE(wt::RegWriteDword(HKEY_CURRENT_USER, wt::kSettingsKey, "NumBalls", 7));
        // A leftover batch, to be replaced rather than appended to.
        ASSERT_TRUE(row.obstacle == None || wt::WriteFileBytes(batch, "@EXIT\r\n"));
        const bool refused = row.obstacle == RegistryToolsRefused;
        ASSERT_TRUE(!refused || (MoveFileA(tool.c_str(), (tool + ".away").c_str()) && CopyFileA(wt::Artefact("wt_lifecycle.exe").c_str(), tool.c_str(), FALSE)));
        ASSERT_TRUE(!refused || RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "reg.exe", REG_SZ, "native", 7) == 0);
        HANDLE held = row.obstacle != HeldForEver ? INVALID_HANDLE_VALUE
                      : CreateFileW(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(row.obstacle != NoCommandInterpreter || MoveFileA(interpreter.c_str(), (interpreter + ".away").c_str()));
        shortNames = row.shortNames;
        if (row.obstacle == Wow64) wt::ModelWow64Registry();
        if (row.obstacle != None && row.obstacle != Wow64) {  // the real program; the odd path by its bare name, as typed in a console
            wt::Process saver;
            ASSERT_TRUE(saver.Start(wt::Quote(row.obstacle == BareName ? name : folder + name) + " -UNINSTALL"));
            EXPECT_TRUE(saver.Wait(20000)) << "the uninstall mode must end at once, whatever the batch does";
        } else {
            theApp.Uninstall(program.c_str());
        }
        // The batch goes in every case: at once when it could not start, within its bound otherwise.
        EXPECT_TRUE(wt::WaitUntil([&] { return wt::FilesMatching(batches).empty() && (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) == row.gone; }, 90000))
            << name << row.obstacle << ": a batch left, or the program not " << (row.gone ? "gone" : "kept");
        EXPECT_EQ(wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), !row.gone || !row.owned) << name << row.obstacle;
        EXPECT_TRUE(wt::FileExists(folder + "Savar.scr")) << name << row.obstacle << ": the look-alike deleted";
        DWORD balls = 0;
        EXPECT_TRUE(wt::RegReadDword(HKEY_CURRENT_USER, wt::kSettingsKey, "NumBalls", &balls) && balls == 7) << name << row.obstacle;
        CloseHandle(held), DeleteFileA(batch.c_str());
        if (row.obstacle == NoCommandInterpreter) MoveFileA((interpreter + ".away").c_str(), interpreter.c_str());
        if (refused) DeleteFileA(tool.c_str()), MoveFileA((tool + ".away").c_str(), tool.c_str()), RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "reg.exe");
        DeleteFileW(program.c_str());
        wt::RegRemoveTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
}

// The copy that the Windows Installer package installed is the package's: its uninstall hands the product to
// Windows Installer, and file and product go together. Another copy's leaves both.
TEST(Uninstall, OfThePackagesCopyRemovesTheProductWithItsFile)
{
    char system[MAX_PATH], product[39];
    const std::string msiexec = wt::Quote(std::string(system, GetSystemDirectoryA(system, MAX_PATH)) + "\\msiexec.exe");
    const auto installed = [&] { return MsiEnumRelatedProductsA("{4B48C7DC-CBAE-4C82-B874-656C96E5018E}", 0, 0, product) == ERROR_SUCCESS; };
    wt::Process install;
    ASSERT_TRUE(install.Start(msiexec + " /i " + wt::Quote(wt::Artefact("VelloranSaver.msi")) + " /qn") && install.Wait(60000));
    const std::string program = wt::WindowsDir() + "\\VelloranSaver.scr";
    ASSERT_TRUE(installed() && wt::FileExists(program));
    const std::string copy = wt::Artefact("Copy.scr");
    ASSERT_TRUE(CopyFileA(program.c_str(), copy.c_str(), FALSE));
    for (const std::string& uninstalled : {copy, program}) {
        wt::Process saver;
        ASSERT_TRUE(saver.Start(wt::Quote(uninstalled) + " -UNINSTALL") && saver.Wait(20000));
        EXPECT_TRUE(uninstalled == program || wt::WaitUntil([&] { return !wt::FileExists(copy); }, 60000)) << "the copy kept";
    }
    EXPECT_TRUE(wt::WaitUntil([&] { return !installed() && !wt::FileExists(program); }, 60000))
        << "product " << installed() << ", file " << wt::FileExists(program);
    EXPECT_TRUE(wt::FilesMatching(wt::WindowsDir() + "\\uninstss*.bat").empty());
}

// On 64-bit Windows the 32-bit program's batch runs the 32-bit command interpreter and REG.EXE, which see the
// registry's 32-bit view; the entry is in the 64-bit one. tests/wine/scripts/uninstall-wow64.sh runs this in a
// 64-bit prefix, the file held without sharing its deletion, so that the batch must delete file and entry.
TEST(Uninstall, DISABLED_OfAHeldFileOn64BitWindowsDeletesFileAndEntryOnceLetGo)
{
    const std::string program = wt::WindowsDir() + "\\VelloranSaver.scr", command = program + " -UNINSTALL";
    ASSERT_TRUE(CopyFileA(wt::Artefact("VelloranSaver.scr").c_str(), program.c_str(), FALSE));
    HKEY entry;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                              nullptr, &entry, nullptr), ERROR_SUCCESS);
    RegSetValueExA(entry, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()), DWORD(command.size() + 1));
    RegCloseKey(entry);
    HANDLE held = CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    wt::Process saver;
    ASSERT_TRUE(saver.Start(wt::Quote(program) + " -UNINSTALL") && saver.Wait(20000));
    Sleep(3000), CloseHandle(held);  // a few refused tries
    EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(program) && !wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, 60000))
        << "file " << wt::FileExists(program) << ", entry " << wt::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey);
    EXPECT_TRUE(wt::WaitUntil([] { return wt::FilesMatching(wt::WindowsDir() + "\\uninstss*.bat").empty(); }, 10000));
}

}  // namespace
