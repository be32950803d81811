#include "export/file_split_dlg.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "export/clip_split.h"
#include "language/language_fonts.h"
#include "language/wide_text.h"
#include "platform/cursor.h"
#include "platform/dialog.h"
#include "platform/gdiplus.h"
#include "platform/shell_dialogs.h"
#include "settings/viewer_preferences.h"
#include "ui/memory_dc_man.h"
#include "ui/message_box_dlg.h"
#include "ui/selected_font.h"

namespace {

constexpr int DialogWidth = 420;
constexpr int DialogHeight = 176;
constexpr TSkinnedTemplate SplitTemplate{FileSplitTemplateId, DialogWidth, DialogHeight};
constexpr int TitleBand = 32;
constexpr int TitleTextLeft = 12;
constexpr int CloseSize = 32;
constexpr int Margin = 16;
constexpr int RowTop = TitleBand + 20;
constexpr int RowHeight = 26;
constexpr int RowGap = 12;
constexpr int CaptionGap = 10;
// The caption column fits the longer caption of the language, within these.
constexpr int MinCaptionWidth = 48;
constexpr int MaxCaptionWidth = 130;
constexpr int PickerWidth = 28;
constexpr int PickerHeight = 22;
constexpr int PickerGap = 6;
constexpr int PathPadding = 6;
constexpr int ButtonBottomMargin = 16;
constexpr COLORREF BodyColour = RGB(27, 29, 33);
constexpr COLORREF PathColour = RGB(17, 17, 17);
constexpr const char* TitleImage = "resource/skin/dialogs/title_bar.png";
constexpr const char* CloseImage = "resource/skin/dialogs/x.png";
constexpr const char* PickerImage = "resource/skin/controls/btn_fileselect_n.png";
constexpr const char* PickerOverImage = "resource/skin/controls/btn_fileselect_o.png";
// Windows' filter list: description, patterns, and the empty string that
// ends the list (the literal's own terminator).
constexpr char SourceFilter[] = "video Files (*.avi)\0*.avi;\0";
constexpr const char* SourceTitle = "Select video file";
constexpr const char* TargetTitle = "Select target folder";
constexpr const wchar_t Ellipsis[] = L"\u2026";

// What the pickers last chose, for as long as the program runs.
std::string g_lastSourceFolder;
std::string g_lastTargetFolder;

std::string CurrentFolder() {
    char path[PATH_MAX] = {};
    return ::getcwd(path, sizeof path) ? path : "";
}

std::string FolderOf(const std::string& file) {
    const std::string::size_type slash = file.find_last_of('/');
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// A path's end (the file or folder name) says most: a path too wide for
// its box loses its beginning instead.
std::wstring FitFromTheEnd(HDC dc, const std::wstring& text, int width) {
    if (TextWidth(dc, text) <= width)
        return text;
    for (std::size_t start = 1; start < text.size(); ++start) {
        std::wstring shorter = Ellipsis + text.substr(start);
        if (TextWidth(dc, shorter) <= width)
            return shorter;
    }
    return Ellipsis;
}

} // namespace

CFileSplitDlg::CFileSplitDlg(std::string source, std::string target)
    : CSkinnedDlg(SplitTemplate), m_source(std::move(source)), m_target(std::move(target)) {}

void CFileSplitDlg::Layout(HDC reference) {
    TSelectedFont font(reference, SharedFonts().control);
    const int widest =
        std::max(TextWidth(reference, Utf8ToWide(TableText("label.file_split_select"))),
                 TextWidth(reference, Utf8ToWide(TableText("label.file_split_path"))));
    m_captionWidth = std::clamp(widest, MinCaptionWidth, MaxCaptionWidth);
    const int boxLeft = Margin + m_captionWidth + CaptionGap;
    const int boxRight = DialogWidth - Margin - PickerWidth - PickerGap;
    m_sourceBox = RECT{boxLeft, RowTop, boxRight, RowTop + RowHeight};
    const int secondRow = RowTop + RowHeight + RowGap;
    m_targetBox = RECT{boxLeft, secondRow, boxRight, secondRow + RowHeight};
}

void CFileSplitDlg::PaintBackground(HDC reference) {
    HDC dc = PaintFramedBackground(reference, DialogEdgeColour, BodyColour, TitleBand);
    if (!dc)
        return;
    TMemoryDC title;
    if (title.Prepare(reference, DialogWidth, TitleBand) &&
        DrawImageFileOver(title, nullptr, 0, 0, DialogWidth, TitleBand,
                          ResolveSkinPath(TitleImage).c_str()))
        BitBlt(dc, 0, 0, DialogWidth, TitleBand, title.dc, 0, 0, SRCCOPY);
    title.Release();

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, DialogTextOnDarkColour);
    if (Gdiplus::Font* captionFont = SharedFonts().caption.get()) {
        Gdiplus::Graphics graphics(dc);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(DialogTextOnDarkColour),
                                                 GetGValue(DialogTextOnDarkColour),
                                                 GetBValue(DialogTextOnDarkColour)));
        Gdiplus::StringFormat format;
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        const Gdiplus::RectF band{
            static_cast<Gdiplus::REAL>(TitleTextLeft), 0,
            static_cast<Gdiplus::REAL>(DialogWidth - TitleTextLeft - CloseSize),
            static_cast<Gdiplus::REAL>(TitleBand)};
        const std::wstring title = Utf8ToWide(TableText("label.file_split"));
        graphics.DrawString(title.c_str(), -1, captionFont, band, &format, &brush);
    }
    TSelectedFont font(dc, SharedFonts().control);
    const std::pair<const char*, const RECT*> rows[] = {{"label.file_split_select", &m_sourceBox},
                                                        {"label.file_split_path", &m_targetBox}};
    for (const auto& [key, box] : rows) {
        RECT caption{Margin, box->top, Margin + m_captionWidth, box->bottom};
        const std::wstring text = Utf8ToWide(TableText(key));
        DrawTextW(dc, text.c_str(), -1, &caption,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
        FillSolid(dc, *box, DialogEdgeColour);
        FillSolid(dc, RECT{box->left + 1, box->top + 1, box->right - 1, box->bottom - 1},
                  PathColour);
    }
}

