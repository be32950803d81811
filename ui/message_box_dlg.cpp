#include "ui/message_box_dlg.h"

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"
#include "platform/message_box.h"
#include "platform/ui_support_shell.h"

namespace {

constexpr int BoxWidth = 340;
constexpr int BoxHeight = 160;
constexpr int TitleBand = 30;
constexpr int ButtonWidth = 93;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 12;
constexpr int ButtonBottomMargin = 14;
constexpr int TextWidthMargin = 20;
constexpr int TextHeightMargin = 40;
constexpr Gdiplus::REAL TextSize = 13;
constexpr COLORREF TitleColour = RGB(20, 21, 24);
constexpr COLORREF TitleTextColour = RGB(195, 200, 207);
constexpr COLORREF BodyColour = RGB(236, 238, 241);
constexpr COLORREF AccentColour = RGB(38, 159, 218);
constexpr COLORREF EdgeColour = RGB(48, 52, 59);
constexpr const char* NormalImage = "resource/skin/controls/default_btn_n.png";
constexpr const char* OverImage = "resource/skin/controls/default_btn_o.png";

std::wstring Limited(const char* text) {
    std::wstring wide = Utf8ToWide(text ? text : "");
    if (wide.size() > MessageTextLimit)
        wide.resize(MessageTextLimit);
    return wide;
}

std::string Caption(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

}  // namespace

CMessageBoxDlg::CMessageBoxDlg(const char* text, const char* caption, UINT style)
    : m_text(Limited(text)), m_caption(Limited(caption)), m_captionText(caption ? caption : ""), m_style(style) {}

CMessageBoxDlg::~CMessageBoxDlg() {
    DestroyOwnWindow();
    m_background.Release();
}

void CMessageBoxDlg::PaintBackground(HDC reference, int width, int height) {
    if (!m_background.Prepare(reference, width, height))
        return;
    HDC dc = m_background.dc;
    FillSolid(dc, RECT{0, 0, width, height}, EdgeColour);
    FillSolid(dc, RECT{1, 1, width - 1, TitleBand}, TitleColour);
    FillSolid(dc, RECT{1, TitleBand, width - 1, TitleBand + 2}, AccentColour);
    FillSolid(dc, RECT{1, TitleBand + 2, width - 1, height - 1}, BodyColour);
    if (m_caption.empty() || (m_style & MessageBoxOpenFolder))
        return;
    HFONT font = SharedFonts().control;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TitleTextColour);
    RECT title{12, 1, width - 12, TitleBand};
    DrawTextW(dc, m_caption.c_str(), -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (previous)
        SelectObject(dc, previous);
}

void CMessageBoxDlg::MakeButtons() {
    struct TChoice {
        CActButton* button;
        const char* key;
        int id;
    };
    TChoice choices[3];
    int count = 0;
    if (IsYesNo()) {
        choices[count++] = {&m_noButton, "button.no", IDNO};
        choices[count++] = {&m_yesButton, "button.yes", IDYES};
    } else {
        choices[count++] = {&m_okButton, "button.ok", IDOK};
    }
    if (m_style & MessageBoxOpenFolder)
        choices[count++] = {&m_openButton, "button.open", IDOPEN};
    RECT client;
    GetClientRect(hWnd, &client);
    const int rowWidth = count * ButtonWidth + (count - 1) * ButtonGap;
    int x = (client.right - rowWidth) / 2;
    const int y = client.bottom - ButtonBottomMargin - ButtonHeight;
    HDC dc = GetDC(hWnd);
    TActButtonOptions options;
    options.parent = hWnd;
    options.size = SIZE{ButtonWidth, ButtonHeight};
    options.normalPath = NormalImage;
    options.overPath = OverImage;
    options.background = m_background.dc;
    options.reference = dc;
    options.font = SharedFonts().control;
    for (int i = 0; i < count; ++i) {
        const std::string caption = Caption(choices[i].key);
        options.controlId = choices[i].id;
        options.position = POINT{x, y};
        options.caption = caption.c_str();
        choices[i].button->Create(options);
        x += ButtonWidth + ButtonGap;
    }
    ReleaseDC(hWnd, dc);
}

void CMessageBoxDlg::OnInit() {
    RECT client;
    GetClientRect(hWnd, &client);
    HDC dc = GetDC(hWnd);
    PaintBackground(dc, client.right, client.bottom);
    ReleaseDC(hWnd, dc);
    MakeButtons();
    if (!(m_style & MessageBoxOpenFolder))
        SetWindowTextA(hWnd, m_captionText.c_str());
}

void CMessageBoxDlg::Paint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    if (!m_background.released)
        BitBlt(dc, 0, 0, client.right, client.bottom, m_background.dc, 0, 0, SRCCOPY);
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::Font font(L"돋움", TextSize);
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    // The m_text sits in the body between the title band and the buttons.
    const Gdiplus::REAL top = TitleBand;
    const Gdiplus::RectF box{TextWidthMargin / 2.0f, top,
                             static_cast<Gdiplus::REAL>(client.right - TextWidthMargin),
                             static_cast<Gdiplus::REAL>(client.bottom - top - TextHeightMargin)};
    graphics.DrawString(m_text.c_str(), -1, &font, box, &format, &black);
}

bool CMessageBoxDlg::OnCommand(int id) {
    switch (id) {
    case IDOK:
        EndDialog(hWnd, IsYesNo() ? IDYES : IDOK);
        return true;
    case IDCANCEL:
    case IDYES:
    case IDNO:
        EndDialog(hWnd, id);
        return true;
    case IDOPEN:
        if (!m_caption.empty())
            ShellExecuteW(hWnd, L"open", L"explorer", m_caption.c_str(), nullptr, SW_SHOWNORMAL);
        EndDialog(hWnd, IDOPEN);
        return true;
    default:
        return false;
    }
}

LRESULT CMessageBoxDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
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
        return 0;
    }
}

void RegisterMessageBoxTemplate() {
    TDialogTemplate dialogTemplate;
    dialogTemplate.style = WS_POPUP | WS_SYSMENU;
    dialogTemplate.width = BoxWidth;
    dialogTemplate.height = BoxHeight;
    RegisterDialogTemplate(MessageBoxTemplateId, dialogTemplate);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    RegisterMessageBoxTemplate();
    CMessageBoxDlg box(text, caption, style);
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MessageBoxTemplateId),
                                           owner, BoundDialogProcedure,
                                           reinterpret_cast<LPARAM>(static_cast<TWnd*>(&box)));
    return static_cast<int>(result);
}
