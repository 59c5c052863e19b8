#include "render/frame.h"

namespace {

void ResetMapping(HDC dc)
{
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetMapMode(dc, MM_TEXT);
}

}  // namespace

bool GdiPen::Begin()
{
    black_ = CreateSolidBrush(RGB(0, 0, 0));
    if (!black_) return false;
    UnrealizeObject(black_);
    // Copies and sparks land at the buffer's own coordinates.
    if (buffer_) ResetMapping(target_);
    return true;
}

void GdiPen::End()
{
    DeleteObject(black_);
    black_ = nullptr;
}

void GdiPen::Fill(Surface surface, const Rect& board)
{
    const Rect r = scale_.Of(board);
    const RECT rect{r.left, r.top, r.right, r.bottom};
    FillRect(On(surface), &rect, black_);
}

void GdiPen::Draw(Surface surface, const Disc& disc)
{
    const HDC dc = On(surface);
    HPEN pen = CreatePen(PS_SOLID, 1, disc.colour);
    HGDIOBJ keptPen = SelectObject(dc, pen);
    HBRUSH brush = CreateSolidBrush(disc.colour);
    HGDIOBJ keptBrush = SelectObject(dc, brush);
    const Rect b = scale_.Of(disc.bounds);
    Ellipse(dc, b.left, b.top, b.right, b.bottom);
    SelectObject(dc, keptBrush);
    SelectObject(dc, keptPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void GdiPen::Lines(const SparkSegment& s)
{
    scale_.ForEachLine(s.x0, s.y0, s.x1, s.y1, [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        MoveToEx(target_, x0, y0, nullptr);
        LineTo(target_, x1, y1);
    });
}

void GdiPen::EraseSparks(const SparkRing& sparks)
{
    SelectObject(target_, GetStockObject(BLACK_PEN));
    ForEachSparkToErase(sparks, [&](const SparkSegment& s) { Lines(s); });
}

void GdiPen::DrawSparks(const SparkRing& sparks)
{
    SelectObject(target_, GetStockObject(WHITE_PEN));
    ForEachSparkToDraw(sparks, [&](const SparkSegment& s) { Lines(s); });
}

void GdiPen::Copy(const Rect& board)
{
    const Rect r = scale_.Of(board);
    BitBlt(target_, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer_, r.left, r.top, SRCCOPY);
}

bool GdiPen::ClipTo(const std::vector<Rect>& areas)
{
    if (areas.empty()) return SelectClipRgn(buffer_, nullptr) != ERROR;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    HRGN part = CreateRectRgn(0, 0, 0, 0);
    if (region && part) {
        for (const Rect& board : areas) {
            const Rect a = scale_.Of(board);
            SetRectRgn(part, a.left, a.top, a.right, a.bottom);
            CombineRgn(region, region, part, RGN_OR);
        }
        SelectClipRgn(buffer_, region);  // the context keeps a copy
    }
    if (part) DeleteObject(part);
    if (region) DeleteObject(region);
    return region && part;
}

BackBuffer::~BackBuffer() { Release(); }

HDC BackBuffer::For(HDC target, const RECT& client, bool* fresh)
{
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    *fresh = false;
    if (buffer_ && width == width_ && height == height_) return buffer_;
    Release();
    *fresh = true;
    buffer_ = CreateCompatibleDC(target);
    if (!buffer_) return nullptr;
    bitmap_ = CreateCompatibleBitmap(target, width, height);
    if (!bitmap_) {
        Release();
        return nullptr;
    }
    keptBitmap_ = SelectObject(buffer_, bitmap_);
    width_ = width;
    height_ = height;
    return buffer_;
}

void BackBuffer::Release()
{
    // The bitmap is put back out of the context before either is deleted: a
    // bitmap still selected into a context cannot be freed.
    if (buffer_ && keptBitmap_) SelectObject(buffer_, keptBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    if (buffer_) DeleteDC(buffer_);
    buffer_ = nullptr;
    bitmap_ = nullptr;
    keptBitmap_ = nullptr;
    width_ = height_ = 0;
}
