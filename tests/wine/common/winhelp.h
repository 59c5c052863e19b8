// Helpers for Windows tests that drive our programs from outside: start them,
// find their windows by caption, press buttons, read texts, the registry and
// the screen. Every wait polls with a deadline; nothing relies on a fixed sleep.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wt {

// Folder of the running test program; the built programs sit beside it.
std::string HereDir();
std::string Artefact(const char* fileName);  // HereDir() + "\\" + fileName
std::string WindowsDir();

// Polls cond every 20 ms until it holds or timeoutMs has passed.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs);
// The same, handling this thread's messages meanwhile: for tests that own
// windows which another process talks to.
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs);
void PumpFor(DWORD ms);

class Process {
public:
    Process() = default;
    ~Process();  // terminates a process that is still running
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // commandLine is passed as it stands (quote the program path yourself).
    bool Start(const std::string& commandLine);
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);  // true once it has ended
    bool Running() const;
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

std::string Quote(const std::string& path);

// A visible top-level window with this exact caption (and of this process, when
// pid is not 0), or nullptr once timeoutMs has passed.
HWND WaitForWindow(const char* caption, DWORD timeoutMs, DWORD pid = 0);
HWND FindTopWindow(const char* caption, DWORD pid = 0);
std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
// The text of a message box (its static control).
std::string MessageBoxText(HWND box);
// Presses a button of a dialog or message box as a click would.
void PressButton(HWND dialog, int id);

// Registry (32-bit view, as our programs see it).
bool RegKeyExists(HKEY root, const char* key);
bool RegReadString(HKEY root, const char* key, const char* value, std::string* out);
bool RegReadDword(HKEY root, const char* key, const char* value, DWORD* out);
bool RegWriteDword(HKEY root, const char* key, const char* value, DWORD data);
void RegRemoveTree(HKEY root, const char* key);

bool FileExists(const std::string& path);
bool ReadFileBytes(const std::string& path, std::string* out);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadIniString(const char* file, const char* section, const char* key);

// A copy of the whole screen, pixel colours as 0x00BBGGRR.
struct Screen {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
    bool SaveBmp(const std::string& path) const;
};
Screen CaptureScreen();
Screen CaptureWindow(HWND window);  // client area, via the screen

}  // namespace wt
