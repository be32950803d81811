#pragma once
// The magnifier pop-up: a 400 x 300 window that shows the region under the
// selected channel's marker five times larger than the video window does.
// It draws on a thread of its own, which the main thread starts, refreshes
// and stops; the picture comes from the channel's last decoded frame.

#include <atomic>
#include <functional>

#include "app/display.h"
#include "engine/ffmpeg_handles.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "ui/wnd.h"

inline constexpr const char* kScalePopupClass = "___ScalePopupWnd_Class__";

// What the drawing thread magnifies; the main thread keeps it current.
struct TMagnifierTarget {
    std::atomic<int> slot{0};
    std::atomic<int> markerX{0}; // the marker's top-left in its video window
    std::atomic<int> markerY{0};
    std::atomic<int> videoWidth{0};
    std::atomic<int> videoHeight{0};
};

// A reference to the slot's last decoded frame (taken under its display
// lock), or an empty handle; called on the drawing thread.
using TFrameSource = std::function<TFrameHandle(int slot)>;

class CScalePopupWnd : public CWndEx {
public:
    CScalePopupWnd() = default;
    ~CScalePopupWnd() override;

    // Creates the window at `screenPosition`, owned by `owner`, and its
    // drawing thread, idle until the first Refresh.
    bool Create(HWND owner, POINT screenPosition, TFrameSource source);
    // Draws now and keeps drawing.
    void Refresh();
    // Stops drawing (the window keeps its last picture).
    void StopDrawing();
    // Ends the thread; the window stays until destroyed.
    void EndThread();
    bool Drawing() const { return m_drawing; }
    TMagnifierTarget& Target() { return m_target; }
    // Pictures drawn so far (for tests and diagnostics).
    long DrawnPictures() const { return m_drawn; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void DrawingThread();
    // One picture: the frame converted, the region stretched into the
    // display and shown. False when there was nothing to show.
    bool DrawOnce();
    bool ConvertFrame(const AVFrame& frame);

    TFrameSource m_source;
    TMagnifierTarget m_target;
    CDisplay m_display;
    TDisplaySurface m_frameSurface; // drawing thread only
    TScalerHandle m_scaler;         // drawing thread only
    TThread m_thread;
    TEvent m_wake{false, false};
    std::atomic<bool> m_drawing{false};
    std::atomic<bool> m_quit{false};
    std::atomic<long> m_drawn{0};
    SIZE m_client{};
};
