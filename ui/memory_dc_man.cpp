#include "ui/memory_dc_man.h"

#include <array>
#include <cstdio>
#include <cstring>

#include "language/wide_text.h"
#include "platform/files.h"
#include "platform/gdiplus.h"

namespace {

constexpr std::size_t RegionGrowth = 100;
constexpr std::size_t RectanglesPerRegion = 2000;
constexpr BYTE NearMagentaGreenLimit = 16;
constexpr const char* ResourcePrefix = "resource/";

} // namespace

CMemoryDCInfo::CMemoryDCInfo(HDC reference, int cells, int width, int height)
    : cellCount(cells), cellWidth(width), cellHeight(height) {
    if (cells < 1 || width < 1 || height < 1 || !reference) {
        cellCount = 0;
        return;
    }
    dc = CreateCompatibleDC(reference);
    if (!dc)
        return;
    bitmap = CreateCompatibleBitmap(reference, width * cells, height);
    if (!bitmap) {
        DeleteDC(dc);
        dc = nullptr;
        return;
    }
    SelectObject(dc, bitmap);
}

CMemoryDCInfo::~CMemoryDCInfo() {
    if (dc)
        DeleteDC(dc);
    if (bitmap)
        DeleteObject(bitmap);
}

int CMemoryDCInfo::TakeCell() {
    return HasRoom() ? usedCount++ : -1;
}

CMemoryDCMan::CMemoryDCMan(int cellsPerStrip, int width, int height)
    : cellsPerDC(cellsPerStrip), cellWidth(width), cellHeight(height) {}

CMemoryDCMan::~CMemoryDCMan() {
    strips.clear();
    index.clear();
}

bool CMemoryDCMan::AddImage(HDC reference, HDC source, HBITMAP sourceBitmap, UINT key,
                            LONG* handle) {
    if (!reference || !source || !sourceBitmap || !handle)
        return false;
    char keyText[16];
    std::snprintf(keyText, sizeof keyText, "%u", key);
    auto known = index.find(keyText);
    if (known != index.end()) {
        *handle = known->second;
        return true;
    }
    int stripIndex = -1;
    for (int i = static_cast<int>(strips.size()) - 1; i >= 0; --i) {
        if (strips[static_cast<std::size_t>(i)]->HasRoom()) {
            stripIndex = i;
            break;
        }
    }
    if (stripIndex < 0) {
        auto strip = std::make_unique<CMemoryDCInfo>(reference, cellsPerDC, cellWidth, cellHeight);
        if (!strip->Usable())
            return false;
        strips.push_back(std::move(strip));
        stripIndex = static_cast<int>(strips.size()) - 1;
    }
    CMemoryDCInfo& strip = *strips[static_cast<std::size_t>(stripIndex)];
    const int cell = strip.TakeCell();
    BitBlt(strip.dc, cell * cellWidth, 0, cellWidth, cellHeight, source, 0, 0, SRCCOPY);
    *handle = static_cast<LONG>((static_cast<DWORD>(stripIndex) << 16) |
                                (static_cast<DWORD>(cell) & 0xFFFF));
    index.emplace(keyText, *handle);
    return true;
}

bool CMemoryDCMan::Resolve(LONG handle, HDC* dc, int* x) const {
    if (handle < 0)
        return false;
    const auto stripIndex = static_cast<std::size_t>(static_cast<DWORD>(handle) >> 16);
    const int cell = static_cast<int>(static_cast<DWORD>(handle) & 0xFFFF);
    if (stripIndex >= strips.size() || cell >= strips[stripIndex]->usedCount)
        return false;
    *dc = strips[stripIndex]->dc;
    *x = cell * cellWidth;
    return true;
}

std::string ResolveSkinPath(const char* path) {
    if (!path)
        return std::string();
    if (path[0] == '/')
        return path;
    const std::size_t prefixLength = std::strlen(ResourcePrefix);
    if (std::strncmp(path, ResourcePrefix, prefixLength) == 0)
        return ResourcePath(path + prefixLength);
    return ResourcePath(path);
}

