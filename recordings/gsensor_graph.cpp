#include "recordings/gsensor_graph.h"

#include <algorithm>

#include "platform/gdiplus.h"

namespace {

constexpr COLORREF kGraphBackground = RGB(17, 17, 17);

struct TSeriesStyle {
    std::vector<float> TTelemetry::*series;
    BYTE red, green, blue;
};
constexpr TSeriesStyle kSeriesStyles[] = {
    {&TTelemetry::accelX, 255, 51, 51},
    {&TTelemetry::accelY, 51, 204, 0},
    {&TTelemetry::accelZ, 51, 153, 255},
};

int PointY(float value) {
    return static_cast<int>(static_cast<float>(kGraphBaseLine) - kGraphPixelsPerUnit * value);
}

int XOf(LPARAM lParam) {
    return GET_X_LPARAM(lParam);
}

} // namespace

std::vector<POINT> GraphPoints(const std::vector<float>& series, int width) {
    std::vector<POINT> points;
    if (width <= 0 || series.empty())
        return points;
    const int count = static_cast<int>(series.size());
    points.reserve(series.size());
    const int samplesPerPixel = count / width;
    if (samplesPerPixel >= 1) {
        for (int i = 0; i < count; ++i)
            points.push_back(POINT{i / samplesPerPixel, PointY(series[i])});
        return points;
    }
    const float step = static_cast<float>(width) / static_cast<float>(count);
    float x = 0.0f;
    for (int i = 0; i < count; ++i) {
        x += step;
        points.push_back(POINT{static_cast<LONG>(x), PointY(series[i])});
    }
    return points;
}

int CursorXForSecond(int width, double durationSeconds, int second) {
    if (durationSeconds <= 0.0)
        return 0;
    const float pixelsPerSecond = static_cast<float>(width) / static_cast<float>(durationSeconds);
    return static_cast<int>(pixelsPerSecond * static_cast<float>(second) + 0.5f);
}

int SecondAtCursorX(int x, int width, double durationSeconds) {
    if (durationSeconds <= 0.0 || width <= 0)
        return 0;
    return static_cast<int>(x / (width / durationSeconds));
}

CGSensorGraph::~CGSensorGraph() {
    DestroyOwnWindow();
    m_canvas.Release();
}

bool CGSensorGraph::Create(HWND parent, const RECT& rect, int controlId) {
    if (!RegisterWindowClass(kGSensorGraphClass, BoundWindowProcedure))
        return false;
    SetClassName(kGSensorGraphClass);
    return CreateBoundWindow(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect,
                             parent, controlId) != nullptr;
}

void CGSensorGraph::SetTelemetry(const TTelemetry* telemetry, double durationSeconds) {
    m_series = telemetry;
    m_durationSeconds = durationSeconds;
    m_dragging = false;
    m_cursorX = 0;
    m_previousCursorX = 0;
    Redraw();
}

int CGSensorGraph::ClientWidth() const {
    RECT client{};
    if (hWnd)
        GetClientRect(hWnd, &client);
    return client.right;
}

void CGSensorGraph::DrawSeries(HDC dc, int width, int height) const {
    Gdiplus::Graphics graphics(dc);
    if (m_series) {
        for (const TSeriesStyle& style : kSeriesStyles) {
            const std::vector<POINT> points = GraphPoints(m_series->*style.series, width);
            if (points.size() < 2)
                continue;
            std::vector<Gdiplus::Point> curve;
            curve.reserve(points.size());
            for (const POINT& point : points)
                curve.emplace_back(point.x, point.y);
            Gdiplus::Pen pen(Gdiplus::Color(255, style.red, style.green, style.blue), 1.0f);
            graphics.DrawCurve(&pen, curve.data(), static_cast<INT>(curve.size()), 0.0f);
        }
    }
    Gdiplus::Pen cursor(Gdiplus::Color(255, 255, 0, 0),
                        static_cast<Gdiplus::REAL>(kGraphCursorWidth));
    graphics.DrawLine(&cursor, m_cursorX, kGraphCursorTop, m_cursorX, height);
}

void CGSensorGraph::Redraw() {
    if (!hWnd || m_canvas.released)
        return;
    RECT client;
    GetClientRect(hWnd, &client);
    FillSolid(m_canvas.dc, client, kGraphBackground);
    const bool hasSamples = m_series && (!m_series->accelX.empty() || !m_series->accelY.empty() ||
                                         !m_series->accelZ.empty());
    if (hasSamples)
        DrawSeries(m_canvas.dc, client.right, client.bottom);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CGSensorGraph::MoveCursor(int x, TCursorMove move) {
    const int width = ClientWidth();
    m_previousCursorX = m_cursorX;
    m_cursorX = std::clamp(x, 0, std::max(0, width - kGraphCursorWidth));
    Redraw();
    if (move != TCursorMove::Seek || m_durationSeconds <= 0.0)
        return;
    SendMessageA(GetParent(hWnd), WM_GSENSOR_SEEK,
                 static_cast<WPARAM>(SecondAtCursorX(m_cursorX, width, m_durationSeconds)),
                 reinterpret_cast<LPARAM>(hWnd));
}

void CGSensorGraph::ShowSecond(int second) {
    MoveCursor(CursorXForSecond(ClientWidth(), m_durationSeconds, second), TCursorMove::Follow);
}

void CGSensorGraph::MakeCanvas() {
    RECT client;
    GetClientRect(hWnd, &client);
    HDC reference = GetDC(hWnd);
    m_canvas.Release();
    m_canvas.Prepare(reference, std::max<LONG>(client.right, 1), std::max<LONG>(client.bottom, 1));
    ReleaseDC(hWnd, reference);
    Redraw();
}

LRESULT CGSensorGraph::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_CREATE:
        MakeCanvas();
        return 0;
    case WM_SIZE:
        MakeCanvas();
        return 0;
    case WM_DESTROY:
        m_canvas.Release();
        *handled = false;
        return 0;
    case WM_ERASEBKGND:
        m_canvas.CopyTo(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_LBUTTONDOWN:
        SetCapture(hWnd);
        SetFocus(hWnd);
        m_dragging = true;
        MoveCursor(XOf(lParam), TCursorMove::Seek);
        return 0;
    case WM_MOUSEMOVE:
        if (m_dragging)
            MoveCursor(XOf(lParam), TCursorMove::Seek);
        return 0;
    case WM_LBUTTONUP:
        ReleaseCapture();
        m_dragging = false;
        return 0;
    case WM_CAPTURECHANGED:
        m_dragging = false;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}
