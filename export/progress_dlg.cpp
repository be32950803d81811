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

INT_PTR CProgressDlg::DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* progress = reinterpret_cast<CProgressDlg*>(lParam);
        if (!progress)
            return TRUE;
        BindWindow(dialog, progress);
        progress->OnInit();
        return TRUE;
    }
    auto* progress = static_cast<CProgressDlg*>(WindowObject(dialog));
    if (!progress)
        return FALSE;
    if (Closes(message, wParam)) {
        progress->Close();
        return TRUE;
    }
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(dialog, &client);
        if (!progress->m_background.released)
            BitBlt(reinterpret_cast<HDC>(wParam), 0, 0, client.right, client.bottom, progress->m_background.dc, 0,
                   0, SRCCOPY);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(dialog, &paint);
        const TMemoryDC& frame = progress->m_frames[progress->m_frame];
        if (!frame.released)
            BitBlt(dc, progress->m_animation.left, progress->m_animation.top, frame.width, frame.height, frame.dc, 0,
                   0, SRCCOPY);
        EndPaint(dialog, &paint);
        return TRUE;
    }
    case WM_TIMER:
        progress->OnTimer(wParam);
        return TRUE;
    case WM_COMMAND:
        return TRUE;
    case WM_DESTROY:
        progress->ReleaseSurfaces();
        return FALSE;
    case WM_NCDESTROY:
        UnbindWindow(dialog);
        return FALSE;
    default:
        return FALSE;
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
                                            owner, CProgressDlg::DialogProcedure,
                                            reinterpret_cast<LPARAM>(&progress)));
}

HWND CreateProgressDialog(HWND owner, CProgressDlg& progress) {
    RegisterProgressDialogTemplate();
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(ProgressDialogTemplateId), owner,
                                     CProgressDlg::DialogProcedure, reinterpret_cast<LPARAM>(&progress));
    if (dialog)
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}
