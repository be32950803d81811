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

void Fill(HDC dc, RECT rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

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

CMessageBoxDlg::~CMessageBoxDlg() {
    DestroyOwnWindow();
    background.Release();
}

void CMessageBoxDlg::PaintBackground(HDC reference, int width, int height) {
    if (!background.Prepare(reference, width, height))
        return;
    HDC dc = background.dc;
    Fill(dc, RECT{0, 0, width, height}, EdgeColour);
    Fill(dc, RECT{1, 1, width - 1, TitleBand}, TitleColour);
    Fill(dc, RECT{1, TitleBand, width - 1, TitleBand + 2}, AccentColour);
    Fill(dc, RECT{1, TitleBand + 2, width - 1, height - 1}, BodyColour);
    if (caption.empty() || (style & MessageBoxOpenFolder))
        return;
    HFONT font = SharedFonts().control;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TitleTextColour);
    RECT title{12, 1, width - 12, TitleBand};
    DrawTextW(dc, caption.c_str(), -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
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
        choices[count++] = {&noButton, "button.no", IDNO};
        choices[count++] = {&yesButton, "button.yes", IDYES};
    } else {
        choices[count++] = {&okButton, "button.ok", IDOK};
    }
    if (style & MessageBoxOpenFolder)
        choices[count++] = {&openButton, "button.open", IDOPEN};
    RECT client;
    GetClientRect(hWnd, &client);
    const int rowWidth = count * ButtonWidth + (count - 1) * ButtonGap;
    int x = (client.right - rowWidth) / 2;
    const int y = client.bottom - ButtonBottomMargin - ButtonHeight;
    HDC dc = GetDC(hWnd);
    for (int i = 0; i < count; ++i) {
        CActButton* button = choices[i].button;
        if (HFONT font = SharedFonts().control)
            button->SetFont(font, false);
        const std::string text = Caption(choices[i].key);
        button->Create(dc, NormalImage, nullptr, OverImage, nullptr, text.c_str(), POINT{x, y},
                       SIZE{ButtonWidth, ButtonHeight}, background.dc, hWnd, choices[i].id, nullptr);
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
    if (!(style & MessageBoxOpenFolder))
        SetWindowTextA(hWnd, captionText.c_str());
}

void CMessageBoxDlg::Paint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    if (!background.released)
        BitBlt(dc, 0, 0, client.right, client.bottom, background.dc, 0, 0, SRCCOPY);
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::Font font(L"돋움", TextSize);
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    // The text sits in the body between the title band and the buttons.
    const Gdiplus::REAL top = TitleBand;
    const Gdiplus::RectF box{TextWidthMargin / 2.0f, top,
                             static_cast<Gdiplus::REAL>(client.right - TextWidthMargin),
                             static_cast<Gdiplus::REAL>(client.bottom - top - TextHeightMargin)};
    graphics.DrawString(text.c_str(), -1, &font, box, &format, &black);
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
        if (!caption.empty())
            ShellExecuteW(hWnd, L"open", L"explorer", caption.c_str(), nullptr, SW_SHOWNORMAL);
        EndDialog(hWnd, IDOPEN);
        return true;
    default:
        return false;
    }
}

INT_PTR CMessageBoxDlg::DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* box = reinterpret_cast<CMessageBoxDlg*>(lParam);
        if (!box)
            return TRUE;
        BindWindow(dialog, box);
        box->OnInit();
        return TRUE;
    }
    auto* box = static_cast<CMessageBoxDlg*>(WindowObject(dialog));
    if (!box)
        return FALSE;
    switch (message) {
    case WM_ERASEBKGND:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        box->Paint(dc);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_DRAWITEM:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, RouteDrawItem(lParam));
        return TRUE;
    case WM_COMMAND:
        return box->OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_NCDESTROY:
        UnbindWindow(dialog);
        return FALSE;
    default:
        return FALSE;
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
    CMessageBoxDlg box;
    box.text = Limited(text);
    box.caption = Limited(caption);
    box.captionText = caption ? caption : "";
    box.style = style;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MessageBoxTemplateId),
                                           owner, CMessageBoxDlg::DialogProcedure,
                                           reinterpret_cast<LPARAM>(&box));
    return static_cast<int>(result);
}
