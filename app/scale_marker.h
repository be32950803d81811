#pragma once
// The magnifier's marker: a small see-through square over a video window
// that the user drags (it answers hit tests as a caption) and that never
// leaves its video window. Its place, relative to the video window, is what
// the magnifier shows.

#include <functional>

#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* kScaleMarkerClass = "___ScaleMarker_Class__";

class CScaleMarker : public CWndEx {
public:
    CScaleMarker() = default;
    ~CScaleMarker() override;

    // A pop-up owned by `owner`, centred on `videoWindow`. `onPressed` runs
    // when the user takes hold of it, `onMoved` after every move.
    bool Create(HWND owner, HWND videoWindow, std::function<void()> onPressed,
                std::function<void()> onMoved);
    // Back inside the video window at the same offset (after the video
    // window moved or changed size).
    void Follow();
    // The marker's top-left relative to its video window.
    POINT Offset() const { return m_offset; }
    void DestroyMarker() { DestroyOwnWindow(); }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    RECT VideoScreenRect() const;
    void OnMoved();
    void Paint(HDC dc);

    TMemoryDC m_background;
    HWND m_videoWindow = nullptr;
    POINT m_offset{};
    bool m_following = false;
    std::function<void()> m_onPressed;
    std::function<void()> m_onMoved;
};
