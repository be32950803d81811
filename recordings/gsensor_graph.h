#pragma once
// The G-sensor graph of the main window's bottom band: the three
// acceleration series of the whole recording as curves, with a red cursor
// at the playback position. Dragging in the graph moves the cursor and
// tells the parent which second to seek to.

#include <vector>

#include "platform/gdi.h"
#include "recordings/telemetry.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr const char* kGSensorGraphClass = "___GSensorGraph_Class__";
// Sent to the parent while the user drags the cursor: wParam = the second
// under the cursor (whole seconds), lParam = the graph's window. The parent
// moves its position display there and seeks unless a seek is pending.
inline constexpr UINT WM_GSENSOR_SEEK = 2259;

// A sample of 1.0 lies this many pixels above the base line.
inline constexpr int kGraphPixelsPerUnit = 30;
inline constexpr int kGraphBaseLine = 50;
inline constexpr int kGraphCursorTop = 20;
inline constexpr int kGraphCursorWidth = 3;

// Where the points of one series go in a graph `width` pixels wide: spread
// evenly, several samples sharing an x when there are more than pixels.
// None for a graph without width.
std::vector<POINT> GraphPoints(const std::vector<float>& series, int width);
// The cursor's x for a playback second; 0 while no recording is open.
int CursorXForSecond(int width, double durationSeconds, int second);
// The second under the cursor; 0 while no recording is open.
int SecondAtCursorX(int x, int width, double durationSeconds);

// Who moves the cursor: the playback position, or the user, which seeks.
enum class TCursorMove { Follow, Seek };

class CGSensorGraph : public CWndEx {
public:
    CGSensorGraph() = default;
    ~CGSensorGraph() override;

    bool Create(HWND parent, const RECT& rect, int controlId = 0);

    // The series of the open recording (borrowed; null: none) and its length
    // in seconds; puts the cursor back to 0 and redraws.
    void SetTelemetry(const TTelemetry* telemetry, double durationSeconds);
    void Redraw();
    void MoveCursor(int x, TCursorMove move);
    // The cursor at the playback second (the 300 ms position update).
    void ShowSecond(int second);

    int CursorX() const { return m_cursorX; }
    bool Dragging() const { return m_dragging; }
    const TMemoryDC& Canvas() const { return m_canvas; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void MakeCanvas();
    int ClientWidth() const;
    void DrawSeries(HDC dc, int width, int height) const;

    TMemoryDC m_canvas;
    bool m_dragging = false;
    int m_cursorX = 0;
    int m_previousCursorX = 0;
    const TTelemetry* m_series = nullptr;
    double m_durationSeconds = 0.0;
};
