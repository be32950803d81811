#pragma once
// The main window's own controls: the toolbar, the playback and volume
// buttons, the position, volume and picture sliders, the read-out's unit
// switch and the time texts of the position band. Made from one table and
// placed by the main layout; what a click does is the main window's.

#include <memory>
#include <string>
#include <vector>

#include "app/frame_geometry.h"
#include "ui/act_button.h"
#include "ui/slider_bar_ex.h"

// The main window has every control; the full-screen control bar repeats
// the playback, mirroring and volume ones.
enum class TControlSet { MainWindow, ControlBar };

class CMainControls {
public:
    CMainControls();
    ~CMainControls();
    CMainControls(const CMainControls&) = delete;
    CMainControls& operator=(const CMainControls&) = delete;

    // Every button is composited over `background` at its place, so that
    // surface must already hold the drawn frame.
    void Create(HWND parent, HDC background, const TMainLayout& layout,
                TControlSet set = TControlSet::MainWindow);
    // Moves the controls to the places of a new layout.
    void LayOut(const TMainLayout& layout);

    // Where a button or slider of the set stands in a layout; empty when
    // the set has no such control.
    static RECT PlaceOf(int id, const TMainLayout& layout,
                        TControlSet set = TControlSet::MainWindow);

    // Null for an id that is not one of the main window's.
    CActButton* Button(int id);
    CSliderBarEx* Slider(int id);

    // Shows the button and hides the other one of its switch pair (one
    // channel / two, mirroring, play / pause, mute, unit).
    void ShowSwitch(int id);
    bool Shown(int id);

    // Out of sight while a channel fills the screen, and back as they were.
    void SetAllHidden(bool hidden);

    // Takes the other set's switch states and slider ranges and positions
    // for the controls both have.
    void CopyStateFrom(CMainControls& other);

    // Enables or disables a button (a disabled one swallows clicks).
    void SetEnabled(int id, bool enabled);

    // A tooltip's text with the key that does the same, "Play (Space)".
    static std::string WithShortcut(int id, const std::string& text);

    // Attaches the tooltips again in the current language.
    void SetTooltipTexts();

    // The position and duration of the position band, drawn over the
    // frame in `background`; the parts drawn are invalidated in `window`.
    void DrawTimes(HWND window, HDC background, int positionSeconds, int durationSeconds);

private:
    struct TEntry;
    void Place(TEntry& entry, const TMainLayout& layout);
    TEntry* Find(int id);
    void Apply(TEntry& entry);

    std::vector<TEntry> m_entries;
    std::unique_ptr<CSliderBarEx> m_sliders[5];
    TMainLayout m_layout{};
    bool m_allHidden = false;
};
