#pragma once
// The shared fonts the windows draw with, chosen by the language: Thai
// draws everything in "Tahoma" (most sizes one pixel larger); every other
// language uses the Korean system faces for body texts and "Arial" for bold
// captions. Main thread only, like the drawing layer.

#include <memory>
#include <string>

#include "platform/gdi.h"
#include "platform/gdiplus.h"

struct LanguageFonts {
    // Rebuilt at every CreateLanguageFonts.
    std::unique_ptr<Gdiplus::Font> caption;
    std::unique_ptr<Gdiplus::Font> label;
    HFONT control = nullptr;
    HFONT smallControl = nullptr;
    HFONT picker = nullptr;
    // Made once, by the first CreateLanguageFonts after a full release; they
    // keep the faces of the language that was active then.
    std::unique_ptr<Gdiplus::Font> list;
    HFONT listGdi = nullptr;
    HFONT dialog = nullptr;
    std::unique_ptr<Gdiplus::Font> readOut;
};

// The one set of fonts; all empty until created.
LanguageFonts& SharedFonts();

// The language identifier picks the faces ("thai", letter case ignored).
void CreateLanguageFonts(const std::string& language);
// Releases the fonts rebuilt at every call and, when `all`, the ones made
// once too; released fonts become null.
void ReleaseLanguageFonts(bool all);
