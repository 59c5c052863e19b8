// A stand-in for a system function that the program imports, for tests that model what Wine does not show.
#pragma once
#include <windows.h>

#include <cstring>

namespace wt {

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

}  // namespace wt
