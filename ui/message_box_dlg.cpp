#include "ui/message_box_dlg.h"

#include "language/language_fonts.h"
#include "language/wide_text.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"
#include "platform/message_box.h"
#include "platform/ui_support_shell.h"

namespace {

constexpr int BoxWidth = 340;
constexpr int BoxHeight = 160;
constexpr TSkinnedTemplate BoxTemplate{MessageBoxTemplateId, BoxWidth, BoxHeight};
constexpr int ButtonBottomMargin = 14;
constexpr int TextWidthMargin = 20;
constexpr int TextHeightMargin = 40;
constexpr Gdiplus::REAL TextSize = 13;

std::wstring Limited(const char* text) {
    std::wstring wide = Utf8ToWide(text ? text : "");
    if (wide.size() > MessageTextLimit)
        wide.resize(MessageTextLimit);
    return wide;
}

} // namespace

CMessageBoxDlg::CMessageBoxDlg(const char* text, const char* caption, UINT style)
    : CSkinnedDlg(BoxTemplate), m_text(Limited(text)), m_caption(Limited(caption)),
      m_captionText(caption ? caption : ""), m_style(style) {}

void CMessageBoxDlg::MakeButtons(HDC reference) {
    TDialogButton choices[3];
    std::size_t count = 0;
    if (IsYesNo()) {
        choices[count++] = {&m_noButton, IDNO, "button.no"};
        choices[count++] = {&m_yesButton, IDYES, "button.yes"};
    } else {
        choices[count++] = {&m_okButton, IDOK, "button.ok"};
    }
    if (OffersOpenFolder())
        choices[count++] = {&m_openButton, IDOPEN, "button.open"};
    MakeButtonRow(reference, std::span(choices, count), ButtonBottomMargin, SharedFonts().control);
}

void CMessageBoxDlg::OnInit() {
    HDC dc = GetDC(hWnd);
    // With Open the caption is the folder, not a title.
    PaintBandedBackground(dc, OffersOpenFolder() ? std::wstring() : m_caption);
    MakeButtons(dc);
    ReleaseDC(hWnd, dc);
    if (!OffersOpenFolder())
        SetWindowTextA(hWnd, m_captionText.c_str());
}

void CMessageBoxDlg::Paint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
    Gdiplus::Font font(DialogTextFace, TextSize);
    // The m_text sits in the body between the title band and the buttons.
    const Gdiplus::REAL top = BandedTitleHeight;
    const Gdiplus::RectF box{TextWidthMargin / 2.0f, top,
                             static_cast<Gdiplus::REAL>(client.right - TextWidthMargin),
                             static_cast<Gdiplus::REAL>(client.bottom - top - TextHeightMargin)};
    DrawCentredText(graphics, m_text, font, box);
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

void RegisterMessageBoxTemplate() {
    RegisterSkinnedTemplate(BoxTemplate);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    CMessageBoxDlg box(text, caption, style);
    return static_cast<int>(box.DoModal(owner));
}
