#pragma once
// Several small skin pictures side by side on one off-screen surface, each
// found by a numeric id, so that a whole family of pictures costs one DC
// and one bitmap.

#include <memory>
#include <unordered_map>

#include "platform/gdi.h"
#include "ui/memory_dc.h"

// How a picture is copied: every pixel, or all but the magenta key.
enum class TAtlasCopy { Opaque, Transparent };

struct TImageAtlas {
    TMemoryDC surface;
    std::unordered_map<UINT, std::unique_ptr<RECT>> rects = MakeRects();

    // Makes the surface afresh, with no pictures.
    bool Create(HDC reference, LONG width, LONG height);
    // Draws the file into (left, top) .. (right, bottom); the first rectangle
    // recorded for an id stays.
    bool Add(UINT id, LONG left, LONG top, LONG right, LONG bottom, HDC reference,
             const char* path);
    // Records an id for pixels already on the surface.
    void Enter(UINT id, LONG left, LONG top, LONG right, LONG bottom);
    // `destination` null: the stored rectangle is the destination too. A
    // destination of the stored size is copied, any other size stretched.
    // 0 for an unknown id or a missing surface.
    BOOL Draw(HDC destination, const RECT* destinationRect, UINT id,
              TAtlasCopy copy = TAtlasCopy::Opaque) const;
    const RECT* Find(UINT id) const;
    void Release();

private:
    static std::unordered_map<UINT, std::unique_ptr<RECT>> MakeRects();
};
