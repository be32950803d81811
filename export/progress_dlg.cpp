#include "export/progress_dlg.h"

#include "engine/notify_sink.h"
#include "language/wide_text.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"
#include "platform/message_box.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr TSkinnedTemplate ProgressTemplate{ProgressDialogTemplateId, ProgressDialogWidth,
                                            ProgressDialogHeight, WS_POPUP};
constexpr COLORREF FillColour = RGB(54, 53, 51);
constexpr COLORREF EdgeColour = RGB(76, 80, 84);
// No title band: the body starts right under the edge.
constexpr int BodyTop = 1;
constexpr BYTE CaptionGrey = 170;
constexpr Gdiplus::REAL CaptionPixels = 12;
constexpr int CaptionGap = 24;
constexpr INT_PTR Ended = 1;
constexpr WORD ClosingNotification = 1;
constexpr const char* FramePaths[ProgressFrameCount] = {
    "resource/skin/loading_01.png",
    "resource/skin/loading_02.png",
    "resource/skin/loading_03.png",
};

} // namespace

CProgressDlg::CProgressDlg(TRunMode mode) : CSkinnedDlg(ProgressTemplate), m_mode(mode) {}

CProgressDlg::~CProgressDlg() {
    DestroyOwnWindow();
    ReleaseSurfaces();
}

void CProgressDlg::ReleaseSurfaces() {
    ReleaseBackground();
    for (TMemoryDC& frame : m_frames)
        frame.Release();
}

bool CProgressDlg::LoadFrames(HDC reference) {
    for (int i = 0; i < ProgressFrameCount; ++i) {
        if (!LoadSkinImage(reference, ResolveSkinPath(FramePaths[i]).c_str(), m_frames[i]))
            return false;
    }
    return true;
}

void CProgressDlg::DrawCaption(HDC dc, int width, int height) {
    const std::wstring wide = Utf8ToWide(TableText("message.load_video"));
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::Font font(DialogTextFace, CaptionPixels, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush grey(Gdiplus::Color(255, CaptionGrey, CaptionGrey, CaptionGrey));
    const Gdiplus::REAL left = static_cast<Gdiplus::REAL>(m_animation.right + CaptionGap);
    const Gdiplus::REAL top = (height - font.GetHeight(&graphics)) / 2;
    // One line up to the edge; a longer text is cut there rather than wrapped.
    Gdiplus::StringFormat oneLine(Gdiplus::StringFormatFlagsNoWrap);
    graphics.DrawString(wide.c_str(), -1, &font,
                        Gdiplus::RectF{left, top, width - 1 - left, font.GetHeight(&graphics)},
                        &oneLine, &grey);
}

void CProgressDlg::OnInit() {
    SetWindowTextA(hWnd, kProgressDialogTitle);
    RECT client;
    GetClientRect(hWnd, &client);
    HDC reference = GetDC(hWnd);
    HDC background = PaintFramedBackground(reference, EdgeColour, FillColour, BodyTop);
    const bool loaded = LoadFrames(reference);
    ReleaseDC(hWnd, reference);
    // Whatever the skin holds, the dialog still closes by itself: a
    // window nothing can close would stay over the player for good.
    SetTimer(hWnd, ProgressGiveUpTimer, ProgressGiveUpMs, nullptr);
    if (!loaded)
        return;
    const int margin = (client.bottom - m_frames[0].height) / 2;
    m_animation = RECT{margin, margin, margin + m_frames[0].width, margin + m_frames[0].height};
    if (background)
        DrawCaption(background, client.right, client.bottom);
    SetTimer(hWnd, ProgressStartTimer, ProgressStartDelayMs, nullptr);
}

void CProgressDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case ProgressStartTimer:
        KillTimer(hWnd, ProgressStartTimer);
        SetTimer(hWnd, ProgressFrameTimer, ProgressFramePeriodMs, nullptr);
        return;
    case ProgressFrameTimer:
        InvalidateRect(hWnd, &m_animation, FALSE);
        m_frame = (m_frame + 1) % ProgressFrameCount;
        return;
    case ProgressGiveUpTimer:
        KillTimer(hWnd, ProgressFrameTimer);
        Close();
        return;
    default:
        return;
    }
}

bool CProgressDlg::Closes(UINT message, WPARAM wParam) {
    if (message == kPlayerNotifyMessage)
        return HIWORD(wParam) == ClosingNotification;
    if (message != WM_COMMAND)
        return false;
    // Enter and Escape must not end the wait.
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        return false;
    return HIWORD(wParam) == ClosingNotification;
}

void CProgressDlg::Close() {
    KillTimer(hWnd, ProgressFrameTimer);
    KillTimer(hWnd, ProgressGiveUpTimer);
    if (m_mode == TRunMode::Modal)
        EndDialog(hWnd, Ended);
    else
        DestroyWindow(hWnd);
}

void CProgressDlg::Paint(HDC dc) {
    const TMemoryDC& frame = m_frames[m_frame];
    if (!frame.released)
        BitBlt(dc, m_animation.left, m_animation.top, frame.width, frame.height, frame.dc, 0, 0,
               SRCCOPY);
}

LRESULT CProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    if (!Closes(message, wParam))
        return CSkinnedDlg::OnMessage(message, wParam, lParam, handled);
    *handled = true;
    Close();
    return 0;
}

// Nothing else that is commanded ends the wait.
bool CProgressDlg::OnCommand(int) {
    return true;
}

LRESULT CProgressDlg::OnOtherMessage(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = false;
    switch (message) {
    case WM_TIMER:
        *handled = true;
        OnTimer(wParam);
        return 0;
    case WM_DESTROY:
        ReleaseSurfaces();
        return 0;
    default:
        return 0;
    }
}

int ShowProgressDialog(HWND owner) {
    CProgressDlg progress(CProgressDlg::TRunMode::Modal);
    return static_cast<int>(progress.DoModal(owner));
}

HWND CreateProgressDialog(HWND owner, CProgressDlg& progress) {
    HWND dialog = progress.CreateModeless(owner);
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}
