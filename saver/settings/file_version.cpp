#include "settings/file_version.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "settings/version_text.h"

namespace {

bool ReadFileVersion(const char* path, char (&text)[32])
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return false;
    void* block = std::malloc(size);
    if (!block) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    const bool found = GetFileVersionInfoA(path, 0, size, block) &&
                       VerQueryValueA(block, "\\", reinterpret_cast<void**>(&fixed), &fixedSize) && fixed &&
                       fixedSize >= sizeof(VS_FIXEDFILEINFO);
    if (found) FormatVersionNumbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS, text);
    std::free(block);
    return found;
}

}  // namespace

void FormatFileVersion(char (&text)[32])
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, MAX_PATH);
    // A truncated path names another file, if any.
    if (length == 0 || length >= MAX_PATH || !ReadFileVersion(path, text)) std::strcpy(text, "Unknown");
}
