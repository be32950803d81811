#include "export/progress_dlg.h"

#include <string>

#include "engine/notify_sink.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/gdiplus.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF FillColour = RGB(54, 53, 51);
constexpr COLORREF EdgeColour = RGB(76, 80, 84);
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

void FillBackground(HDC dc, int width, int height) {
    HBRUSH fill = CreateSolidBrush(FillColour);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, fill);
    DeleteObject(fill);
    HPEN edge = CreatePen(PS_SOLID, 1, EdgeColour);
    HGDIOBJ previous = SelectObject(dc, edge);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, width - 1, 0);
    LineTo(dc, width - 1, height - 1);
    LineTo(dc, 0, height - 1);
    LineTo(dc, 0, 0);
    SelectObject(dc, previous);
    DeleteObject(edge);
}

} // namespace

CProgressDlg::~CProgressDlg() {
    DestroyOwnWindow();
    ReleaseSurfaces();
}

void CProgressDlg::ReleaseSurfaces() {
    m_background.Release();
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

void CProgressDlg::DrawCaption(int width, int height) {
    std::string text;
    GetString("message.load_video", &text, nullptr);
    const std::wstring wide = Utf8ToWide(text);
    Gdiplus::Graphics graphics(m_background.dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::Font font(L"돋움", CaptionPixels, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush grey(Gdiplus::Color(255, CaptionGrey, CaptionGrey, CaptionGrey));
    const Gdiplus::REAL left = static_cast<Gdiplus::REAL>(m_animation.right + CaptionGap);
    const Gdiplus::REAL top = (height - font.GetHeight(&graphics)) / 2;
    // One line up to the edge; a longer text is cut there rather than wrapped.
    Gdiplus::StringFormat oneLine(Gdiplus::StringFormatFlagsNoWrap);
    graphics.DrawString(wide.c_str(), -1, &font, Gdiplus::RectF{left, top, width - 1 - left, font.GetHeight(&graphics)},
                        &oneLine, &grey);
}

void CProgressDlg::OnInit() {
    SetWindowTextA(hWnd, kProgressDialogTitle);
    RECT client;
    GetClientRect(hWnd, &client);
    HDC reference = GetDC(hWnd);
    if (m_background.Prepare(reference, client.right, client.bottom))
        FillBackground(m_background.dc, client.right, client.bottom);
    const bool loaded = LoadFrames(reference);
    ReleaseDC(hWnd, reference);
    // Whatever the skin holds, the dialog still closes by itself: a
    // window nothing can close would stay over the player for good.
    SetTimer(hWnd, ProgressGiveUpTimer, ProgressGiveUpMs, nullptr);
    if (!loaded)
        return;
    const int margin = (client.bottom - m_frames[0].height) / 2;
    m_animation = RECT{margin, margin, margin + m_frames[0].width, margin + m_frames[0].height};
    if (!m_background.released)
        DrawCaption(client.right, client.bottom);
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

void CProgressDlg::EraseBackground(HDC dc) {
    if (m_background.released)
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    BitBlt(dc, 0, 0, client.right, client.bottom, m_background.dc, 0, 0, SRCCOPY);
}

void CProgressDlg::PaintFrame(HDC dc) {
    const TMemoryDC& frame = m_frames[m_frame];
    if (!frame.released)
        BitBlt(dc, m_animation.left, m_animation.top, frame.width, frame.height, frame.dc, 0, 0, SRCCOPY);
}

LRESULT CProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = true;
    if (Closes(message, wParam)) {
        Close();
        return 0;
    }
    switch (message) {
    case WM_INITDIALOG:
        OnInit();
        return TRUE;
    case WM_ERASEBKGND:
        EraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hWnd, &paint);
        PaintFrame(dc);
        EndPaint(hWnd, &paint);
        return 0;
    }
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    // Nothing else that is commanded ends the wait.
    case WM_COMMAND:
        return 0;
    case WM_DESTROY:
        ReleaseSurfaces();
        *handled = false;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

void RegisterProgressDialogTemplate() {
    TDialogTemplate dialogTemplate;
    dialogTemplate.style = WS_POPUP;
    dialogTemplate.width = ProgressDialogWidth;
    dialogTemplate.height = ProgressDialogHeight;
    RegisterDialogTemplate(ProgressDialogTemplateId, dialogTemplate);
}

int ShowProgressDialog(HWND owner) {
    RegisterProgressDialogTemplate();
    CProgressDlg progress(CProgressDlg::TRunMode::Modal);
    return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ProgressDialogTemplateId),
                                            owner, BoundDialogProcedure,
                                            reinterpret_cast<LPARAM>(static_cast<TWnd*>(&progress))));
}

HWND CreateProgressDialog(HWND owner, CProgressDlg& progress) {
    RegisterProgressDialogTemplate();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ProgressDialogTemplateId), owner,
                                     BoundDialogProcedure, reinterpret_cast<LPARAM>(static_cast<TWnd*>(&progress)));
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}
