// The uninstall deletes its own file and nothing else, whatever its name holds, whatever the command
// processor's policy, and while another uninstall's batch runs. Imports are redirected where Wine is
// unlike Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <string>

#include "app/saver_app.h"
#include "imports.h"
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

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

int Batches()
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((wt::WindowsDir() + "\\uninstss*.bat").c_str(), &found);
    int count = 0;
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) ++count;
    return FindClose(search), count;
}

TEST(Uninstall, DeletesItsOwnFileAndNoOther)
{
    realShortPath = wt::ReplaceImport("kernel32.dll", "GetShortPathNameW", &ShortPath);
    realCreateProcess = wt::ReplaceImport("kernel32.dll", "CreateProcessA", &CreateProcessUnderPolicy);
    // Beyond the console's code page, Savār.scr comes out as Sav?r.scr or as the look-alike Savar.scr; an
    // unmatched ! goes under delayed expansion.
    const struct { const wchar_t *name, *sibling; bool shortNames, gone, anotherRuns; } rows[] = {
        {L"Sav\u0101r.scr", L"Savar.scr", false, false, false}, {L"Sav\u0101r.scr", L"Savar.scr", true, true, false},
        {L"Sav!r.scr", L"Savr.scr", false, true, false}, {L"Saver.scr", L"Savar.scr", true, true, true}};
    const std::wstring folder = L"C:\\names\\";
    const std::string batch = wt::WindowsDir() + "\\uninstss.bat";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        const std::wstring program = folder + row.name, sibling = folder + row.sibling;
        for (const std::wstring& path : {program, sibling}) CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        // Another uninstall's batch, held by its command interpreter as ours is.
        HANDLE running = row.anotherRuns && wt::WriteFileBytes(batch, "first")
                             ? CreateFileA(batch.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        shortNames = row.shortNames;
        theApp.Uninstall(program.c_str());
        EXPECT_TRUE(wt::WaitUntil([&] { return Batches() == row.anotherRuns && Exists(program) != row.gone; }, 30000))
            << i << ": the program not " << (row.gone ? "gone" : "kept") << ", or a batch left";
        std::string first;
        EXPECT_TRUE(Exists(sibling) && (!row.anotherRuns || (wt::ReadFileBytes(batch, &first) && first == "first"))) << i;
        CloseHandle(running), DeleteFileA(batch.c_str()), DeleteFileW(program.c_str()), DeleteFileW(sibling.c_str());
    }
    wt::ReplaceImport("kernel32.dll", "GetShortPathNameW", realShortPath);
    wt::ReplaceImport("kernel32.dll", "CreateProcessA", realCreateProcess);
}

}  // namespace
