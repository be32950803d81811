#pragma once
// What the two settings dialogs share: their fonts, made from the current
// language and owned by the dialog (so that a change of language never
// leaves a control with a deleted font), the texts they place in boxes, and
// the skin pictures they draw.

#include <string>
#include <vector>

#include "platform/gdi.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"

inline constexpr COLORREF SettingsTextColour = RGB(195, 200, 207);
inline constexpr COLORREF SettingsHeadingColour = RGB(236, 238, 241);
inline constexpr COLORREF SettingsDimTextColour = RGB(130, 136, 146);
inline constexpr COLORREF SettingsAccentColour = RGB(38, 159, 218);
inline constexpr COLORREF SettingsFieldColour = RGB(17, 17, 17);
inline constexpr COLORREF SettingsEdgeColour = RGB(48, 52, 59);
inline constexpr COLORREF SettingsButtonTextColour = RGB(0, 0, 0);

inline constexpr int SettingsTitleBand = 40;
inline constexpr int SettingsButtonWidth = 93;
inline constexpr int SettingsButtonHeight = 25;
inline constexpr int SettingsIconSize = 16;
inline constexpr const char* SettingsButtonImage = "resource/skin/controls/default_btn_n.png";
inline constexpr const char* SettingsButtonOverImage = "resource/skin/controls/default_btn_o.png";
inline constexpr const char* CameraPanelBackground = "resource/skin/dialogs/s_setup_bg.png";
inline constexpr const char* ViewerPanelBackground = "resource/skin/dialogs/s_viewer_bg.png";
inline constexpr const char* SettingsIconImage = "resource/skin/dialogs/s_setup_icon.png";

// The dialog's own fonts for one language.
class TSettingsFonts {
public:
    explicit TSettingsFonts(const std::string& language);
    ~TSettingsFonts();
    TSettingsFonts(const TSettingsFonts&) = delete;
    TSettingsFonts& operator=(const TSettingsFonts&) = delete;

    HFONT body = nullptr;
    HFONT heading = nullptr;
    HFONT title = nullptr;
    HFONT picker = nullptr;
};

enum class TTextFlow { SingleLine, Wrapped };
// Who draws the text: the panel from its list, or a control (a button, a
// combo box) that only says here how much room it gives.
enum class TTextOwner { Panel, Control };

// One text in its box.
struct TLabelBox {
    std::wstring text;
    RECT box{};
    HFONT font = nullptr;
    COLORREF colour = SettingsTextColour;
    TTextFlow flow = TTextFlow::SingleLine;
    UINT align = DT_LEFT;
    TTextOwner owner = TTextOwner::Panel;
};
using TLabelBoxes = std::vector<TLabelBox>;

// The panel's own texts.
void DrawLabelBoxes(HDC dc, const TLabelBoxes& labels);
// One line's width in `font`.
int TextWidth(HDC dc, HFONT font, const std::wstring& text);
// Whether the text stays inside its box: one line no wider, wrapped lines
// no taller.
bool LabelFits(HDC dc, const TLabelBox& label);

// The text of a key, as the drawing layer takes it (empty when missing).
std::wstring TableTextW(const std::string& key);

// A skin picture drawn into `dc` over `box`, stretched; false when it
// cannot be read.
bool DrawSkinPicture(HDC dc, HDC reference, const RECT& box, const char* path);

// A push button of the dialogs' light face with a caption from the table.
struct TSettingsButton {
    HWND parent = nullptr;
    int id = 0;
    const char* captionKey = nullptr;
    POINT position{};
    // The surface under the button at `position` (null: black).
    HDC background = nullptr;
};
// Makes the button; the caption's box, for measuring.
TLabelBox MakeSettingsButton(CActButton& button, const TSettingsButton& place, HFONT font);
