// Helpers for Windows tests that drive our programs from outside, every wait with a deadline, and stand-ins for
// the system functions a program imports, for tests that model what Wine does not show.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace wt {

inline const char kSettingsKey[] = "Software\\Velloran Screen Saver\\VelloranSaver\\Settings";

inline std::string Artefact(const char* fileName)  // the built programs sit beside the test program
{
    char path[MAX_PATH];
    const std::string s(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return s.substr(0, s.find_last_of("\\/")) + "\\" + fileName;
}

inline std::string WindowsDir() { char dir[MAX_PATH]; return std::string(dir, GetWindowsDirectoryA(dir, MAX_PATH)); }

inline bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount(); !cond(); Sleep(20))
        if (GetTickCount() - start >= timeoutMs) return false;
    return true;
}

inline bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    return WaitUntil([&] {
        for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) { TranslateMessage(&msg); DispatchMessageA(&msg); }
        return cond();
    }, timeoutMs);
}

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process()
    {
        if (!started_.hProcess) return;
        TerminateProcess(started_.hProcess, 255);  // refused harmlessly when it has ended
        CloseHandle(started_.hProcess);
    }
    bool Start(const std::string& commandLine)  // quote the program path yourself
    {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        std::string line = commandLine;
        if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &started_)) return false;
        CloseHandle(started_.hThread);
        return true;
    }
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr)  // true once it has ended
    {
        if (!started_.hProcess || WaitForSingleObject(started_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
        if (exitCode) GetExitCodeProcess(started_.hProcess, exitCode);
        return true;
    }
    DWORD Id() const { return started_.dwProcessId; }

private:
    PROCESS_INFORMATION started_ = {};
};

inline std::string Quote(const std::string& path) { return "\"" + path + "\""; }

inline std::string Text(HWND window)
{
    char text[1024] = {};  // through a timeout, so that a hung program cannot hang the test
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

// A visible top-level window with this exact caption (of process pid unless 0).
inline HWND WaitForWindow(const char* caption, DWORD timeoutMs, DWORD pid = 0)
{
    HWND found = nullptr;
    WaitUntil([&] {
        while ((found = FindWindowExA(nullptr, found, nullptr, caption)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (IsWindowVisible(found) && (!pid || owner == pid) && Text(found) == caption) return true;
        }
        return false;
    }, timeoutMs);
    return found;
}

inline std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

inline void PressButton(HWND dialog, int id)  // as a click would
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

inline bool RegKeyExists(HKEY root, const char* key)  // in the 64-bit view, also where Wow64Registry models WOW64
{
    HKEY k;
    return RegOpenKeyExA(root, key, 0, KEY_READ | KEY_WOW64_64KEY, &k) == ERROR_SUCCESS && RegCloseKey(k) == ERROR_SUCCESS;
}

inline bool RegReadDword(HKEY root, const char* key, const char* value, DWORD* out)
{
    DWORD size = sizeof *out;
    return RegGetValueA(root, key, value, RRF_RT_REG_DWORD, nullptr, out, &size) == ERROR_SUCCESS;
}

inline bool RegWriteDword(HKEY root, const char* key, const char* value, DWORD data)
{
    return RegSetKeyValueA(root, key, value, REG_DWORD, &data, sizeof data) == ERROR_SUCCESS;
}

inline void RegRemoveTree(HKEY root, const char* key) { RegDeleteTreeA(root, key); }

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Opened as streams open files, sharing reading and writing, so that a file another process holds can be read.
inline bool ReadFileBytes(const std::string& path, std::string* out)
{
    std::ifstream in(path, std::ios::binary);
    return in && (out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), !in.bad());
}

inline bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream file(path, std::ios::binary);
    return file << bytes && file.flush();
}

inline std::vector<std::string> FilesMatching(const std::string& pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) names.push_back(found.cFileName);
    FindClose(search);
    return names;
}

struct Screen {  // pixels as 0x00RRGGBB
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// What a window's client area shows; by default the desktop's, the whole screen (the tests run on one monitor).
inline Screen CaptureScreen(HWND window = GetDesktopWindow())
{
    RECT r;
    GetClientRect(window, &r);
    const int width = r.right, height = r.bottom;
    Screen shot{width, height, std::vector<uint32_t>(size_t(width) * height)};
    BITMAPINFO bi = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};  // top-down
    HDC from = GetDC(window), mem = CreateCompatibleDC(from);
    HBITMAP bitmap = CreateCompatibleBitmap(from, width, height);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, width, height, from, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    GetDIBits(mem, bitmap, 0, UINT(height), shot.pixels.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(window, from);
    return shot;
}

// Points this program's import of dll!name at standIn; returns what it pointed at, null when not imported.
template <class Function> Function ReplaceImport(const char* dll, const char* name, Function standIn)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
                std::strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD kept;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &kept);
            const auto old = reinterpret_cast<Function>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(standIn);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, kept, &kept);
            return old;
        }
    }
    return nullptr;
}

// The registry as a 32-bit program sees it on 64-bit Windows, which wine64 does not show: the keys it opens,
// creates and deletes under HKEY_LOCAL_MACHINE\Software are those under Software\WOW6432Node unless it asks
// for KEY_WOW64_64KEY (all of it here, stricter than Windows, which shares a few keys). RegGetValueA,
// RegSetKeyValueA and RegDeleteTreeA are left alone: the tests read and write the 64-bit view through them, as
// the Group Policy client and regedit do.
struct Wow64Registry {
    static std::string View(HKEY root, LPCSTR path, REGSAM access)
    {
        const std::string p = path ? path : "";
        if (root != HKEY_LOCAL_MACHINE || (access & KEY_WOW64_64KEY) || _strnicmp(p.c_str(), "Software\\", 9) != 0) return p;
        return p.substr(0, 9) + "WOW6432Node\\" + p.substr(9);
    }
    static inline decltype(&RegOpenKeyExA) open;
    static inline decltype(&RegCreateKeyExA) create;
    static inline decltype(&RegDeleteKeyExA) removeIn;
    static LSTATUS WINAPI Open(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
    {
        return open(root, View(root, path, access).c_str(), options, access, key);
    }
    static LSTATUS WINAPI Create(HKEY root, LPCSTR path, DWORD reserved, LPSTR kind, DWORD options, REGSAM access,
                                 LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
    {
        return create(root, View(root, path, access).c_str(), reserved, kind, options, access, security, key, disposition);
    }
    static LSTATUS WINAPI DeleteIn(HKEY root, LPCSTR path, REGSAM access, DWORD reserved)
    {
        return removeIn(root, View(root, path, access).c_str(), access, reserved);
    }
};

// Models WOW64's registry for this program's own calls from here on; stand-ins put in place later wrap it.
inline void ModelWow64Registry()
{
    Wow64Registry::open = ReplaceImport("advapi32.dll", "RegOpenKeyExA", &Wow64Registry::Open);
    Wow64Registry::create = ReplaceImport("advapi32.dll", "RegCreateKeyExA", &Wow64Registry::Create);
    Wow64Registry::removeIn = ReplaceImport("advapi32.dll", "RegDeleteKeyExA", &Wow64Registry::DeleteIn);
}

}  // namespace wt
