#include "recordings/file_list_panel.h"

#include <algorithm>
#include <filesystem>

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/message_box.h"
#include "platform/popup_menu.h"
#include "platform/tooltip.h"
#include "platform/ui_support_shell.h"
#include "ui/memory_dc_man.h"
#include "ui/message_box_dlg.h"
#include "ui/selected_font.h"

namespace {

constexpr POINT FileBackgroundOrigin{3, 0};
constexpr POINT PathAreaOrigin{4, 36};
constexpr int FilterButtonsGap = 8;
constexpr int FilterPairGap = 4;
constexpr int FilterButtonSize = 24;
constexpr int ListAreaBelowBox = 43;
// The path text stays clear of the box's rounded edges and its folder icon.
constexpr RECT PathTextInset{3, 2, 19, 2};
constexpr COLORREF PathTextColour = RGB(195, 200, 207);
constexpr const char* FileOpenFailedText = "File open failed!";
constexpr const char* FileOpenFailedCaption = "Error";
constexpr const wchar_t* Ellipsis = L"\u2026";

constexpr int ListBorderWidth = 1;
// Where the clock stands in the header's column marks.
constexpr int ClockMarkCentre = 111;

std::vector<TColumnInfo> ListColumns() {
    return {TColumnInfo{L"", KindColumnShare}, TColumnInfo{L"", TimeColumnShare}};
}

int Width(const TMemoryDC& image) {
    return image.released ? 0 : image.width;
}
int Height(const TMemoryDC& image) {
    return image.released ? 0 : image.height;
}

void Copy(HDC dc, const TMemoryDC& image, int x, int y) {
    if (!image.released)
        BitBlt(dc, x, y, image.width, image.height, image.dc, 0, 0, SRCCOPY);
}

void Stretch(HDC dc, const TMemoryDC& image, const RECT& rect) {
    if (image.released || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, image.dc, 0,
               0, image.width, image.height, SRCCOPY);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// A long path keeps its end, the folder the user knows, behind an ellipsis.
std::wstring FitFromTheEnd(HDC dc, const std::wstring& text, int width) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (size.cx <= width)
        return text;
    for (std::size_t cut = 1; cut < text.size(); ++cut) {
        const std::wstring shortened = Ellipsis + text.substr(cut);
        GetTextExtentPoint32W(dc, shortened.c_str(), static_cast<int>(shortened.size()), &size);
        if (size.cx <= width)
            return shortened;
    }
    return Ellipsis;
}

std::string LocalText(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

enum TRowMenuCommand : UINT_PTR {
    RowMenuPlay = 1,
    RowMenuOpenFolder,
    RowMenuExport,
    RowMenuDelete
};

} // namespace

const std::array<CFileListPanel::TFilterPair, 3> CFileListPanel::FilterPairs = {{
    {RecordingKind::Normal, NormalOnId, NormalOffId, "resource/skin/controls/type_n_on.png",
     "resource/skin/controls/type_n_off.png", "button.continuous_file"},
    {RecordingKind::Event, EventOnId, EventOffId, "resource/skin/controls/type_e_on.png",
     "resource/skin/controls/type_e_off.png", "button.event_file"},
    {RecordingKind::Parking, ParkingOnId, ParkingOffId, "resource/skin/controls/type_p_on.png",
     "resource/skin/controls/type_p_off.png", "button.motion_file"},
}};

CFileListPanel::CFileListPanel() : m_catalog(this) {
    SetMessageBox(nullptr);
}

CFileListPanel::~CFileListPanel() {
    DestroyOwnWindow();
}

void CFileListPanel::SetOwner(HWND owner) {
    m_owner = owner;
    m_catalog.SetOwnerWindow(owner);
}

void CFileListPanel::SetMessageBox(TMessageBoxFunction show) {
    m_messageBox = show ? std::move(show) : TMessageBoxFunction(ShowMessageBox);
}

void CFileListPanel::PrepareBackground(HDC dc, const RECT& client) {
    CPanel::PrepareBackground(dc, client);
    DrawBackground(client.right - client.left, client.bottom - client.top);
}

void CFileListPanel::DrawBackground(int width, int height) {
    if (background.released)
        return;
    HDC dc = background.dc;
    Stretch(dc, SharedImage(SkinImage::ToolbarBackground), RECT{0, 0, width, height});
    Copy(dc, SharedImage(SkinImage::FileBackground), FileBackgroundOrigin.x,
         FileBackgroundOrigin.y);
    const TMemoryDC& box = SharedImage(SkinImage::LocationBox);
    Copy(dc, box, PathAreaOrigin.x, PathAreaOrigin.y);
    m_pathArea = RECT{PathAreaOrigin.x, PathAreaOrigin.y, PathAreaOrigin.x + Width(box),
                      PathAreaOrigin.y + Height(box)};
    // The header strip over the list: caps at both ends, the plain piece
    // stretched between, and the two halves of the column marks over their
    // columns: the kinds' dots at the left, the clock over the times.
    const int top = Height(box) + ListAreaBelowBox;
    const TMemoryDC& left = SharedImage(SkinImage::ListTopLeft);
    const TMemoryDC& space = SharedImage(SkinImage::ListTopSpace);
    const TMemoryDC& marks = SharedImage(SkinImage::ListTopFileName);
    const TMemoryDC& right = SharedImage(SkinImage::ListTopRight);
    const int stripHeight = Height(left);
    Stretch(dc, space, RECT{0, top, width, top + stripHeight});
    Copy(dc, left, 0, top);
    Copy(dc, right, width - Width(right), top);
    if (marks.released)
        return;
    const int half = marks.width / 2;
    BitBlt(dc, Width(left), top, half, marks.height, marks.dc, 0, 0, SRCCOPY);
    const std::vector<int> columns = ColumnWidths(ListColumns(), width - 2 * ListBorderWidth);
    const int timeCentre = ListBorderWidth + columns.front() + columns.back() / 2;
    BitBlt(dc, timeCentre - (ClockMarkCentre - half), top, marks.width - half, marks.height,
           marks.dc, half, 0, SRCCOPY);
}

void CFileListPanel::OnInitPanel(LPARAM) {
    HDC reference = GetDC(hWnd);
    CreateFilterButtons(reference);
    ReleaseDC(hWnd, reference);
    TListOptions options;
    options.parent = hWnd;
    options.rowHeight = RecordingListRowHeight;
    options.rowInfo = &m_rowInfo;
    options.font = SharedFonts().listGdi;
    options.columns = ListColumns();
    m_list.Create(options);
    RECT client;
    GetClientRect(hWnd, &client);
    LayOutChildren(client.right, client.bottom);
    RefreshTooltips();
}

void CFileListPanel::CreateFilterButtons(HDC reference) {
    int x = Width(SharedImage(SkinImage::LocationBox)) + FilterButtonsGap;
    std::size_t index = 0;
    for (const TFilterPair& pair : FilterPairs) {
        TActButtonOptions options;
        options.parent = hWnd;
        options.position = POINT{x, PathAreaOrigin.y};
        options.size = SIZE{FilterButtonSize, FilterButtonSize};
        options.background = background.released ? nullptr : background.dc;
        options.reference = reference;
        options.controlId = pair.onId;
        options.normalPath = options.pressedPath = options.overPath = pair.onImage;
        options.disabledPath = pair.offImage;
        m_filterButtons[index++].Create(options);
        options.controlId = pair.offId;
        options.normalPath = options.pressedPath = options.overPath = options.disabledPath =
            pair.offImage;
        options.style &= ~WS_VISIBLE;
        m_filterButtons[index++].Create(options);
        x += FilterButtonSize + FilterPairGap;
    }
}

void CFileListPanel::LayOutChildren(int width, int height) {
    const int top = Height(SharedImage(SkinImage::LocationBox)) + ListAreaBelowBox +
                    Height(SharedImage(SkinImage::ListTopLeft));
    m_list.Move(RECT{0, top, width, std::max(top + 2, height)});
}

void CFileListPanel::OnSize(int width, int height) {
    CPanel::OnSize(width, height);
    if (width < 1 || height < 1)
        return;
    HDC dc = GetDC(hWnd);
    PrepareBackground(dc, RECT{0, 0, width, height});
    ReleaseDC(hWnd, dc);
    LayOutChildren(width, height);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CFileListPanel::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(hWnd, &client);
    if (!background.released)
        BitBlt(dc, 0, 0, client.right, client.bottom, background.dc, 0, 0, SRCCOPY);
    if (m_sourcePath.empty())
        return;
    RECT area{m_pathArea.left + PathTextInset.left, m_pathArea.top + PathTextInset.top,
              m_pathArea.right - PathTextInset.right, m_pathArea.bottom - PathTextInset.bottom};
    TSelectedFont font(dc, SharedFonts().listGdi);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, PathTextColour);
    const std::wstring text = FitFromTheEnd(dc, Utf8ToWide(m_sourcePath), area.right - area.left);
    DrawTextW(dc, text.c_str(), -1, &area, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

CActButton* CFileListPanel::Button(int id) {
    for (CActButton& button : m_filterButtons) {
        if (button.hWnd && GetDlgCtrlID(button.hWnd) == id)
            return &button;
    }
    return nullptr;
}

bool CFileListPanel::KindShown(RecordingKind kind) const {
    return m_catalog.KindFilter().Shows(kind);
}

bool CFileListPanel::ToggleFilter(int id) {
    for (const TFilterPair& pair : FilterPairs) {
        if (id != pair.onId && id != pair.offId)
            continue;
        const bool shown = id == pair.offId;
        CActButton* on = Button(pair.onId);
        CActButton* off = Button(pair.offId);
        if (on)
            ShowWindow(on->hWnd, shown ? SW_SHOW : SW_HIDE);
        if (off)
            ShowWindow(off->hWnd, shown ? SW_HIDE : SW_SHOW);
        m_catalog.KindFilter().Set(pair.kind, shown);
        return true;
    }
    return false;
}

void CFileListPanel::OnCommand(WPARAM wParam, LPARAM) {
    if (ToggleFilter(LOWORD(wParam)))
        m_catalog.RebuildList();
}

void CFileListPanel::RefreshTooltips() {
    for (const TFilterPair& pair : FilterPairs) {
        const std::string text = LocalText(pair.tooltipKey);
        for (int id : {pair.onId, pair.offId}) {
            if (CActButton* button = Button(id))
                AttachToolTip(button->hWnd, text.c_str());
        }
    }
}

void CFileListPanel::RedrawButtons() {
    for (CActButton& button : m_filterButtons) {
        if (button.hWnd && IsWindowVisible(button.hWnd))
            InvalidateRect(button.hWnd, nullptr, FALSE);
    }
}

void CFileListPanel::OnNotify(NMHDR* header, LRESULT* result) {
    if (!header || header->idFrom != static_cast<UINT_PTR>(ListControlId))
        return;
    const TListRowNotify* notify = reinterpret_cast<TListRowNotify*>(header);
    if ((header->code == NM_DBLCLK || header->code == NM_RETURN) && notify->row >= 0)
        OpenRow(notify->row);
    if (header->code == NM_RCLICK && notify->row >= 0)
        ShowContextMenu(notify->row, notify->screen);
    *result = 0;
}

void CFileListPanel::ShowContextMenu(int row, POINT screen) {
    const std::pair<UINT_PTR, const char*> items[] = {{RowMenuPlay, MenuPlayKey},
                                                      {RowMenuOpenFolder, MenuOpenFolderKey},
                                                      {RowMenuExport, MenuExportTrackKey},
                                                      {RowMenuDelete, MenuDeleteKey}};
    HMENU menu = CreatePopupMenu();
    for (const auto& [id, key] : items) {
        if (id == RowMenuDelete)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, id, LocalText(key).c_str());
    }
    const UINT_PTR chosen = static_cast<UINT_PTR>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, screen.x, screen.y, 0, hWnd, nullptr));
    DestroyMenu(menu);
    switch (chosen) {
    case RowMenuPlay:
        OpenRow(row);
        break;
    case RowMenuOpenFolder:
        ShowInFileManager(row);
        break;
    case RowMenuExport:
        ExportTrack(row);
        break;
    case RowMenuDelete:
        DeleteRow(row);
        break;
    default:
        break;
    }
}

