// The uninstall deletes its own file and nothing else, whatever its name holds
// and whatever the command processor's policy says. Where Wine differs from
// Windows, imports are redirected to behave as Windows does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/saver_app.h"
#include "imports.h"
#include "winhelp.h"

namespace {

SaverApp theApp;  // the framework's one application object
bool shortNames = true;
decltype(&GetShortPathNameW) realShortPath;
decltype(&CreateProcessA) realCreateProcess;

// Where 8.3 names are off, a name has no short form but itself.
DWORD WINAPI ShortPath(LPCWSTR path, LPWSTR out, DWORD size)
{
    if (shortNames) return realShortPath(path, out, size);
    lstrcpynW(out, path, int(size));
    return DWORD(lstrlenW(path));
}

// The command processor under a policy of DelayedExpansion=1, which Wine's
// does not read: as with /V:ON, unless told /V:OFF.
BOOL WINAPI CreateProcessUnderPolicy(LPCSTR program, LPSTR command, LPSECURITY_ATTRIBUTES process,
                                     LPSECURITY_ATTRIBUTES thread, BOOL inherit, DWORD flags, LPVOID environment,
                                     LPCSTR dir, LPSTARTUPINFOA startup, LPPROCESS_INFORMATION info)
{
    std::string line = command;
    if (line.find("/V:OFF") == std::string::npos) line.insert(line.find(' '), " /V:ON");
    return realCreateProcess(program, &line[0], process, thread, inherit, flags, environment, dir, startup, info);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

TEST(Uninstall, DeletesItsOwnFileAndNoOther)
{
    realShortPath = wt::ReplaceImport("kernel32.dll", "GetShortPathNameW", &ShortPath);
    realCreateProcess = wt::ReplaceImport("kernel32.dll", "CreateProcessA", &CreateProcessUnderPolicy);
    // A name beyond the console's code page comes out as Sav?r.scr, or as the
    // look-alike Savar.scr: either names the sibling. An unmatched ! goes
    // under delayed expansion: Sav!r.scr becomes the sibling Savr.scr.
    const struct { const wchar_t *name, *sibling; bool shortNames, gone; } rows[] = {
        {L"Sav\u0101r.scr", L"Savar.scr", false, false}, {L"Sav\u0101r.scr", L"Savar.scr", true, true},
        {L"Sav!r.scr", L"Savr.scr", false, true}};
    const std::wstring folder = L"C:\\names\\";
    const std::string batch = wt::WindowsDir() + "\\uninstss.bat";
    CreateDirectoryW(folder.c_str(), nullptr);
    for (const auto& row : rows) {
        const std::wstring program = folder + row.name, sibling = folder + row.sibling;
        for (const std::wstring& path : {program, sibling}) {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            CloseHandle(file);
        }
        shortNames = row.shortNames;
        theApp.Uninstall(program.c_str());
        EXPECT_TRUE(wt::WaitUntil([&] { return !wt::FileExists(batch) && Exists(program) != row.gone; }, 30000))
            << row.shortNames << ": the program not " << (row.gone ? "gone" : "kept") << ", or uninstss.bat left";
        EXPECT_TRUE(Exists(sibling)) << row.shortNames;
        DeleteFileW(program.c_str()), DeleteFileW(sibling.c_str());
    }
}

}  // namespace
