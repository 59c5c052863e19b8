// One frame composed the plain way: every disc drawn afresh in a black buffer, the wrap consumed.
#pragma once
#include <windows.h>

#include "render/frame.h"
#include "board/frame_damage.h"

namespace rt {

inline void LiteralFrame(World& world, HDC target)
{
    RECT clip;
    GetClipBox(target, &clip);
    HDC buffer = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, clip.right, clip.bottom);
    HGDIOBJ kept = SelectObject(buffer, bitmap);  // a new bitmap is black
    auto fill = [&](const Rect& r) {
        const RECT area{r.left, r.top, r.right, r.bottom};
        FillRect(buffer, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    };
    auto copy = [&](const Rect& r) {
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer, r.left, r.top, SRCCOPY);
    };
    for (Disc* ball : world.balls)
        if (ball->inPlay) ForEachBallArea(*ball, fill);
    for (Disc* pin : world.pins) {
        fill(pin->bounds);
        Draw(*pin, buffer);
    }
    for (Disc* ball : world.balls)
        if (ball->inPlay) Draw(*ball, buffer);
    EraseSparks(world.sparks, target);
    for (Disc* pin : world.pins) copy(pin->bounds);
    for (Disc* ball : world.balls) {
        if (ball->inPlay) ForEachBallArea(*ball, copy);
        ball->wrapped = ball->wrapped && !ball->inPlay;
    }
    DrawSparks(world.sparks, target);
    SelectObject(buffer, kept);
    DeleteObject(bitmap);
    DeleteDC(buffer);
}

}  // namespace rt
