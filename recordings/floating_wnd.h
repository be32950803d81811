#pragma once
// The side window: the recording list and the map behind two tabs. It
// starts docked in the main window's right side; dragged, it comes loose at
// once and floats as a resizable tool window, and dragged back over its
// place (after having left it) it docks again at the exact dock size.
//
// What the main window does with it:
//   Create(mainWindow) after its own layout, SetOwnerClientRect on every
//   size change, SelectedPath / PreviousPath / NextPath for its play and
//   previous/next commands, FileList() for the catalog and the playback
//   state, SetMapPanel(mapWindow) and SetMapPageBuilder for the second tab.
//   It answers WM_OPEN_RECORDING and lays itself out again on
//   WM_SIDE_WINDOW_DOCKING (recordings/side_window_ids.h).

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "recordings/dock_geometry.h"
#include "recordings/file_list_panel.h"
#include "recordings/host_panel.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"
#include "ui/panel.h"

inline constexpr const char* FloatingWndClass = "__FloatingWnd_Class__";
inline constexpr const char* FloatingSubWndClass = "__Floating_Sub_Wnd__";
inline constexpr COLORREF FloatingFrameColour = RGB(17, 17, 17);

class CFloatingWnd : public CWndEx {
public:
    CFloatingWnd();
    ~CFloatingWnd() override;

    // Made docked, as a child of `owner` at the dock area of the owner's
    // client rectangle, with the list tab shown.
    bool Create(HWND owner);
    // The main window's new client size: the dock area follows it and a
    // docked window is moved there. While the main window is maximised it
    // may keep the last dock area of its normal size by not calling this.
    void SetOwnerClientRect(const RECT& client);
    // Main window coordinates.
    RECT DockArea() const { return m_dockArea; }
    bool Docked() const;
    // The smallest tracking size is the dock area's, the largest the screen.
    virtual void GetTrackSizes(MINMAXINFO* limits) const;

    // The list's rows, as CFileListPanel gives them.
    int SelectedPath(std::string* path);
    int PreviousPath(std::string* path);
    int NextPath(std::string* path);
    CFileListPanel* FileList() const;

    // The map tab shows this window (null: an empty dark page).
    void SetMapPanel(HWND window);
    // Run when the map tab is chosen or chosen again.
    void SetMapPageBuilder(std::function<void()> build) { m_buildMapPage = std::move(build); }
    // FileListPanelId or MapPanelId; -1 before creation.
    int CurrentPanel() const { return m_panels ? m_panels->CurrentId() : -1; }
    HWND PanelFrame() const { return m_frame; }
    RECT FrameRect() const { return m_frameRect; }

    // Tooltips of the tabs and the filters in the current language.
    void RefreshTooltips();
    // GetTickCount of the last move of a drag, 0 when none goes on.
    DWORD LastMoveTick() const { return m_lastMoveTick; }

private:
    enum TTimer : UINT_PTR { SettleTimer = 0, FloatSettledTimer = 1, TooltipTimer = 2 };
    enum TDragFlag : unsigned { DragInProgress = 1 };

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void OnCreate();
    void OnSize(int width, int height);
    void LayOut();
    void CreateTabs();
    void CreateFrame();
    void DrawBorder(int width, int height);
    void PlaceTabs();
    void Present();
    void OnTabCommand(int id);
    void ShowTabPair(int selectedShown, int selectedHidden, int otherShown, int otherHidden);
    LRESULT HitTest(LPARAM lParam) const;
    bool OnSetCursor(UINT hitTest);
    bool OnMoving(RECT* proposed);
    void Undock();
    void Dock();
    void OnTimer(UINT_PTR id);
    void SettleAfterMove();
    CActButton* Tab(int id);

    HWND m_owner = nullptr;
    TMemoryDC m_canvas;
    std::array<CActButton, 4> m_tabs;
    HWND m_frame = nullptr;
    std::unique_ptr<TPanelSet> m_panels;
    CHostPanel* m_mapPage = nullptr;
    HWND m_mapWindow = nullptr;
    RECT m_frameRect{};
    RECT m_dockArea{};
    unsigned m_dragFlags = 0;
    DWORD m_lastMoveTick = 0;
    bool m_dockArmed = false;
    std::function<void()> m_buildMapPage;
};
