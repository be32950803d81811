#pragma once
// The full-screen control bar: a pop-up at the bottom of the screen that
// repeats the main window's playback, mirroring and volume controls and its
// time display while a channel fills the screen. Its buttons and sliders
// carry the main window's command ids and report to it.

#include "app/main_controls.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* kVideoControlBarClass = "__VideoControlBar_Class__";
inline constexpr int kControlBarWidth = 777;
// The pointer this close to the bottom of the screen brings the bar up.
inline constexpr int kControlBarReach = 20;
// Between the bar and the bottom of the work area.
inline constexpr int kControlBarBottomGap = 2;
// The main window's position and playback bands, and a margin below.
inline constexpr int kControlBarHeight = 26 + 44 + 10;

class CVideoControlBar : public CWndEx {
public:
    CVideoControlBar() = default;
    ~CVideoControlBar() override;

    // Made hidden, owned by the main window, the first time full screen starts.
    bool Create(HWND owner);
    CMainControls& Controls() { return m_controls; }

    // Where the bar stands in a work area: centred, just above its bottom.
    static RECT PlaceIn(const RECT& workArea);
    // The bands its controls are placed in, in its own coordinates.
    static TMainLayout BarLayout();
    // Shows the bar at its place in the work area, or hides it, by where the
    // pointer is: near the bottom brings it, above it sends it away, and on
    // the bar itself it stays as it is.
    void FollowPointer(POINT pointer, const RECT& workArea);

    void ShowTimes(int positionSeconds, int durationSeconds);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void DrawBackground();

    HWND m_owner = nullptr;
    TMemoryDC m_background;
    CMainControls m_controls;
};
