#include "export/captured_dlg.h"

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"
#include "platform/ui_support_shell.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr int TitleBand = 30;
constexpr int TitleRule = 2;
constexpr int ButtonWidth = 93;
constexpr int ButtonHeight = 25;
// The button's top lies this far above the bottom.
constexpr int ButtonRise = 40;
constexpr int PathInset = 10;
constexpr int PathGap = 4;
constexpr Gdiplus::REAL SuccessPixels = 18;
constexpr Gdiplus::REAL PathPixels = 12;
constexpr std::size_t PathTextLimit = 1024;
constexpr const char* PathSeparator = "     ";
constexpr COLORREF TitleColour = RGB(20, 21, 24);
constexpr COLORREF TitleTextColour = RGB(195, 200, 207);
constexpr COLORREF BodyColour = RGB(236, 238, 241);
constexpr COLORREF AccentColour = RGB(38, 159, 218);
constexpr COLORREF EdgeColour = RGB(48, 52, 59);
constexpr const char* NormalImage = "resource/skin/controls/default_btn_n.png";
constexpr const char* OverImage = "resource/skin/controls/default_btn_o.png";

std::string Text(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

// "<label>     <folder>", or the label alone when the whole would be too long.
std::wstring PathText(const std::string& capturePath) {
    const std::wstring label = Utf8ToWide(Text("message.image_save_path"));
    const std::wstring folder = Utf8ToWide(capturePath);
    std::wstring text = label + Utf8ToWide(PathSeparator);
    if (text.size() + folder.size() < PathTextLimit)
        text += folder;
    return text;
}

void DrawCentred(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::Font& font,
                 const Gdiplus::RectF& box) {
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    Gdiplus::StringFormat format;
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    graphics.DrawString(text.c_str(), -1, &font, box, &format, &black);
}

} // namespace

CCapturedDlg::~CCapturedDlg() {
    DestroyOwnWindow();
    m_background.Release();
}

void CCapturedDlg::PaintBackground(HDC reference, int width, int height) {
    if (!m_background.Prepare(reference, width, height))
        return;
    HDC dc = m_background.dc;
    FillSolid(dc, RECT{0, 0, width, height}, EdgeColour);
    FillSolid(dc, RECT{1, 1, width - 1, TitleBand}, TitleColour);
    FillSolid(dc, RECT{1, TitleBand, width - 1, TitleBand + TitleRule}, AccentColour);
    FillSolid(dc, RECT{1, TitleBand + TitleRule, width - 1, height - 1}, BodyColour);
    HFONT font = SharedFonts().control;
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, TitleTextColour);
    RECT title{12, 1, width - 12, TitleBand};
    DrawTextW(dc, m_title.c_str(), -1, &title, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    if (previous)
        SelectObject(dc, previous);
}

void CCapturedDlg::MakeOpenButton(int width, int height) {
    const std::string caption = Text("button.open");
    HDC dc = GetDC(hWnd);
    TActButtonOptions options;
    options.parent = hWnd;
    options.controlId = CapturedOpenButtonId;
    options.position = POINT{(width - ButtonWidth) / 2, height - ButtonRise};
    options.size = SIZE{ButtonWidth, ButtonHeight};
    options.normalPath = NormalImage;
    options.overPath = OverImage;
    options.background = m_background.released ? nullptr : m_background.dc;
    options.reference = dc;
    options.caption = caption.c_str();
    options.font = SharedFonts().dialog;
    m_openButton.Create(options);
    ReleaseDC(hWnd, dc);
}

void CCapturedDlg::OnInit() {
    const std::string title = Text("message.image_save_complete");
    m_title = Utf8ToWide(title);
    SetWindowTextA(hWnd, title.c_str());
    RECT client;
    GetClientRect(hWnd, &client);
    HDC dc = GetDC(hWnd);
    PaintBackground(dc, client.right, client.bottom);
    ReleaseDC(hWnd, dc);
    MakeOpenButton(client.right, client.bottom);
    SetTimer(hWnd, CapturedCloseTimer, CapturedCloseDelayMs, nullptr);
}

void CCapturedDlg::Paint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    if (!m_background.released)
        BitBlt(dc, 0, 0, client.right, client.bottom, m_background.dc, 0, 0, SRCCOPY);
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    // The message fills the upper half of the body, the folder the band
    // above the button. The body starts under the title band, which stands
    // in for a caption outside the client area.
    const Gdiplus::REAL width = static_cast<Gdiplus::REAL>(client.right);
    const int bodyTop = TitleBand + TitleRule;
    const Gdiplus::REAL upper = static_cast<Gdiplus::REAL>(bodyTop + (client.bottom - bodyTop) / 2 + 10);
    Gdiplus::Font bold(L"돋움", SuccessPixels, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    DrawCentred(graphics, Utf8ToWide(Text("message.image_save_success")), bold,
                Gdiplus::RectF{0, static_cast<Gdiplus::REAL>(bodyTop), width, upper - bodyTop});
    const Gdiplus::REAL pathBottom = static_cast<Gdiplus::REAL>(client.bottom - ButtonRise - PathGap);
    Gdiplus::Font regular(L"돋움", PathPixels, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    DrawCentred(graphics, PathText(m_capturePath), regular,
                Gdiplus::RectF{PathInset, upper, width - 2 * PathInset, pathBottom - upper});
}

void CCapturedDlg::Close(int result) {
    KillTimer(hWnd, CapturedCloseTimer);
    EndDialog(hWnd, result);
}

bool CCapturedDlg::OnCommand(int id) {
    switch (id) {
    case CapturedOpenButtonId: {
        const std::wstring folder = Utf8ToWide(m_capturePath);
        ShellExecuteW(hWnd, L"open", L"explorer", folder.c_str(), nullptr, SW_SHOWNORMAL);
        Close(IDOPEN);
        return true;
    }
    case IDOK:
    case IDCANCEL:
        Close(IDOK);
        return true;
    default:
        return false;
    }
}

LRESULT CCapturedDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
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
    case WM_TIMER:
        *handled = wParam == CapturedCloseTimer;
        if (*handled)
            Close(IDOK);
        return 0;
    case WM_COMMAND:
        *handled = OnCommand(LOWORD(wParam));
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

void RegisterCapturedDialogTemplate() {
    TDialogTemplate dialogTemplate;
    dialogTemplate.style = WS_POPUP | WS_SYSMENU;
    dialogTemplate.width = CapturedDialogWidth;
    dialogTemplate.height = CapturedDialogHeight;
    RegisterDialogTemplate(CapturedDialogTemplateId, dialogTemplate);
}

int ShowCapturedDialog(HWND owner, const std::string& capturePath) {
    RegisterCapturedDialogTemplate();
    CCapturedDlg captured(capturePath);
    return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(CapturedDialogTemplateId),
                                            owner, BoundDialogProcedure,
                                            reinterpret_cast<LPARAM>(static_cast<TWnd*>(&captured))));
}

void ReportCapture(HWND owner, const TCaptureResult& result, const std::string& capturePath) {
    switch (result.outcome) {
    case TCaptureOutcome::Done:
        ShowCapturedDialog(owner, capturePath);
        return;
    case TCaptureOutcome::Failed:
        ShowMessageBox(owner, Text(kImageSaveErrorKey).c_str(), nullptr, MB_OK);
        return;
    case TCaptureOutcome::Cancelled:
        return;
    }
}
