#include "export/captured_dlg.h"

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"
#include "platform/ui_support_shell.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr TSkinnedTemplate CapturedTemplate{CapturedDialogTemplateId, CapturedDialogWidth,
                                            CapturedDialogHeight};
// The button's top lies this far above the bottom.
constexpr int ButtonRise = 40;
constexpr int PathInset = 10;
constexpr int PathGap = 4;
constexpr Gdiplus::REAL SuccessPixels = 18;
constexpr Gdiplus::REAL PathPixels = 12;
constexpr std::size_t PathTextLimit = 1024;
constexpr const char* PathSeparator = "     ";

// "<label>     <folder>", or the label alone when the whole would be too long.
std::wstring PathText(const std::wstring& label, const std::string& capturePath) {
    const std::wstring folder = Utf8ToWide(capturePath);
    std::wstring text = label + Utf8ToWide(PathSeparator);
    if (text.size() + folder.size() < PathTextLimit)
        text += folder;
    return text;
}

} // namespace

CCapturedDlg::CCapturedDlg(std::string capturePath)
    : CSkinnedDlg(CapturedTemplate), m_capturePath(std::move(capturePath)) {}

void CCapturedDlg::OnInit() {
    const std::string title = TableText("message.image_save_complete");
    SetWindowTextA(hWnd, title.c_str());
    HDC dc = GetDC(hWnd);
    PaintBandedBackground(dc, Utf8ToWide(title));
    const TDialogButton open[] = {{&m_openButton, CapturedOpenButtonId, "button.open"}};
    MakeButtonRow(dc, open, ButtonRise - DialogButtonHeight, SharedFonts().dialog);
    ReleaseDC(hWnd, dc);
    SetTimer(hWnd, CapturedCloseTimer, CapturedCloseDelayMs, nullptr);
}

void CCapturedDlg::Paint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    // The message fills the upper half of the body, the folder the band
    // above the button. The body starts under the title band, which stands
    // in for a caption outside the client area.
    const Gdiplus::REAL width = static_cast<Gdiplus::REAL>(client.right);
    const int bodyTop = BandedTitleHeight + BandedTitleRule;
    const Gdiplus::REAL upper =
        static_cast<Gdiplus::REAL>(bodyTop + (client.bottom - bodyTop) / 2 + 10);
    Gdiplus::Font bold(DialogTextFace, SuccessPixels, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    DrawCentredText(graphics, Utf8ToWide(TableText("message.image_save_success")), bold,
                    Gdiplus::RectF{0, static_cast<Gdiplus::REAL>(bodyTop), width, upper - bodyTop});
    const Gdiplus::REAL pathBottom =
        static_cast<Gdiplus::REAL>(client.bottom - ButtonRise - PathGap);
    Gdiplus::Font regular(DialogTextFace, PathPixels, Gdiplus::FontStyleRegular,
                          Gdiplus::UnitPixel);
    const std::wstring path =
        PathText(Utf8ToWide(TableText("message.image_save_path")), m_capturePath);
    DrawCentredText(graphics, path, regular,
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

LRESULT CCapturedDlg::OnOtherMessage(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = message == WM_TIMER && wParam == CapturedCloseTimer;
    if (*handled)
        Close(IDOK);
    return 0;
}

int ShowCapturedDialog(HWND owner, const std::string& capturePath) {
    CCapturedDlg captured(capturePath);
    return static_cast<int>(captured.DoModal(owner));
}

void ReportCapture(HWND owner, const TCaptureResult& result, const std::string& capturePath) {
    switch (result.outcome) {
    case TCaptureOutcome::Done:
        ShowCapturedDialog(owner, capturePath);
        return;
    case TCaptureOutcome::Failed: {
        std::string error;
        GetString(kImageSaveErrorKey, &error, nullptr);
        ShowMessageBox(owner, error.c_str(), nullptr, MB_OK);
        return;
    }
    case TCaptureOutcome::Cancelled:
        return;
    }
}