namespace {

// Decodes a file, or null when the path is too long or the file is not an image.
std::unique_ptr<Gdiplus::Bitmap> DecodeImage(const char* path) {
    if (!path || std::strlen(path) >= PathLimit)
        return nullptr;
    const std::wstring wide = Utf8ToWide(path);
    auto image = std::make_unique<Gdiplus::Bitmap>(wide.c_str());
    if (image->GetLastStatus() != Gdiplus::Ok || image->GetWidth() == 0)
        return nullptr;
    return image;
}

void DrawDecoded(HDC target, Gdiplus::Bitmap& image, int width, int height) {
    Gdiplus::Graphics graphics(target);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.DrawImage(&image, Gdiplus::Rect{0, 0, width, height}, 0, 0,
                       static_cast<INT>(image.GetWidth()), static_cast<INT>(image.GetHeight()),
                       Gdiplus::UnitPixel);
}

} // namespace

bool LoadSkinImage(HDC reference, const char* path, TMemoryDC& target,
                   const POINT* backgroundOrigin) {
    std::unique_ptr<Gdiplus::Bitmap> image = DecodeImage(path);
    if (!image)
        return false;
    const auto width = static_cast<LONG>(image->GetWidth());
    const auto height = static_cast<LONG>(image->GetHeight());
    if (!target.Prepare(reference, width, height))
        return false;
    if (backgroundOrigin)
        BitBlt(target.dc, 0, 0, width, height, reference, backgroundOrigin->x, backgroundOrigin->y,
               SRCCOPY);
    DrawDecoded(target.dc, *image, width, height);
    return true;
}

bool DrawImageFileOver(TMemoryDC& target, HDC source, int sourceX, int sourceY, int width,
                       int height, const char* path) {
    if (target.released || !target.dc)
        return false;
    std::unique_ptr<Gdiplus::Bitmap> image = DecodeImage(path);
    if (!image)
        return false;
    if (source)
        BitBlt(target.dc, 0, 0, width, height, source, sourceX, sourceY, SRCCOPY);
    DrawDecoded(target.dc, *image, width, height);
    return true;
}

BOOL TransparentCopy(HDC destination, int x, int y, HDC source, const RECT& sourceRect,
                     COLORREF key) {
    const int width = sourceRect.right - sourceRect.left + 1;
    const int height = sourceRect.bottom - sourceRect.top + 1;
    if (!destination || !source || width <= 0 || height <= 0)
        return FALSE;
    return TransparentBlt(destination, x, y, width, height, source, sourceRect.left, sourceRect.top,
                          width, height, key);
}

namespace {

bool IsNearMagenta(const RGBQUAD& pixel) {
    return pixel.rgbRed == 255 && pixel.rgbBlue == 255 && pixel.rgbGreen <= NearMagentaGreenLimit;
}

// The rectangles gathered so far, in the region-data layout.
class TRegionBuilder {
public:
    void Add(LONG left, LONG top, LONG right, LONG bottom) {
        if (m_rects.size() == m_rects.capacity())
            m_rects.reserve(m_rects.size() + RegionGrowth);
        m_rects.push_back(RECT{left, top, right, bottom});
        if (m_rects.size() >= RectanglesPerRegion)
            Flush();
    }

    HRGN Finish() {
        Flush();
        if (!m_result)
            m_result = CreateRectRgn(0, 0, 0, 0);
        return m_result;
    }

private:
    void Flush() {
        if (m_rects.empty())
            return;
        std::vector<char> buffer(sizeof(RGNDATAHEADER) + m_rects.size() * sizeof(RECT));
        auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
        data->rdh = RGNDATAHEADER{};
        data->rdh.nCount = static_cast<DWORD>(m_rects.size());
        data->rdh.nRgnSize = static_cast<DWORD>(m_rects.size() * sizeof(RECT));
        std::memcpy(data->Buffer, m_rects.data(), m_rects.size() * sizeof(RECT));
        HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data);
        m_rects.clear();
        if (!part)
            return;
        if (!m_result) {
            m_result = part;
            return;
        }
        CombineRgn(m_result, m_result, part, RGN_OR);
        DeleteObject(part);
    }

    std::vector<RECT> m_rects;
    HRGN m_result = nullptr;
};

} // namespace

