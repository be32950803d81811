#include "ui/image_atlas.h"

#include "ui/memory_dc_man.h"

namespace {

constexpr std::size_t InitialBuckets = 8;

} // namespace

std::unordered_map<UINT, std::unique_ptr<RECT>> TImageAtlas::MakeRects() {
    std::unordered_map<UINT, std::unique_ptr<RECT>> made(InitialBuckets);
    made.max_load_factor(1.0f);
    return made;
}

bool TImageAtlas::Create(HDC reference, LONG width, LONG height) {
    Release();
    return surface.Prepare(reference, width, height);
}

bool TImageAtlas::Add(UINT id, LONG left, LONG top, LONG right, LONG bottom, HDC reference,
                      const char* path) {
    if (surface.released)
        return false;
    TMemoryDC scratch;
    if (!scratch.Prepare(reference, right - left, bottom - top))
        return false;
    const bool drawn = DrawImageFileOver(scratch, nullptr, 0, 0, right - left, bottom - top, path);
    if (drawn) {
        BitBlt(surface.dc, left, top, right - left, bottom - top, scratch.dc, 0, 0, SRCCOPY);
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
                       TAtlasCopy copy) const {
    const RECT* stored = Find(id);
    if (!stored || surface.released || !destination)
        return 0;
    const RECT target = destinationRect ? *destinationRect : *stored;
    if (copy == TAtlasCopy::Transparent) {
        // TransparentCopy takes an inclusive rectangle: shrinking the stored
        // one by one copies exactly the picture.
        RECT source = *stored;
        --source.right;
        --source.bottom;
        return TransparentCopy(destination, target.left, target.top, surface.dc, source,
                               MagentaKey);
    }
    // Only the stored picture itself is copied, never a column or row of
    // its neighbour on the surface.
    const int sourceWidth = stored->right - stored->left;
    const int sourceHeight = stored->bottom - stored->top;
    const int targetWidth = target.right - target.left;
    const int targetHeight = target.bottom - target.top;
    if (sourceWidth == targetWidth && sourceHeight == targetHeight)
        return BitBlt(destination, target.left, target.top, sourceWidth, sourceHeight, surface.dc,
                      stored->left, stored->top, SRCCOPY);
    return StretchBlt(destination, target.left, target.top, targetWidth, targetHeight, surface.dc,
                      stored->left, stored->top, sourceWidth, sourceHeight, SRCCOPY);
}

void TImageAtlas::Release() {
    rects.clear();
    surface.Release();
}
