#include "settings/settings_look.h"

#include <strings.h>

#include "language/string_table.h"
#include "language/wide_text.h"
#include "ui/memory_dc_man.h"
#include "ui/selected_font.h"

namespace {

// As the shared fonts choose them: Thai draws in "Tahoma" one pixel larger.
constexpr const char* BodyFace = "돋움";
constexpr const char* PickerFace = "굴림";
constexpr const char* ThaiFace = "Tahoma";
constexpr int BodyHeight = 12;
constexpr int TitleHeight = 14;
constexpr int PickerHeight = 12;
// Room a button's caption leaves at each side.
constexpr int ButtonTextInset = 4;

HFONT MakeFont(int height, int weight, const char* face) {
    return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY,
                       0, face);
}

} // namespace

TSettingsFonts::TSettingsFonts(const std::string& language) {
    const bool thai = strcasecmp(language.c_str(), "thai") == 0;
    const int larger = thai ? 1 : 0;
    const char* face = thai ? ThaiFace : BodyFace;
    body = MakeFont(BodyHeight + larger, FW_NORMAL, face);
    heading = MakeFont(BodyHeight + larger, FW_BOLD, face);
    title = MakeFont(TitleHeight + larger, FW_BOLD, face);
    picker = MakeFont(PickerHeight + larger, FW_NORMAL, thai ? ThaiFace : PickerFace);
}

TSettingsFonts::~TSettingsFonts() {
    for (HFONT font : {body, heading, title, picker}) {
        if (font)
            DeleteObject(font);
    }
}

void DrawLabelBoxes(HDC dc, const TLabelBoxes& labels) {
    SetBkMode(dc, TRANSPARENT);
    for (const TLabelBox& label : labels) {
        if (label.owner != TTextOwner::Panel)
            continue;
        TSelectedFont font(dc, label.font);
        SetTextColor(dc, label.colour);
        RECT box = label.box;
        const UINT flow =
            label.flow == TTextFlow::Wrapped ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
        DrawTextW(dc, label.text.c_str(), -1, &box, label.align | flow | DT_NOPREFIX);
    }
}

int TextWidth(HDC dc, HFONT font, const std::wstring& text) {
    TSelectedFont selected(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

bool LabelFits(HDC dc, const TLabelBox& label) {
    const int width = label.box.right - label.box.left;
    if (label.flow == TTextFlow::SingleLine)
        return TextWidth(dc, label.font, label.text) <= width;
    TSelectedFont font(dc, label.font);
    RECT needed{0, 0, width, 0};
    DrawTextW(dc, label.text.c_str(), -1, &needed, DT_WORDBREAK | DT_CALCRECT | DT_NOPREFIX);
    return needed.bottom <= label.box.bottom - label.box.top && needed.right <= width;
}

std::wstring TableTextW(const std::string& key) {
    std::string text;
    GetString(key, &text, nullptr);
    return Utf8ToWide(text);
}

bool DrawSkinPicture(HDC dc, HDC reference, const RECT& box, const char* path) {
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    TMemoryDC picture;
    const bool drawn =
        picture.Prepare(reference, width, height) &&
        DrawImageFileOver(picture, nullptr, 0, 0, width, height, ResolveSkinPath(path).c_str());
    if (drawn)
        BitBlt(dc, box.left, box.top, width, height, picture.dc, 0, 0, SRCCOPY);
    picture.Release();
    return drawn;
}

TLabelBox MakeSettingsButton(CActButton& button, const TSettingsButton& place, HFONT font) {
    std::string caption;
    GetString(place.captionKey, &caption, nullptr);
    TActButtonOptions options;
    options.parent = place.parent;
    options.controlId = place.id;
    options.position = place.position;
    options.size = SIZE{SettingsButtonWidth, SettingsButtonHeight};
    options.normalPath = SettingsButtonImage;
    options.overPath = SettingsButtonOverImage;
    options.background = place.background;
    options.caption = caption.c_str();
    options.font = font;
    button.SetTextColour(SettingsButtonTextColour);
    button.Create(options);
    const POINT at = place.position;
    return TLabelBox{Utf8ToWide(caption),
                     RECT{at.x + ButtonTextInset, at.y,
                          at.x + SettingsButtonWidth - ButtonTextInset,
                          at.y + SettingsButtonHeight},
                     font,
                     SettingsButtonTextColour,
                     TTextFlow::SingleLine,
                     DT_CENTER,
                     TTextOwner::Control};
}