HRGN BuildRegionFromBitmap(HDC dc, HBITMAP bitmap) {
    BITMAP description;
    if (!bitmap || !GetObjectA(bitmap, sizeof description, &description))
        return nullptr;
    const LONG width = description.bmWidth;
    const LONG height = description.bmHeight;
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    HDC scratch = dc ? nullptr : CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(dc ? dc : scratch, bitmap, 0, static_cast<UINT>(height),
                               pixels.data(), &info, DIB_RGB_COLORS);
    if (scratch)
        DeleteDC(scratch);
    if (rows != height)
        return nullptr;
    TRegionBuilder builder;
    for (LONG y = 0; y < height; ++y) {
        const RGBQUAD* row =
            pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        LONG x = 0;
        while (x < width) {
            while (x < width && IsNearMagenta(row[x]))
                ++x;
            const LONG start = x;
            while (x < width && !IsNearMagenta(row[x]))
                ++x;
            if (x > start)
                builder.Add(start, y, x, y + 1);
        }
    }
    return builder.Finish();
}

namespace {

constexpr std::array<const char*, static_cast<std::size_t>(SkinImage::Count)> SkinImageFiles = {
    "top_frame_logo.png",
    "top_frame_center.png",
    "top_frame_right.png",
    "left_frame.png",
    "right_frame.png",
    "bottom.png",
    "brightness_bg.png",
    "gsensor.png",
    "gps_bg.png",
    "play_timebar_bg.png",
    "play_controlbar_bg.png",
    "toolbar_bg.png",
    "file_bg.png",
    "controls/location_box.png",
    "channel1_logo.png",
    "channel2_logo.png",
    "red_point.png",
    "controls/list_top_left.png",
    "controls/list_top_space.png",
    "controls/list_top_filename.png",
    "controls/list_top_right.png",
    "controls/km_h.png",
    "controls/mi_h.png",
    "controls/list_selecteditem_left.png",
    "controls/list_selecteditem_middle.png",
    "controls/list_selecteditem_right.png",
    "controls/list_hovereditem_left.png",
    "controls/list_hovereditem_middle.png",
    "controls/list_hovereditem_right.png",
};

struct TSharedSkin {
    std::array<TMemoryDC, static_cast<std::size_t>(SkinImage::Count)> images;
    TImageAtlas digits;
    TImageAtlas checkBox;
    TImageAtlas comboButton;
    TImageAtlas slider;
    TImageAtlas kindIcons;

    ~TSharedSkin() { Release(); }