void CFileListPanel::ShowInFileManager(int row) {
    const std::string path = PathAt(row);
    if (path.empty())
        return;
    const std::wstring parameters = L"/select,\"" + Utf8ToWide(path) + L"\"";
    ShellExecuteW(hWnd, L"open", L"explorer", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void CFileListPanel::ExportTrack(int row) {
    const std::string path = PathAt(row);
    if (!path.empty() && IsWindow(m_owner))
        SendMessageA(m_owner, WM_EXPORT_TRACK, 0, reinterpret_cast<LPARAM>(path.c_str()));
}

void CFileListPanel::OpenRow(int row) {
    std::string path;
    PathOfRow(row, &path);
    if (path.empty())
        return;
    const LRESULT opened = IsWindow(m_owner)
                               ? SendMessageA(m_owner, WM_OPEN_RECORDING, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(path.c_str()))
                               : 0;
    if (!opened)
        MessageBoxA(m_owner, FileOpenFailedText, FileOpenFailedCaption, MB_OK);
}

LRESULT CFileListPanel::OnUserMessage(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_LIST_DELETE_ROW)
        DeleteRow(static_cast<int>(wParam));
    return 0;
}

int CFileListPanel::Ask(const char* key, UINT style) {
    const std::string text = LocalText(key);
    const char* caption = style == MB_YESNO ? DeleteCaption : nullptr;
    return m_messageBox(IsWindow(m_owner) ? m_owner : hWnd, text.c_str(), caption, style);
}

void CFileListPanel::DeleteRow(int row) {
    if (Ask(DeleteVideoConfirmKey, MB_YESNO) != IDYES)
        return;
    std::string path;
    PathOfRow(row, &path);
    const std::string playing = m_playback ? m_playback->OpenRecordingPath() : std::string();
    if (!path.empty() && EqualIgnoringCase(path, playing)) {
        Ask(DeleteVideoErrorKey, MB_OK);
        return;
    }
    if (row < 0 || path.empty())
        return;
    // The recording is one file with all its channels; nothing else goes.
    // A card that refuses (read-only, pulled out) keeps the row.
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) {
        Ask(DeleteVideoFailedKey, MB_OK);
        return;
    }
    m_list.DeleteRow(row);
    m_rows.RemoveAt(row);
    m_catalog.ForgetEntry(path);
    // The row that followed takes the deleted one's place, so Delete can go
    // on down the list and the next recording is the one after the gap.
    const int count = RowCount();
    m_currentRow = count == 0 ? -1 : std::min(row, count) - 1;
    m_list.SelectRow(count == 0 ? -1 : std::min(row, count - 1));
}

