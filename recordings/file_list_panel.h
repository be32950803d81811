#pragma once
// The recording list panel of the side window: the source path above the
// list (a click there picks another card or folder), three kind filters,
// and the list of recordings of the kinds shown, earliest first. A
// double-click asks the main window to open the row, Delete removes the
// recording from the card, a context menu (right button or the Menu key)
// plays, shows in the file manager, exports the GPS track or deletes, and
// the main window steps through the rows with PreviousPath and NextPath.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "recordings/card_watcher.h"
#include "recordings/recording_catalog.h"
#include "recordings/side_window_ids.h"
#include "recordings/video_file_list_model.h"
#include "ui/act_button.h"
#include "ui/list_ctrl.h"
#include "ui/panel.h"

// Shows a skinned message box (texts UTF-8) and answers as ShowMessageBox.
using TMessageBoxFunction =
    std::function<int(HWND owner, const char* text, const char* caption, UINT style)>;

inline constexpr int RecordingListRowHeight = 21;
inline constexpr const char* DeleteVideoConfirmKey = "message.delete_video_confirm";
inline constexpr const char* DeleteVideoErrorKey = "message.delete_video_error";
inline constexpr const char* DeleteVideoFailedKey = "message.delete_video_failed";
inline constexpr const char* StopMovieKey = "message.stop_movie";
// The context menu's items, in their order.
inline constexpr const char* MenuPlayKey = "menu.play";
inline constexpr const char* MenuOpenFolderKey = "menu.open_folder";
inline constexpr const char* MenuExportTrackKey = "menu.export_track";
inline constexpr const char* MenuDeleteKey = "menu.delete";
inline constexpr const char* DeleteCaption = "Delete";
// PreviousPath and NextPath when there is no row at all.
inline constexpr int NoRows = -2;

class CFileListPanel : public CPanel, public IRecordingListView {
public:
    CFileListPanel();
    ~CFileListPanel() override;

    // The window that opens recordings (WM_OPEN_RECORDING) and owns the
    // message boxes.
    void SetOwner(HWND owner);
    // What plays; null: nothing ever plays.
    void SetPlayback(IPlaybackControl* playback) { m_playback = playback; }
    // Run before another source is chosen (the main window closes its
    // magnifiers there).
    void SetBeforeSourceChoice(std::function<void()> callback) {
        m_beforeSourceChoice = std::move(callback);
    }
    // Null restores the skinned message box.
    void SetMessageBox(TMessageBoxFunction show);

    TRecordingCatalog& Catalog() { return m_catalog; }
    TListCtrl& List() { return m_list; }

    // 1 with the row's path when 0 <= row < rows (the row becomes the
    // current one); -1 with an empty path otherwise.
    int PathOfRow(int row, std::string* path);
    // The selected row and its path; a negative index with an empty path.
    int SelectedPath(std::string* path);
    // The row before (after) the current one, selected: its index, -1 at
    // the end of the list (and for previous right after a rebuild), NoRows
    // when the list is empty.
    int PreviousPath(std::string* path);
    int NextPath(std::string* path);

    // The row's path without making it the current row.
    std::string PathAt(int row) const { return m_rowInfo.PathOf(row); }
    int CurrentRow() const { return m_currentRow; }
    bool Rebuilt() const { return m_rebuilt; }
    int RowCount() const { return m_rows.GetCount(); }
    // Whether the kind's on-button is the one shown.
    bool KindShown(RecordingKind kind) const;
    // The filter buttons' tooltips anew, in the current language.
    void RefreshTooltips();
    // The visible filter buttons painted again.
    void RedrawButtons();
    const RECT& PathArea() const { return m_pathArea; }

    // IRecordingListView
    void ClearRows() override;
    void ShowRows(const std::vector<std::string>& paths) override;
    void SetCurrentRow(int row) override;
    void SetRebuilt(bool rebuilt) override { m_rebuilt = rebuilt; }
    void ShowSourcePath(const std::string& path) override;

private:
    struct TFilterPair {
        RecordingKind kind;
        int onId;
        int offId;
        const char* onImage;
        const char* offImage;
        const char* tooltipKey;
    };
    static const std::array<TFilterPair, 3> FilterPairs;

    void PrepareBackground(HDC dc, const RECT& client) override;
    void OnInitPanel(LPARAM parameter) override;
    void OnSize(int width, int height) override;
    void OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnNotify(NMHDR* header, LRESULT* result) override;
    LRESULT OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPaint(HDC dc) override;
    void OnLButtonDown(WPARAM flags, POINT point) override;
    void OnLButtonDblClk(WPARAM flags, POINT point) override;

    void DrawBackground(int width, int height);
    void LayOutChildren(int width, int height);
    void CreateFilterButtons(HDC reference);
    CActButton* Button(int id);
    bool ToggleFilter(int id);
    void OpenRow(int row);
    void DeleteRow(int row);
    void ShowContextMenu(int row, POINT screen);
    void ShowInFileManager(int row);
    void ExportTrack(int row);
    void ChooseSource(POINT point);
    int StepTo(int row, std::string* path);
    int Ask(const char* key, UINT style);

    TRecordingCatalog m_catalog;
    TGenernalListDataSet m_rows;
    TVideoFileListRowInfo m_rowInfo{&m_rows};
    TListCtrl m_list;
    std::array<CActButton, 6> m_filterButtons;
    std::string m_sourcePath;
    RECT m_pathArea{};
    int m_currentRow = -1;
    bool m_rebuilt = false;
    HWND m_owner = nullptr;
    IPlaybackControl* m_playback = nullptr;
    std::function<void()> m_beforeSourceChoice;
    TMessageBoxFunction m_messageBox;
};
