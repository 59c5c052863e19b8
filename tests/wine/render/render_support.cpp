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

namespace {

RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void DrawDisc(Disc& disc, HDC dc)
{
    if (disc.colour == 0) return;
    HPEN pen = CreatePen(PS_SOLID, 1, disc.colour);
    HBRUSH brush = CreateSolidBrush(disc.colour);
    HGDIOBJ keptPen = SelectObject(dc, pen), keptBrush = SelectObject(dc, brush);
    disc.RecomputeBounds();
    Ellipse(dc, disc.bounds.left, disc.bounds.top, disc.bounds.right, disc.bounds.bottom);
    SelectObject(dc, keptBrush);
    SelectObject(dc, keptPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

// Last frame's segments in black, or this frame's in white while they live.
void Sparks(const SparkRing& sparks, HDC dc, bool erase)
{
    SelectObject(dc, GetStockObject(erase ? BLACK_PEN : WHITE_PEN));
    sparks.ForEachLive([&](int32_t, const std::vector<Spark>& burst) {
        if (burst.empty() || (!erase && burst[0].life <= 1)) return;
        for (int32_t i = 0; i < sparks.perBurst && size_t(i) < burst.size(); ++i) {
            const Spark& s = burst[i];
            MoveToEx(dc, erase ? s.prevX : s.x, erase ? s.prevY : s.y, nullptr);
            LineTo(dc, erase ? s.x : s.x + s.vx, erase ? s.y : s.y + s.vy);
        }
    });
}

}  // namespace

void LiteralFrame(World& world, HDC target)
{
    RECT clip;
    GetClipBox(target, &clip);
    HDC buffer = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, clip.right, clip.bottom);
    HGDIOBJ kept = SelectObject(buffer, bitmap);  // a new bitmap is black
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    auto fill = [&](const RECT& r) { FillRect(buffer, &r, black); };
    auto copy = [&](const RECT& r) {
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer, r.left, r.top, SRCCOPY);
    };
    auto ballPlaces = [](Disc& ball, auto&& visit) {
        RECT now = ToRECT(ball.bounds), before = ToRECT(ball.prevBounds), both;
        if (ball.wrapped) {
            visit(now);
            visit(before);
        } else {
            UnionRect(&both, &now, &before);
            visit(both);
        }
    };
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ballPlaces(*ball, fill);
    }
    for (Disc* pin : world.pins) {
        fill(ToRECT(pin->bounds));
        DrawDisc(*pin, buffer);
    }
    for (Disc* ball : world.balls) {
        if (ball->inPlay) DrawDisc(*ball, buffer);
    }
    Sparks(world.sparks, target, true);
    for (Disc* pin : world.pins) copy(ToRECT(pin->bounds));
    for (Disc* ball : world.balls) {
        if (!ball->inPlay) continue;
        ballPlaces(*ball, copy);
        ball->wrapped = false;
    }
    Sparks(world.sparks, target, false);
    SelectObject(buffer, kept);
    DeleteObject(black);
    DeleteObject(bitmap);
    DeleteDC(buffer);
}

}  // namespace rt
