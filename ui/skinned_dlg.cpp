#include "ui/skinned_dlg.h"

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/dialog.h"
#include "ui/selected_font.h"

namespace {

constexpr int TitleTextInset = 12;
constexpr int ButtonGap = 12;
constexpr COLORREF TitleColour = RGB(20, 21, 24);
constexpr COLORREF AccentColour = RGB(38, 159, 218);
constexpr COLORREF BodyColour = RGB(236, 238, 241);
constexpr const char* ButtonImage = "resource/skin/controls/default_btn_n.png";
constexpr const char* ButtonOverImage = "resource/skin/controls/default_btn_o.png";

} // namespace

void RegisterSkinnedTemplate(const TSkinnedTemplate& dialogTemplate) {
    TDialogTemplate registered;
    registered.style = dialogTemplate.style;
    registered.width = dialogTemplate.width;
    registered.height = dialogTemplate.height;
    RegisterDialogTemplate(dialogTemplate.id, registered);
}

CSkinnedDlg::~CSkinnedDlg() {
    DestroyOwnWindow();
    m_background.Release();
}

INT_PTR CSkinnedDlg::DoModal(HWND owner) {
    RegisterSkinnedTemplate(m_template);
    return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_template.id), owner,
                           BoundDialogProcedure,
                           reinterpret_cast<LPARAM>(static_cast<TWnd*>(this)));
}

HWND CSkinnedDlg::CreateModeless(HWND owner) {
    RegisterSkinnedTemplate(m_template);
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_template.id), owner,
                              BoundDialogProcedure,
                              reinterpret_cast<LPARAM>(static_cast<TWnd*>(this)));
}

LRESULT CSkinnedDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    // The background surface covers the whole client area on every paint.
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        ShowBackground(dc);
        Paint(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_COMMAND:
        *handled = OnCommand(LOWORD(wParam));
        return 0;
    default:
        *handled = false;
        return OnOtherMessage(message, wParam, lParam, handled);
    }
}

LRESULT CSkinnedDlg::OnOtherMessage(UINT, WPARAM, LPARAM, bool* handled) {
    *handled = false;
    return 0;
}

void CSkinnedDlg::ShowBackground(HDC dc) {
    if (m_background.released)
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    BitBlt(dc, 0, 0, client.right, client.bottom, m_background.dc, 0, 0, SRCCOPY);
}

HDC CSkinnedDlg::PaintFramedBackground(HDC reference, COLORREF edge, COLORREF body, int bodyTop) {
    RECT client;
    GetClientRect(hWnd, &client);
    if (!m_background.Prepare(reference, client.right, client.bottom))
        return nullptr;
    HDC dc = m_background.dc;
    FillSolid(dc, client, edge);
    FillSolid(dc, RECT{1, bodyTop, client.right - 1, client.bottom - 1}, body);
    return dc;
}

void CSkinnedDlg::PaintBandedBackground(HDC reference, const std::wstring& title) {
    HDC dc = PaintFramedBackground(reference, DialogEdgeColour, BodyColour,
                                   BandedTitleHeight + BandedTitleRule);
    if (!dc)
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    FillSolid(dc, RECT{1, 1, client.right - 1, BandedTitleHeight}, TitleColour);
    FillSolid(dc, RECT{1, BandedTitleHeight, client.right - 1, BandedTitleHeight + BandedTitleRule},
              AccentColour);
    if (title.empty())
        return;
    TSelectedFont font(dc, SharedFonts().control);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, DialogTextOnDarkColour);
    RECT band{TitleTextInset, 1, client.right - TitleTextInset, BandedTitleHeight};
    DrawTextW(dc, title.c_str(), -1, &band, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void CSkinnedDlg::MakeButtonRow(HDC reference, std::span<const TDialogButton> buttons,
                                int bottomMargin, HFONT font) {
    if (buttons.empty())
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    const int count = static_cast<int>(buttons.size());
    const int rowWidth = count * DialogButtonWidth + (count - 1) * ButtonGap;
    TActButtonOptions options;
    options.parent = hWnd;
    options.position =
        POINT{(client.right - rowWidth) / 2, client.bottom - bottomMargin - DialogButtonHeight};
    options.size = SIZE{DialogButtonWidth, DialogButtonHeight};
    options.normalPath = ButtonImage;
    options.overPath = ButtonOverImage;
    options.background = Background();
    options.reference = reference;
    options.font = font;
    for (const TDialogButton& choice : buttons) {
        const std::string caption = TableText(choice.captionKey);
        options.controlId = choice.id;
        options.caption = caption.c_str();
        choice.button->Create(options);
        options.position.x += DialogButtonWidth + ButtonGap;
    }
}

std::string CSkinnedDlg::TableText(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

void CSkinnedDlg::DrawCentredText(Gdiplus::Graphics& graphics, const std::wstring& text,
                                  const Gdiplus::Font& font, const Gdiplus::RectF& box) {
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    graphics.DrawString(text.c_str(), -1, &font, box, &format, &black);
}
