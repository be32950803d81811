#pragma once
// A video window: the place one channel's pictures are drawn into. Idle, it
// shows the channel's logo; a click selects its channel, a double click
// advances its display state (normal, enlarged, full screen).

#include <functional>

#include "app/scale_marker.h"
#include "app/video_layout.h"
#include "ui/memory_dc.h"
#include "ui/memory_dc_man.h"
#include "ui/wnd.h"

class TMediaPlayer;

inline constexpr const char* kMediaClipWndClass = "__MediaClipWnd_Class__";
// Sent to the parent, lParam = the video window's object.
inline constexpr UINT kSelectChannelMessage = 3024;
inline constexpr UINT kDisplayStateMessage = 3025;

struct TClipOptions {
    HWND parent = nullptr;
    RECT rect{};
    int slot = 0; // the player's front or rear slot
    SkinImage logo = SkinImage::Channel1Logo;
    // Draws into this window; null while there is none.
    TMediaPlayer* player = nullptr;
    // Whether a click may select this channel and a double click change its
    // state now (a recording is open and this channel shows pictures).
    std::function<bool()> showsPictures;
    // The milliseconds double clicks are measured in (GetTickCount when empty).
    std::function<DWORD()> clock;
};

class CMediaClipWnd : public CWndEx {
public:
    CMediaClipWnd() = default;
    ~CMediaClipWnd() override;

    bool Create(const TClipOptions& options);

    int Slot() const { return m_options.slot; }
    TDisplayState DisplayState() const { return m_displayState; }
    // Sets the state without asking anyone (the main window undoing a state).
    void SetDisplayState(TDisplayState state) { m_displayState = state; }
    // Advances the state when the channel shows pictures and tells the
    // parent; false when nothing changed.
    bool AdvanceDisplayState();

    // The magnifier's marker over this window: made centred the first time,
    // kept inside the window afterwards.
    void ShowMarker(HWND owner, std::function<void()> onPressed, std::function<void()> onMoved);
    void HideMarker();
    bool MarkerShown() const { return m_zoomActive; }
    POINT MarkerOffset() const { return m_marker.Offset(); }
    CScaleMarker& Marker() { return m_marker; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void OnSize(int width, int height);
    void OnDoubleClick();
    void DrawIdlePicture(int width, int height);
    void TellRendererSize(int height);
    bool ShowsPictures() const;
    DWORD Now() const;

    TClipOptions m_options;
    TMemoryDC m_background;
    TDisplayState m_displayState = TDisplayState::Normal;
    TDoubleClickGate m_doubleClicks;
    CScaleMarker m_marker;
    bool m_zoomActive = false;
};