    void Release() {
        digits.Release();
        checkBox.Release();
        comboButton.Release();
        slider.Release();
        kindIcons.Release();
        for (TMemoryDC& image : images)
            image.Release();
    }
};

TSharedSkin& Shared() {
    static TSharedSkin shared;
    return shared;
}

struct TAtlasEntry {
    UINT id;
    RECT rect;
    const char* file;
};

constexpr TAtlasEntry SliderEntries[] = {
    {SliderBarOnId, {0, 0, 9, 10}, "controls/slider_bar_on.png"},
    {SliderBarOffId, {0, 10, 9, 20}, "controls/slider_bar_off.png"},
    {SliderThumbId, {0, 20, 23, 30}, "controls/slider_thumb.png"},
    {SliderBarOnSmallId, {0, 30, 9, 38}, "controls/slider_bar_on_small.png"},
    {SliderBarOffSmallId, {0, 38, 9, 46}, "controls/slider_bar_off_small.png"},
    {SliderThumbSmallId, {0, 46, 13, 54}, "controls/slider_thumb_small.png"},
    {ViewerSliderBarOnId, {0, 54, 9, 64}, "dialogs/slider_bar_on_small_viewer_setup.png"},
    {ViewerSliderBarOffId, {0, 64, 9, 74}, "dialogs/slider_bar_off_small_viewer_setup.png"},
    {ViewerSliderThumbId, {0, 74, 16, 84}, "dialogs/slider_thumb_small_viewer_setup.png"},
    {CameraSliderBarOnId, {0, 84, 9, 94}, "dialogs/slider_bar_on_small_blackbox_setup.png"},
    {CameraSliderBarOffId, {0, 94, 9, 104}, "dialogs/slider_bar_off_small_blackbox_setup.png"},
    {CameraSliderThumbId, {0, 104, 16, 114}, "dialogs/slider_thumb_small_blackbox_setup.png"},
};

constexpr TAtlasEntry ComboEntries[] = {
    {ComboButtonNormalId, {0, 0, 20, 22}, "controls/IDB_COMBOBTN_N.png"},
    {ComboButtonPressedId, {20, 0, 40, 22}, "controls/IDB_COMBOBTN_C.png"},
    {ComboButtonOverId, {40, 0, 60, 22}, "controls/IDB_COMBOBTN_O.png"},
};

constexpr TAtlasEntry KindEntries[] = {
    {KindNormalIconId, {0, 0, 15, 18}, "controls/n_img.png"},
    {KindEventIconId, {15, 0, 30, 18}, "controls/e_img.png"},
    {KindParkingIconId, {30, 0, 45, 18}, "controls/p_img.png"},
};

constexpr LONG DigitWidth = 30;
constexpr LONG DigitHeight = 46;
constexpr int DigitCount = 10;
constexpr LONG CheckBoxCell = 13;
constexpr int CheckBoxStates = 4;

std::string SkinFile(const char* relative) {
    return ResourcePath(std::string("skin/") + relative);
}

// Entries whose file cannot be decoded are left out; start-up goes on.
template <std::size_t N>
bool FillAtlas(TImageAtlas& atlas, HDC reference, LONG width, LONG height,
               const TAtlasEntry (&entries)[N]) {
    if (!atlas.Create(reference, width, height))
        return false;
    for (const TAtlasEntry& entry : entries)
        atlas.Add(entry.id, entry.rect.left, entry.rect.top, entry.rect.right, entry.rect.bottom,
                  reference, SkinFile(entry.file).c_str());
    return true;
}

bool FillDigits(HDC reference) {
    TImageAtlas& atlas = Shared().digits;
    if (!atlas.Create(reference, DigitWidth * (DigitCount + 1), DigitHeight))
        return false;
    char name[32];
    for (int digit = 0; digit < DigitCount; ++digit) {
        std::snprintf(name, sizeof name, "number_%d.png", digit);
        atlas.Add(DigitFirstId + static_cast<UINT>(digit), DigitWidth * digit, 0,
                  DigitWidth * digit + DigitWidth, DigitHeight, reference, SkinFile(name).c_str());
    }
    atlas.Add(DigitHyphenId, DigitWidth * DigitCount, 0, DigitWidth * (DigitCount + 1), DigitHeight,
              reference, SkinFile("number_hyphen.png").c_str());
    return true;
}

// The decoded strip is the atlas's surface itself.
bool FillCheckBox(HDC reference) {
    TImageAtlas& atlas = Shared().checkBox;
    atlas.Release();
    if (!LoadSkinImage(reference, SkinFile("controls/checkbox.png").c_str(), atlas.surface))
        return false;
    for (int state = 0; state < CheckBoxStates; ++state)
        atlas.Enter(static_cast<UINT>(state), CheckBoxCell * state, 0, CheckBoxCell * (state + 1),
                    CheckBoxCell);
    return true;
}

} // namespace

TMemoryDC& SharedImage(SkinImage image) {
    return Shared().images[static_cast<std::size_t>(image)];
}

TImageAtlas& DigitAtlas() {
    return Shared().digits;
}
TImageAtlas& CheckBoxAtlas() {
    return Shared().checkBox;
}
TImageAtlas& ComboButtonAtlas() {
    return Shared().comboButton;
}
TImageAtlas& SliderAtlas() {
    return Shared().slider;
}
TImageAtlas& KindIconAtlas() {
    return Shared().kindIcons;
}

bool LoadSharedSkin(HDC reference) {
    for (std::size_t i = 0; i < SkinImageFiles.size(); ++i) {
        if (!LoadSkinImage(reference, SkinFile(SkinImageFiles[i]).c_str(), Shared().images[i]))
            return false;
    }
    constexpr LONG SliderAtlasWidth = 23;
    constexpr LONG SliderAtlasHeight = 114;
    constexpr LONG ComboAtlasWidth = 60;
    constexpr LONG ComboAtlasHeight = 22;
    constexpr LONG KindAtlasWidth = 45;
    constexpr LONG KindAtlasHeight = 18;
    return FillDigits(reference) && FillCheckBox(reference) &&
           FillAtlas(Shared().comboButton, reference, ComboAtlasWidth, ComboAtlasHeight,
                     ComboEntries) &&
           FillAtlas(Shared().slider, reference, SliderAtlasWidth, SliderAtlasHeight,
                     SliderEntries) &&
           FillAtlas(Shared().kindIcons, reference, KindAtlasWidth, KindAtlasHeight, KindEntries);
}

void ReleaseSharedSkin() {
    Shared().Release();
}
