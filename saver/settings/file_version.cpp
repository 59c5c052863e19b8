#include "settings/file_version.h"

#include <windows.h>

#include <vector>

#include "settings/version_text.h"

std::string FormatFileVersion()
{
    const std::string unknown = "Unknown";
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(GetModuleHandleA(nullptr), path, MAX_PATH);
    // A truncated path names another file, if any.
    if (length == 0 || length >= MAX_PATH) return unknown;

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return unknown;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) return unknown;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return unknown;
    return FormatVersionNumbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}