void CFileSplitDlg::MakeButtons(HDC reference) {
    TActButtonOptions options;
    options.parent = hWnd;
    options.background = Background();
    options.reference = reference;

    const std::string close = TableText("button.close");
    TActButtonOptions closeBox = options;
    closeBox.controlId = IDC_SPLIT_CLOSE;
    closeBox.position = POINT{DialogWidth - CloseSize, 0};
    closeBox.size = SIZE{CloseSize, CloseSize};
    closeBox.normalPath = CloseImage;
    closeBox.tooltip = close.c_str();
    m_closeButton.Create(closeBox);

    // Each picker is named by its row's caption.
    struct TPicker {
        CActButton* button;
        int id;
        const char* captionKey;
        const RECT* row;
    };
    const TPicker pickers[] = {
        {&m_sourceButton, IDC_SPLIT_PICK_SOURCE, "label.file_split_select", &m_sourceBox},
        {&m_targetButton, IDC_SPLIT_PICK_TARGET, "label.file_split_path", &m_targetBox}};
    TActButtonOptions picker = options;
    picker.size = SIZE{PickerWidth, PickerHeight};
    picker.normalPath = PickerImage;
    picker.overPath = PickerOverImage;
    const int pickerInset = (RowHeight - PickerHeight) / 2;
    for (const TPicker& row : pickers) {
        const std::string tooltip = TableText(row.captionKey);
        picker.controlId = row.id;
        picker.position = POINT{DialogWidth - Margin - PickerWidth, row.row->top + pickerInset};
        picker.tooltip = tooltip.c_str();
        row.button->Create(picker);
    }

    const TDialogButton choices[] = {{&m_okButton, IDOK, "button.ok"},
                                     {&m_cancelButton, IDCANCEL, "button.cancel"}};
    MakeButtonRow(reference, choices, ButtonBottomMargin, SharedFonts().control);
}

