#include "framework/application.h"

#include <cstdlib>

namespace {
Application* current = nullptr;
}

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

HINSTANCE Application::Instance() const { return GetModuleHandleA(nullptr); }

const std::string& Application::AppName()
{
    if (appName_.empty()) {
        char path[MAX_PATH] = {};
        DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string name(path, len < MAX_PATH ? len : 0);
        name = name.substr(name.find_last_of("\\/:") + 1);  // npos + 1 is 0
        const size_t dot = name.find_last_of('.');
        if (dot != std::string::npos) name.erase(dot);
        appName_ = name;
    }
    return appName_;
}

int Application::ArgCount() const { return __argc; }

const char* const* Application::Args() const { return __argv; }

void Application::SetRegistryKey(const char* key) { registryKey_ = key ? key : ""; }

std::string Application::SectionKeyPath(const char* section)
{
    return "Software\\" + registryKey_ + "\\" + AppName() + "\\" + section;
}

uint32_t Application::GetProfileInt(const char* section, const char* entry, int defaultValue)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionKeyPath(section).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return static_cast<uint32_t>(defaultValue);
    DWORD value = 0, type = 0, size = sizeof value;
    LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return static_cast<uint32_t>(defaultValue);
    return value;
}

bool Application::WriteProfileInt(const char* section, const char* entry, int value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionKeyPath(section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD data = static_cast<DWORD>(value);
    LONG rc = RegSetValueExA(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
