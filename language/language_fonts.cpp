#include "language/language_fonts.h"

#include <strings.h>

namespace {

// GDI takes the Korean system faces as code page 949 bytes, GDI+ as wide
// text.
constexpr const char* kDotum = "\xB5\xB8\xBF\xF2";            // 돋움
constexpr const char* kGulim = "\xB1\xBC\xB8\xB2";            // 굴림
constexpr const char* kGulimChe = "\xB1\xBC\xB8\xB2\xC3\xBC"; // 굴림체
constexpr const char* kTahoma = "Tahoma";
constexpr const wchar_t* kWideDotum = L"돋움";
constexpr const wchar_t* kWideTahoma = L"Tahoma";
constexpr const wchar_t* kWideArial = L"Arial";

struct TGdiFontSpec {
    HFONT LanguageFonts::*slot;
    const char* face; // Thai: "Tahoma"
    int height;
    int thaiHeight;
    bool builtOnce;
};

constexpr TGdiFontSpec kGdiFonts[] = {
    {&LanguageFonts::control, kDotum, 12, 13, false},
    {&LanguageFonts::listGdi, kDotum, 11, 12, true},
    {&LanguageFonts::dialog, kGulimChe, 11, 12, true},
    {&LanguageFonts::smallControl, kDotum, 11, 12, false},
    {&LanguageFonts::picker, kGulim, 9, 10, false},
};

struct TPlusFontSpec {
    std::unique_ptr<Gdiplus::Font> LanguageFonts::*slot;
    const wchar_t* face;
    const wchar_t* thaiFace;
    float size; // in pixels
    float thaiSize;
    int style;
    bool builtOnce;
};

const TPlusFontSpec kPlusFonts[] = {
    {&LanguageFonts::caption, kWideArial, kWideArial, 12, 13, Gdiplus::FontStyleBold, false},
    {&LanguageFonts::label, kWideDotum, kWideTahoma, 12, 13, Gdiplus::FontStyleRegular, false},
    {&LanguageFonts::list, kWideDotum, kWideTahoma, 11, 12, Gdiplus::FontStyleRegular, true},
    {&LanguageFonts::readOut, kWideArial, kWideArial, 16, 16, Gdiplus::FontStyleBold, true},
};

bool IsThai(const std::string& language) {
    return strcasecmp(language.c_str(), "thai") == 0;
}

HFONT CreateGdiFont(const TGdiFontSpec& entry, bool thai) {
    return CreateFontA(thai ? entry.thaiHeight : entry.height, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET,
                       0, 0, 0, 0, thai ? kTahoma : entry.face);
}

void Release(HFONT* font) {
    if (!*font)
        return;
    DeleteObject(*font);
    *font = nullptr;
}

} // namespace

LanguageFonts& SharedFonts() {
    static LanguageFonts fonts;
    return fonts;
}

void CreateLanguageFonts(const std::string& language) {
    const bool thai = IsThai(language);
    LanguageFonts& fonts = SharedFonts();
    for (const TGdiFontSpec& entry : kGdiFonts) {
        HFONT& font = fonts.*entry.slot;
        if (entry.builtOnce && font)
            continue;
        Release(&font);
        font = CreateGdiFont(entry, thai);
    }
    for (const TPlusFontSpec& entry : kPlusFonts) {
        std::unique_ptr<Gdiplus::Font>& font = fonts.*entry.slot;
        if (entry.builtOnce && font)
            continue;
        font = std::make_unique<Gdiplus::Font>(thai ? entry.thaiFace : entry.face,
                                               thai ? entry.thaiSize : entry.size, entry.style,
                                               Gdiplus::UnitPixel);
    }
}

void ReleaseLanguageFonts(bool all) {
    LanguageFonts& fonts = SharedFonts();
    for (const TGdiFontSpec& entry : kGdiFonts) {
        if (all || !entry.builtOnce)
            Release(&(fonts.*entry.slot));
    }
    for (const TPlusFontSpec& entry : kPlusFonts) {
        if (all || !entry.builtOnce)
            (fonts.*entry.slot).reset();
    }
}
