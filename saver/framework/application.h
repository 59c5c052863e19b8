// The application object: one static instance per program, constructed before
// the entry point runs. The entry calls Run, which calls Start once; a true
// result runs the message loop until the quit message.
#pragma once
#include <windows.h>

#include <cstdint>

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current();

    // Start, then the message loop if Start asks for it. Returns the exit code:
    // the quit message's code, or 0 when no loop ran.
    int Run();

    // The running executable's file name, in its long form, without folder
    // and last extension.
    const char* AppName();

    int ArgCount() const;
    const char* const* Args() const;

    // Settings live under HKEY_CURRENT_USER\Software\<key>\<app name>\<section>
    // (read with the machine's defaults and policy by settings/setting_levels.h).
    void SetRegistryKey(const char* key);
    bool WriteProfileInt(const char* section, const char* entry, int value);

protected:
    virtual bool Start() = 0;

private:
    // False when the path does not fit; the key then counts as missing.
    bool SectionKeyPath(const char* section, char (&path)[512]);

    char registryKey_[MAX_PATH] = {};
    char appName_[MAX_PATH] = {};
};
