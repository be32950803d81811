#pragma once
// The skin image cache: strips of equal cells that hold the buttons' state
// pictures, the loaders that decode PNG files once into off-screen surfaces,
// the transparency helpers, and the process-wide shared pictures and atlases
// that start-up fills.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi.h"
#include "ui/image_atlas.h"
#include "ui/memory_dc.h"

inline constexpr COLORREF MagentaKey = RGB(255, 0, 255);
// Image handles: strip index in the high 16 bits, cell in the low 16.
inline constexpr LONG NoImage = -1;
// Paths of this length or more are refused.
inline constexpr std::size_t PathLimit = 1025;

// One strip of cellCount cells of cellWidth x cellHeight, side by side.
class CMemoryDCInfo {
public:
    CMemoryDCInfo(HDC reference, int cells, int width, int height);
    virtual ~CMemoryDCInfo();
    CMemoryDCInfo(const CMemoryDCInfo&) = delete;
    CMemoryDCInfo& operator=(const CMemoryDCInfo&) = delete;

    bool Usable() const { return dc != nullptr; }
    bool HasRoom() const { return Usable() && usedCount < cellCount; }
    // The cell handed out, or -1 when the strip is full.
    int TakeCell();

    int usedCount = 0;
    int cellCount = 0;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    int cellWidth = 0;
    int cellHeight = 0;
};

class CMemoryDCMan {
public:
    CMemoryDCMan(int cellsPerStrip, int width, int height);
    virtual ~CMemoryDCMan();
    CMemoryDCMan(const CMemoryDCMan&) = delete;
    CMemoryDCMan& operator=(const CMemoryDCMan&) = delete;

    // Registers the picture selected in `source` under the decimal text of
    // `key`; a key seen before gives its first handle and copies nothing.
    bool AddImage(HDC reference, HDC source, HBITMAP sourceBitmap, UINT key, LONG* handle);
    // Where a handle's pixels are: the strip's DC and the cell's left edge.
    // False for a handle that names no stored cell.
    bool Resolve(LONG handle, HDC* dc, int* x) const;

    int cellsPerDC = 0;
    int cellWidth = 0;
    int cellHeight = 0;
    std::vector<std::unique_ptr<CMemoryDCInfo>> strips;
    std::unordered_map<std::string, LONG> index;
};

// A skin path as callers write it: absolute paths stay; relative ones
// ("resource/skin/controls/x.png" or "skin/controls/x.png") are found in the
// resource folder.
std::string ResolveSkinPath(const char* path);

// Decodes the file to its natural size in `target`; with a background
// origin the reference DC's pixels there show through the transparent parts.
bool LoadSkinImage(HDC reference, const char* path, TMemoryDC& target,
                   const POINT* backgroundOrigin = nullptr);
// Draws the file scaled to width x height over `target` at (0, 0), after
// copying that much of `source` at (sourceX, sourceY) when a source is given.
bool DrawImageFileOver(TMemoryDC& target, HDC source, int sourceX, int sourceY, int width,
                       int height, const char* path);
// Copies the inclusive source rectangle to (x, y), leaving out every pixel
// of exactly `key`.
BOOL TransparentCopy(HDC destination, int x, int y, HDC source, const RECT& sourceRect,
                     COLORREF key);
// The region of every pixel that is not (near) magenta: red and blue 255,
// green at most 16. Null when the bitmap cannot be read.
HRGN BuildRegionFromBitmap(HDC dc, HBITMAP bitmap);

// The pictures start-up loads once and every window copies from.
enum class SkinImage {
    TopFrameLogo,
    TopFrameCenter,
    TopFrameRight,
    LeftFrame,
    RightFrame,
    Bottom,
    BrightnessBackground,
    GSensorBackground,
    GpsBackground,
    TimeBarBackground,
    ControlBarBackground,
    ToolbarBackground,
    FileBackground,
    LocationBox,
    Channel1Logo,
    Channel2Logo,
    RedPoint,
    ListTopLeft,
    ListTopSpace,
    ListTopFileName,
    ListTopRight,
    SpeedKmh,
    SpeedMph,
    ListSelectedLeft,
    ListSelectedMiddle,
    ListSelectedRight,
    ListHoveredLeft,
    ListHoveredMiddle,
    ListHoveredRight,
    Count
};

TMemoryDC& SharedImage(SkinImage image);

// Atlas ids.
inline constexpr UINT DigitFirstId = 127; // 127..136 are 0..9
inline constexpr UINT DigitHyphenId = 227;
inline constexpr UINT SliderBarOnId = 137;
inline constexpr UINT SliderBarOffId = 138;
inline constexpr UINT SliderThumbId = 139;
inline constexpr UINT SliderBarOnSmallId = 140;
inline constexpr UINT SliderBarOffSmallId = 141;
inline constexpr UINT SliderThumbSmallId = 142;
inline constexpr UINT ViewerSliderBarOnId = 143;
inline constexpr UINT ViewerSliderBarOffId = 144;
inline constexpr UINT ViewerSliderThumbId = 145;
inline constexpr UINT CameraSliderBarOnId = 146;
inline constexpr UINT CameraSliderBarOffId = 147;
inline constexpr UINT CameraSliderThumbId = 148;
inline constexpr UINT KindNormalIconId = 212;
inline constexpr UINT KindEventIconId = 213;
inline constexpr UINT KindParkingIconId = 214;
inline constexpr UINT ComboButtonNormalId = 0;
inline constexpr UINT ComboButtonPressedId = 1;
inline constexpr UINT ComboButtonOverId = 2;

TImageAtlas& DigitAtlas();
TImageAtlas& CheckBoxAtlas();
TImageAtlas& ComboButtonAtlas();
TImageAtlas& SliderAtlas();
TImageAtlas& KindIconAtlas();

// Fills the shared pictures and the five atlases; stops at the first
// picture or atlas surface that cannot be made.
bool LoadSharedSkin(HDC reference);
void ReleaseSharedSkin();
