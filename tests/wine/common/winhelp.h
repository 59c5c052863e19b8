// Helpers for Windows tests that drive our programs from outside; every wait has a deadline.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace wt {

std::string Artefact(const char* fileName);  // the built programs sit beside the test program
std::string WindowsDir();

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs);
bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs);

class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();  // terminates a process that is still running
    bool Start(const std::string& commandLine);  // quote the program path yourself
    bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr);  // true once it has ended
    bool Running() const;
    DWORD Id() const { return id_; }

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

std::string Quote(const std::string& path);

// A visible top-level window with this exact caption (of process pid unless 0).
HWND WaitForWindow(const char* caption, DWORD timeoutMs, DWORD pid = 0);
std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
std::string MessageBoxText(HWND box);
void PressButton(HWND dialog, int id);  // as a click would

bool RegKeyExists(HKEY root, const char* key);
bool RegReadString(HKEY root, const char* key, const char* value, std::string* out);
bool RegReadDword(HKEY root, const char* key, const char* value, DWORD* out);
bool RegWriteDword(HKEY root, const char* key, const char* value, DWORD data);
void RegRemoveTree(HKEY root, const char* key);

bool FileExists(const std::string& path);
bool ReadFileBytes(const std::string& path, std::string* out);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadIniString(const char* file, const char* section, const char* key);

struct Screen {  // pixels as 0x00BBGGRR
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};
Screen CaptureScreen();  // every monitor: on one, the primary's pixels from (0, 0)

}  // namespace wt
