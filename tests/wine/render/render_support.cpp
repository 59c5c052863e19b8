#include "render_support.h"

#include <tlhelp32.h>

#include <vector>

#include "app/saver_app.h"

// In-process views read their settings through the application object,
// under the same registry root as the screensaver's.
static SaverApp theApp;
static const bool registryRootSet = (theApp.SetRegistryKey("Velloran Screen Saver"), true);

namespace rt {

namespace {
bool quitSeen = false;
WPARAM quitCode = 0;
}  // namespace

bool TakeQuit(WPARAM* code)
{
    const bool seen = quitSeen;
    if (seen && code) *code = quitCode;
    quitSeen = false;
    return seen;
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quitSeen = true;
                quitCode = msg.wParam;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (cond()) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent < 10 ? timeoutMs - spent : 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}

double NowMs()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) * 1000.0 / double(f.QuadPart);
}

int ThreadCount()
{
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 te = {};
    te.dwSize = sizeof te;
    int count = 0;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te)) {
        if (te.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    CloseHandle(snap);
    return count;
}

long HeapBlockCount()
{
    std::vector<HANDLE> heaps(256);
    const DWORD n = GetProcessHeaps(DWORD(heaps.size()), heaps.data());
    long busy = 0;
    for (DWORD i = 0; i < n && i < heaps.size(); ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        if (!HeapLock(heaps[i])) continue;
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++busy;
        }
        HeapUnlock(heaps[i]);
    }
    return busy;
}

long HandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return long(count);
    // Not every system tells (some say 0); the slot a new handle gets is the lowest free
    // one, which leaked handles push up.
    HANDLE probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!probe) return -1;
    const long slot = long(reinterpret_cast<uintptr_t>(probe) / 4);
    CloseHandle(probe);
    return slot;
}

}  // namespace rt
