#include "winhelp.h"

namespace wt {

std::string HereDir()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path);
    return s.substr(0, s.find_last_of("\\/"));
}

std::string Artefact(const char* fileName) { return HereDir() + "\\" + fileName; }

std::string WindowsDir()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    return WaitUntil(
        [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            return cond();
        },
        timeoutMs);
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

Process::~Process()
{
    if (!handle_) return;
    if (Running()) TerminateProcess(handle_, 255);
    CloseHandle(handle_);
}

bool Process::Start(const std::string& commandLine)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    handle_ = pi.hProcess;
    id_ = pi.dwProcessId;
    return true;
}

bool Process::Wait(DWORD timeoutMs, DWORD* exitCode)
{
    if (!handle_ || WaitForSingleObject(handle_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(handle_, exitCode);
    return true;
}

bool Process::Running() const
{
    return handle_ && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT;
}

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

namespace {
struct FindRequest {
    const char* caption;
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* req = reinterpret_cast<FindRequest*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    if (req->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != req->pid) return TRUE;
    }
    if (Text(window) != req->caption) return TRUE;
    req->found = window;
    return FALSE;
}
}  // namespace

HWND FindTopWindow(const char* caption, DWORD pid)
{
    FindRequest req{caption, pid, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&req));
    return req.found;
}

HWND WaitForWindow(const char* caption, DWORD timeoutMs, DWORD pid)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(caption, pid)) != nullptr; }, timeoutMs);
    return found;
}

std::string Text(HWND window)
{
    char text[1024] = {};
    // Another process's window: WM_GETTEXT through a timeout so a hung target cannot hang us.
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &len))
        return std::string();
    return std::string(text);
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

std::string MessageBoxText(HWND box)
{
    // The message text is the box's static control with id 0xFFFF.
    return ItemText(box, 0xFFFF);
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool RegKeyExists(HKEY root, const char* key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool RegReadString(HKEY root, const char* key, const char* value, std::string* out)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    char data[2048] = {};
    DWORD size = sizeof data - 1, type = 0;
    LONG rc = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    *out = data;
    return true;
}

bool RegReadDword(HKEY root, const char* key, const char* value, DWORD* out)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    DWORD size = sizeof *out, type = 0;
    LONG rc = RegQueryValueExA(k, value, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && type == REG_DWORD;
}

bool RegWriteDword(HKEY root, const char* key, const char* value, DWORD data)
{
    HKEY k;
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(k, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

void RegRemoveTree(HKEY root, const char* key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        char sub[256];
        for (;;) {
            DWORD len = sizeof sub;
            if (RegEnumKeyExA(k, 0, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            RegRemoveTree(k, sub);
        }
        RegCloseKey(k);
    }
    RegDeleteKeyA(root, key);
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadFileBytes(const std::string& path, std::string* out)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    out->clear();
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) out->append(buf, got);
    CloseHandle(f);
    return true;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

std::string ReadIniString(const char* file, const char* section, const char* key)
{
    char value[1024] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file);
    return value;
}

namespace {
Screen Capture(int x, int y, int width, int height)
{
    Screen shot;
    if (width <= 0 || height <= 0) return shot;
    shot.width = width;
    shot.height = height;
    shot.pixels.resize(size_t(width) * height);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, width, height, screen, x, y, SRCCOPY);
    GdiFlush();
    const auto* src = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < shot.pixels.size(); ++i) {
        uint32_t bgra = src[i];  // DIB pixels are 0x00RRGGBB; convert to 0x00BBGGRR
        shot.pixels[i] = ((bgra & 0xFF) << 16) | (bgra & 0xFF00) | ((bgra >> 16) & 0xFF);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return shot;
}
}  // namespace

Screen CaptureScreen()
{
    return Capture(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

Screen CaptureWindow(HWND window)
{
    RECT r;
    GetClientRect(window, &r);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return Capture(origin.x, origin.y, r.right, r.bottom);
}

bool Screen::SaveBmp(const std::string& path) const
{
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = -height;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    const DWORD dataSize = DWORD(pixels.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + dataSize;
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (uint32_t p : pixels) {
        uint32_t bgra = ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
        bytes.append(reinterpret_cast<const char*>(&bgra), 4);
    }
    return WriteFileBytes(path, bytes);
}

}  // namespace wt
