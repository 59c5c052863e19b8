// Uninstall mode: the program cannot delete its own executable while it runs,
// so it leaves that to a batch file that loops until the file is gone.
#include <windows.h>

#include <cstring>
#include <string>

#include "app/saver_app.h"
#include "app/uninstall_batch.h"

namespace {

bool WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

bool SaverApp::WriteUninstallBatch(char* batchPath, const char* executablePath)
{
    char windowsDir[MAX_PATH] = {};
    const UINT dirLength = GetWindowsDirectoryA(windowsDir, MAX_PATH);
    if (dirLength == 0 || dirLength >= MAX_PATH) return false;
    std::string path = windowsDir;
    if (path.back() != '\\') path += '\\';
    path += "uninstss.bat";
    if (path.size() >= MAX_PATH) return false;
    std::memcpy(batchPath, path.c_str(), path.size() + 1);

    HANDLE file = CreateFileA(batchPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;

    // The short form keeps the command interpreter away from blanks and long
    // names; when the system cannot give one, the quoted long path still works.
    char shortPath[MAX_PATH] = {};
    const DWORD shortLength = GetShortPathNameA(executablePath, shortPath, MAX_PATH);
    const std::string target = (shortLength > 0 && shortLength < MAX_PATH) ? shortPath : executablePath;
    const std::string text = UninstallBatchText(target);

    // The first line decides success; the rest is written as well as it goes.
    const size_t firstLine = text.find('\n') + 1;
    if (!WriteAll(file, text.substr(0, firstLine))) {
        CloseHandle(file);
        return false;
    }
    size_t start = firstLine;
    while (start < text.size()) {
        const size_t end = text.find('\n', start) + 1;
        WriteAll(file, text.substr(start, end - start));
        start = end;
    }
    CloseHandle(file);
    return true;
}

void SaverApp::RunUninstall(const char* executablePath)
{
    char batchPath[MAX_PATH] = {};
    if (!WriteUninstallBatch(batchPath, executablePath)) return;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    // Quoted, so that a Windows directory with blanks still runs the right file.
    const std::string command = std::string("\"") + batchPath + "\"";
    WinExec(command.c_str(), SW_HIDE);
}
