#include "ui/image_atlas.h"

#include "ui/memory_dc.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr std::size_t InitialBuckets = 8;

}  // namespace

std::unordered_map<UINT, std::unique_ptr<RECT>> TImageAtlas::MakeRects() {
    std::unordered_map<UINT, std::unique_ptr<RECT>> made(InitialBuckets);
    made.max_load_factor(1.0f);
    return made;
}

bool TImageAtlas::Create(HDC reference, LONG width, LONG height) {
    Release();
    if (!reference)
        return false;
    dc = CreateCompatibleDC(reference);
    if (!dc)
        return false;
    bitmap = CreateCompatibleBitmap(reference, width, height);
    if (!bitmap) {
        DeleteDC(dc);
        dc = nullptr;
        return false;
    }
    SelectObject(dc, bitmap);
    released = false;
    return true;
}

void TImageAtlas::Adopt(HDC surfaceDc, HBITMAP surfaceBitmap) {
    Release();
    dc = surfaceDc;
    bitmap = surfaceBitmap;
    released = !dc;
}

bool TImageAtlas::Add(UINT id, LONG left, LONG top, LONG right, LONG bottom, HDC reference,
                      const char* path) {
    if (released || !dc)
        return false;
    TMemoryDC scratch;
    if (!scratch.Prepare(reference, right - left, bottom - top))
        return false;
    const bool drawn = DrawImageFileOver(scratch, nullptr, 0, 0, right - left, bottom - top, path);
    if (drawn) {
        BitBlt(dc, left, top, right - left, bottom - top, scratch.dc, 0, 0, SRCCOPY);
        Enter(id, left, top, right, bottom);
    }
    scratch.Release();
    return drawn;
}

void TImageAtlas::Enter(UINT id, LONG left, LONG top, LONG right, LONG bottom) {
    if (rects.count(id))
        return;
    rects.emplace(id, std::make_unique<RECT>(RECT{left, top, right, bottom}));
}

const RECT* TImageAtlas::Find(UINT id) const {
    auto found = rects.find(id);
    return found == rects.end() ? nullptr : found->second.get();
}

BOOL TImageAtlas::Draw(HDC destination, const RECT* destinationRect, UINT id,
                       bool transparent) const {
    const RECT* stored = Find(id);
    if (!stored || released || !dc || !destination)
        return 0;
    const RECT target = destinationRect ? *destinationRect : *stored;
    if (transparent) {
        // TransparentCopy takes an inclusive rectangle: shrinking the stored
        // one by one copies exactly the picture.
        RECT source = *stored;
        --source.right;
        --source.bottom;
        return TransparentCopy(destination, target.left, target.top, dc, source, MagentaKey);
    }
    // Only the stored picture itself is copied, never a column or row of
    // its neighbour on the surface.
    const int sourceWidth = stored->right - stored->left;
    const int sourceHeight = stored->bottom - stored->top;
    const int targetWidth = target.right - target.left;
    const int targetHeight = target.bottom - target.top;
    if (sourceWidth == targetWidth && sourceHeight == targetHeight)
        return BitBlt(destination, target.left, target.top, sourceWidth, sourceHeight, dc,
                      stored->left, stored->top, SRCCOPY);
    return StretchBlt(destination, target.left, target.top, targetWidth, targetHeight, dc,
                      stored->left, stored->top, sourceWidth, sourceHeight, SRCCOPY);
}

void TImageAtlas::Release() {
    rects.clear();
    if (released)
        return;
    if (dc)
        DeleteDC(dc);
    if (bitmap)
        DeleteObject(bitmap);
    dc = nullptr;
    bitmap = nullptr;
    released = true;
}
