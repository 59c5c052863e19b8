#include "framework/application.h"

#include <cstdlib>
#include <cstring>

namespace {
Application* current = nullptr;

// Copies text to the end of the zero-terminated buffer if it fits.
bool Append(char* buffer, size_t size, const char* text)
{
    const size_t used = std::strlen(buffer), length = std::strlen(text);
    if (used + length >= size) return false;
    std::memcpy(buffer + used, text, length + 1);
    return true;
}
}  // namespace

Application::Application() { current = this; }

Application::~Application()
{
    if (current == this) current = nullptr;
}

Application* Application::Current() { return current; }

int Application::Run()
{
    if (!Start()) return 0;
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

const char* Application::AppName()
{
    if (!appName_[0]) {
        char path[MAX_PATH] = {};
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return appName_;  // a truncated path names another file
        // The path comes back in the form the program was started by: the
        // system starts the active saver by the short one. One file is one
        // name, whichever form started it; a copy really renamed has its own.
        char longPath[MAX_PATH];
        length = GetLongPathNameA(path, longPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH) std::strcpy(path, longPath);
        const char* name = path;
        for (const char* c = path; *c; ++c) {
            if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
        }
        std::strcpy(appName_, name);
        char* dot = std::strrchr(appName_, '.');
        if (dot) *dot = '\0';
    }
    return appName_;
}

int Application::ArgCount() const { return __argc; }

const char* const* Application::Args() const { return __argv; }

void Application::SetRegistryKey(const char* key)
{
    registryKey_[0] = '\0';
    Append(registryKey_, sizeof registryKey_, key ? key : "");
}

bool Application::SectionKeyPath(const char* section, char (&path)[512])
{
    path[0] = '\0';
    return Append(path, sizeof path, "Software\\") && Append(path, sizeof path, registryKey_) &&
           Append(path, sizeof path, "\\") && Append(path, sizeof path, AppName()) &&
           Append(path, sizeof path, "\\") && Append(path, sizeof path, section);
}

bool Application::WriteProfileInt(const char* section, const char* entry, int value)
{
    char path[512];
    HKEY key;
    if (!SectionKeyPath(section, path) ||
        RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    LONG rc = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