void CFileListPanel::OnLButtonDown(WPARAM, POINT point) {
    ChooseSource(point);
}

void CFileListPanel::OnLButtonDblClk(WPARAM, POINT point) {
    ChooseSource(point);
}

void CFileListPanel::ChooseSource(POINT point) {
    if (m_playback && !m_playback->IsPlaybackStopped()) {
        Ask(StopMovieKey, MB_OK);
        return;
    }
    if (m_beforeSourceChoice)
        m_beforeSourceChoice();
    if (PtInRect(&m_pathArea, point))
        m_catalog.LoadSource(false);
}

int CFileListPanel::PathOfRow(int row, std::string* path) {
    if (row < 0 || row >= RowCount()) {
        path->clear();
        return -1;
    }
    m_currentRow = row;
    *path = m_rowInfo.PathOf(row);
    m_rebuilt = false;
    return 1;
}

int CFileListPanel::SelectedPath(std::string* path) {
    const int selected = m_list.SelectedRow();
    if (selected < 0) {
        path->clear();
        return selected;
    }
    PathOfRow(selected, path);
    return selected;
}

int CFileListPanel::StepTo(int row, std::string* path) {
    PathOfRow(row, path);
    m_list.SelectRow(row);
    return row;
}

int CFileListPanel::PreviousPath(std::string* path) {
    path->clear();
    if (m_rebuilt)
        return -1;
    if (RowCount() == 0)
        return NoRows;
    if (m_currentRow < 1)
        return -1;
    return StepTo(m_currentRow - 1, path);
}

int CFileListPanel::NextPath(std::string* path) {
    path->clear();
    if (RowCount() == 0)
        return NoRows;
    if (m_currentRow >= RowCount() - 1)
        return -1;
    return StepTo(m_rebuilt ? 0 : m_currentRow + 1, path);
}

void CFileListPanel::ClearRows() {
    m_rows.Clear();
    m_list.SetItemCount(0);
    m_currentRow = -1;
}

void CFileListPanel::ShowRows(const std::vector<std::string>& paths) {
    m_rows.Clear();
    for (const std::string& path : paths)
        m_rows.Add(std::make_unique<TVideoFileListData>(path));
    m_list.SelectRow(-1);
    m_list.SetItemCount(RowCount());
}

void CFileListPanel::SetCurrentRow(int row) {
    m_currentRow = row;
    m_list.SelectRow(row);
}

void CFileListPanel::ShowSourcePath(const std::string& path) {
    m_sourcePath = path;
    if (hWnd)
        InvalidateRect(hWnd, &m_pathArea, TRUE);
}
