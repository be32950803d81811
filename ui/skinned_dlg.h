#pragma once
// The base of the skinned dialogs: frameless dialogs that draw themselves
// from one background surface painted when they open, carry skinned push
// buttons (whose owner-draw requests it hands back to them) and answer
// their commands. A dialog fills in the hooks; the message routing, the
// surface, the banded title look and the button row are shared here.

#include <span>
#include <string>

#include "platform/gdiplus.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

// The banded look: a dark title band, an accent rule under it, then the body.
inline constexpr int BandedTitleHeight = 30;
inline constexpr int BandedTitleRule = 2;
// The default push button of a button row.
inline constexpr int DialogButtonWidth = 93;
inline constexpr int DialogButtonHeight = 25;
// The one-pixel edge round every look, and text on its dark parts.
inline constexpr COLORREF DialogEdgeColour = RGB(48, 52, 59);
inline constexpr COLORREF DialogTextOnDarkColour = RGB(195, 200, 207);
// The face the dialogs' own texts are drawn in.
inline constexpr const wchar_t* DialogTextFace = L"돋움";

// What the dialog's template registers: its id, client size and style.
struct TSkinnedTemplate {
    int id = 0;
    int width = 0;
    int height = 0;
    DWORD style = WS_POPUP | WS_SYSMENU;
};

// One push button of a button row, captioned from the string table.
struct TDialogButton {
    CActButton* button = nullptr;
    int id = 0;
    const char* captionKey = nullptr;
};

class CSkinnedDlg : public CWndEx {
public:
    explicit CSkinnedDlg(const TSkinnedTemplate& dialogTemplate) : m_template(dialogTemplate) {}
    ~CSkinnedDlg() override;

    // Modal over `owner` until EndDialog, whose result it answers.
    INT_PTR DoModal(HWND owner);
    // Modeless over `owner`, not yet shown; null when it could not be made.
    HWND CreateModeless(HWND owner);

protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;

    // WM_INITDIALOG: paint the background, make the controls.
    virtual void OnInit() = 0;
    // What goes over the background on every paint.
    virtual void Paint(HDC) {}
    // A command from control `id`; false leaves it to the default handling.
    virtual bool OnCommand(int) { return false; }
    // Every message the base does not take; leaving `handled` false passes
    // it on to the default handling.
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

    // Makes the background at the client's size: an edge of `edge` around a
    // body of `body` from `bodyTop` down. The surface's DC to paint on
    // further, or null when it could not be made (the dialog then shows
    // whatever is under it).
    HDC PaintFramedBackground(HDC reference, COLORREF edge, COLORREF body, int bodyTop);
    // The banded look with `title` in its band (none when empty).
    void PaintBandedBackground(HDC reference, const std::wstring& title);
    HDC Background() const { return m_background.released ? nullptr : m_background.dc; }
    void ReleaseBackground() { m_background.Release(); }
    // Default push buttons side by side, centred, `bottomMargin` above the bottom.
    void MakeButtonRow(HDC reference, std::span<const TDialogButton> buttons, int bottomMargin,
                       HFONT font);

    // The string table's text for `key` (empty when it has none).
    static std::string TableText(const char* key);
    // Black, centred both ways in `box`.
    static void DrawCentredText(Gdiplus::Graphics& graphics, const std::wstring& text,
                                const Gdiplus::Font& font, const Gdiplus::RectF& box);

private:
    void ShowBackground(HDC dc);

    TSkinnedTemplate m_template;
    TMemoryDC m_background;
};

// Registers the template; DoModal and CreateModeless do it themselves.
void RegisterSkinnedTemplate(const TSkinnedTemplate& dialogTemplate);
