#pragma once
// The one main window: a borderless pop-up whose caption band, borders and
// caption buttons are drawn from the skin, sized and moved through its own
// hit testing, maximised to the work area of its monitor and back.

#include <functional>

#include "app/frame_geometry.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* kMainWndClass = "__Kestrel_MainWnd_Class__";

// Commands of the caption buttons.
inline constexpr int kCloseCommand = 95;
inline constexpr int kMinimiseCommand = 96;
inline constexpr int kMaximiseCommand = 97;

struct TMainWndOptions {
    // Runs inside creation, before anything is drawn: brings up what the
    // windows draw with (the program's start-up; tests load less).
    std::function<void(HWND)> initialise;
    POINT origin{};
};

class CMainWnd : public CWndEx {
public:
    CMainWnd() = default;
    ~CMainWnd() override;

    // Registers the class and creates the window at the origin, 1035 x 720.
    bool Create(const TMainWndOptions& options);

    // Maximised: back to the last normal rectangle; otherwise that rectangle
    // is remembered and the window fills its monitor's work area.
    void ToggleMaximise();
    TPlacement Placement() const { return m_placement; }
    RECT LastNormalRect() const { return m_lastNormalRect; }
    // The layout of the areas inside the frame for the current size.
    TMainLayout Layout() const;
    // The hit-test answer for a point in screen coordinates.
    LRESULT HitTest(POINT screenPoint) const;

    // Keeps the window above all others when the preferences ask for it.
    void ApplyPreferences();

    // What the window's frame would report if asked for its limits.
    static void TrackLimits(MINMAXINFO* limits);

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void OnCreate();
    void OnSize(int width, int height);
    void OnCommand(int command);
    void OnDestroy();
    void PollTermination();
    void DrawFrame(int width, int height);
    void CreateCaptionButtons();
    void PlaceCaptionButtons(int width);
    void PaintFromBackground(HDC dc);
    RECT WindowRect() const;

    TMemoryDC m_background;
    CActButton m_closeButton;
    CActButton m_maximiseButton;
    CActButton m_minimiseButton;
    TMainWndOptions m_options;
    TLayoutMetrics m_metrics;
    RECT m_lastNormalRect{};
    TPlacement m_placement = TPlacement::Normal;
};