void CFileSplitDlg::OnInit() {
    SetWindowTextA(hWnd, TableText("label.file_split").c_str());
    HDC dc = GetDC(hWnd);
    Layout(dc);
    PaintBackground(dc);
    MakeButtons(dc);
    ReleaseDC(hWnd, dc);
}

void CFileSplitDlg::DrawPath(HDC dc, const std::string& path, const RECT& box) {
    RECT inside{box.left + PathPadding, box.top, box.right - PathPadding, box.bottom};
    const std::wstring shown = FitFromTheEnd(dc, Utf8ToWide(path), inside.right - inside.left);
    DrawTextW(dc, shown.c_str(), -1, &inside, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

void CFileSplitDlg::Paint(HDC dc) {
    TSelectedFont font(dc, SharedFonts().control);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, DialogTextOnDarkColour);
    DrawPath(dc, m_source, m_sourceBox);
    DrawPath(dc, m_target, m_targetBox);
}

void CFileSplitDlg::PickSource() {
    if (g_lastSourceFolder.empty())
        g_lastSourceFolder = CurrentFolder();
    OPENFILENAMEA request;
    request.hwndOwner = hWnd;
    request.lpstrFilter = SourceFilter;
    request.nFilterIndex = 1;
    request.lpstrInitialDir = g_lastSourceFolder.c_str();
    request.lpstrTitle = SourceTitle;
    request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    std::string chosen;
    if (!GetOpenFileNameA(&request, &chosen))
        return;
    m_source = CutToFieldWidth(chosen, kPathLimit);
    g_lastSourceFolder = FolderOf(m_source);
    InvalidateRect(hWnd, &m_sourceBox, FALSE);
}

void CFileSplitDlg::PickTarget() {
    if (g_lastTargetFolder.empty())
        g_lastTargetFolder = m_target;
    BROWSEINFOA request;
    request.hwndOwner = hWnd;
    request.lpszTitle = TargetTitle;
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
    request.initialFolder = g_lastTargetFolder.c_str();
    std::string chosen;
    if (!SHBrowseForFolderA(&request, &chosen))
        return;
    m_target = CutToFieldWidth(chosen, kPathLimit);
    g_lastTargetFolder = m_target;
    InvalidateRect(hWnd, &m_targetBox, FALSE);
}

void CFileSplitDlg::RunSplit() {
    if (m_source.empty() || m_target.empty())
        return;
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    const TSplitResult result = Split(m_source, m_target);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    if (result != TSplitResult::Done) {
        // The user may pick another recording or folder and try again.
        ShowMessageBox(hWnd, TableText("message.file_split_error").c_str(), nullptr, MB_OK);
        return;
    }
    // The folder goes with the message as the one its Open button shows; in
    // the text as well it would not fit the box.
    ShowMessageBox(hWnd, TableText("message.file_split").c_str(), m_target.c_str(),
                   MB_OK | MessageBoxOpenFolder);
    EndDialog(hWnd, IDOK);
}

bool CFileSplitDlg::OnCommand(int id) {
    switch (id) {
    case IDOK:
        RunSplit();
        return true;
    case IDCANCEL:
    case IDC_SPLIT_CLOSE:
        EndDialog(hWnd, IDCANCEL);
        return true;
    case IDC_SPLIT_PICK_SOURCE:
        PickSource();
        return true;
    case IDC_SPLIT_PICK_TARGET:
        PickTarget();
        return true;
    default:
        return false;
    }
}

// The title band moves the dialog, as a system caption would.
LRESULT CFileSplitDlg::OnOtherMessage(UINT message, WPARAM, LPARAM lParam, bool* handled) {
    *handled = message == WM_NCHITTEST;
    if (!*handled)
        return 0;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hWnd, &point);
    return point.y < TitleBand ? HTCAPTION : HTCLIENT;
}

INT_PTR ShowFileSplitDialog(HWND owner, const std::string& openRecording) {
    CFileSplitDlg dialog(openRecording, Preferences().splitPath);
    return dialog.DoModal(owner);
}
