#include "tools/velor-gallery/recording_panels.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

#include "language/language_fonts.h"
#include "platform/window_screenshot.h"
#include "platform/windows.h"
#include "recordings/gps_readout.h"
#include "recordings/gsensor_graph.h"
#include "recordings/map_panel.h"
#include "settings/viewer_preferences.h"
#include "tests/fixtures/ffmpeg_handles.h"
#include "tests/fixtures/recording_writer.h"
#include "tools/velor-gallery/gallery_window.h"
#include "ui/memory_dc_man.h"
#include "ui/wnd.h"

namespace {

constexpr const char* kFrameClass = "__GalleryRecordingPanel__";
constexpr const char* kHolderClass = "__GalleryMapHolder__";
constexpr int kTitleHeight = 28;
constexpr int kPadding = 16;
constexpr int kRecordingSeconds = 40;
// Still pictures show this second: just after a knock, mid-track.
constexpr int kShownSecond = 11;
constexpr UINT_PTR kPlaybackTimer = 1;
constexpr UINT kPlaybackPeriodMs = 300;
constexpr UINT_PTR kShotTimer = 2;
constexpr UINT kShotDelayMs = 1500;
// The map page loads its script and asks for tiles first.
constexpr UINT kMapShotDelayMs = 6000;
constexpr SIZE kMapSize{520, 400};
constexpr SIZE kGSensorSize{299, 110};
constexpr RECT kGraphInGSensor{7, 19, 292, 103};
constexpr SIZE kReadoutSize{520, 110};
constexpr COLORREF kBodyColour = RGB(27, 29, 33);
constexpr COLORREF kTitleColour = RGB(20, 21, 24);
constexpr COLORREF kTitleText = RGB(195, 200, 207);

enum class TPanelKind { Map, GSensor, Gps };

struct TPanelName {
    const char* name;
    TPanelKind kind;
    const wchar_t* title;
};
constexpr TPanelName kPanels[] = {
    {"map", TPanelKind::Map, L"Map: the recording's track and the position"},
    {"gsensor", TPanelKind::GSensor, L"G-sensor graph: X red, Y green, Z blue"},
    {"gps", TPanelKind::Gps, L"GPS read-out: a fix, and no fix"},
};

// A recording of the fixture writer, read back the way an open reads it.
std::unique_ptr<TTelemetry> FixtureTelemetry(double* duration) {
    // The fixture's telemetry streams carry no codec FFmpeg knows, which it
    // warns about.
    av_log_set_level(AV_LOG_ERROR);
    char folder[] = "/tmp/velor-gallery-XXXXXX";
    if (!mkdtemp(folder))
        return nullptr;
    const std::string path = std::string(folder) + "/NOR_20260101_120000_F.avi";
    velor::fixtures::RecordingOptions options;
    options.channels = 1;
    options.seconds = kRecordingSeconds;
    options.width = 160;
    options.height = 90;
    options.sound = false;
    std::string error;
    const auto written = velor::fixtures::WriteRecording(path, options, &error);
    std::unique_ptr<TTelemetry> table;
    AVFormatContext* opened = nullptr;
    if (written && avformat_open_input(&opened, path.c_str(), nullptr, nullptr) == 0) {
        velor::fixtures::InputContextPtr input(opened);
        avformat_find_stream_info(input.get(), nullptr);
        velor::fixtures::PacketPtr packet(av_packet_alloc());
        const auto& streams = written->streams;
        table = ReadTelemetry(
            input.get(), packet.get(),
            TTelemetryRoles{streams.frontVideo, streams.rearVideo, streams.gps, streams.gsensor},
            nullptr);
    } else {
        std::fprintf(stderr, "velor-gallery: no fixture recording: %s\n", error.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    *duration = kRecordingSeconds;
    return table;
}

// The page's frame: a title band over the panel, dragged by the band.
class CPanelFrame : public TWnd {
public:
    CPanelFrame(TPanelKind kind, const wchar_t* title, bool still)
        : m_kind(kind), m_title(title), m_still(still) {}
    ~CPanelFrame() override {
        if (hWnd && IsWindow(hWnd))
            DestroyWindow(hWnd);
        m_surface.Release();
    }

    bool Create(const TTelemetry* telemetry, double duration);
    std::string screenshotPath;
    bool screenshotSaved = false;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    SIZE ContentSize() const;
    void DrawBody();
    void ShowSecond(int second);
    void Paint();

    TPanelKind m_kind;
    const wchar_t* m_title;
    bool m_still;
    const TTelemetry* m_telemetry = nullptr;
    double m_duration = 0.0;
    int m_second = kShownSecond;
    TMemoryDC m_surface;
    HWND m_mapHolder = nullptr;
    CMapPanel m_map;
    CGSensorGraph m_graph;
    CGpsReadout m_withFix;
    CGpsReadout m_withoutFix;
};

SIZE CPanelFrame::ContentSize() const {
    switch (m_kind) {
    case TPanelKind::Map:
        return kMapSize;
    case TPanelKind::GSensor:
        return SIZE{kGSensorSize.cx + 2 * kPadding, kGSensorSize.cy + 2 * kPadding};
    case TPanelKind::Gps:
        return SIZE{kReadoutSize.cx + 2 * kPadding, 2 * kReadoutSize.cy + 3 * kPadding};
    }
    return SIZE{};
}

POINT ContentOrigin(int row) {
    return POINT{kPadding, kTitleHeight + kPadding + row * (kReadoutSize.cy + kPadding)};
}

bool CPanelFrame::Create(const TTelemetry* telemetry, double duration) {
    m_telemetry = telemetry;
    m_duration = duration;
    RegisterWindowClass(kFrameClass, BoundWindowProcedure);
    SetClassName(kFrameClass);
    const SIZE content = ContentSize();
    const int width = std::max<int>(content.cx, 360);
    const RECT rect{60, 60, 60 + width, 60 + kTitleHeight + content.cy};
    if (!CreateBoundWindow(this, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rect, nullptr))
        return false;
    HDC reference = GetDC(hWnd);
    m_surface.Prepare(reference, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(hWnd, reference);
    DrawBody();
    switch (m_kind) {
    case TPanelKind::Map: {
        RegisterWindowClass(kHolderClass, DefWindowProcA);
        m_mapHolder = CreateWindowExA(0, kHolderClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                      0, kTitleHeight, kMapSize.cx, kMapSize.cy, hWnd, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (!m_map.Create(m_mapHolder, RECT{0, 0, kMapSize.cx, kMapSize.cy}))
            return false;
        m_map.SetTrack(telemetry);
        break;
    }
    case TPanelKind::GSensor: {
        const POINT at = ContentOrigin(0);
        const RECT graph{at.x + kGraphInGSensor.left, at.y + kGraphInGSensor.top,
                         at.x + kGraphInGSensor.right, at.y + kGraphInGSensor.bottom};
        if (!m_graph.Create(hWnd, graph))
            return false;
        m_graph.SetTelemetry(telemetry, duration);
        break;
    }
    case TPanelKind::Gps:
        if (!m_withFix.Create(hWnd, ContentOrigin(0), m_surface.dc) ||
            !m_withoutFix.Create(hWnd, ContentOrigin(1), m_surface.dc))
            return false;
        break;
    }
    ShowSecond(kShownSecond);
    if (!m_still)
        SetTimer(hWnd, kPlaybackTimer, kPlaybackPeriodMs, nullptr);
    if (!screenshotPath.empty())
        SetTimer(hWnd, kShotTimer, m_kind == TPanelKind::Map ? kMapShotDelayMs : kShotDelayMs,
                 nullptr);
    return true;
}

void CPanelFrame::DrawBody() {
    const RECT all{0, 0, m_surface.width, m_surface.height};
    FillSolid(m_surface.dc, all, kBodyColour);
    FillSolid(m_surface.dc, RECT{0, 0, all.right, kTitleHeight}, kTitleColour);
    HFONT font = CreateFontA(15, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ previous = SelectObject(m_surface.dc, font);
    SetBkMode(m_surface.dc, TRANSPARENT);
    SetTextColor(m_surface.dc, kTitleText);
    RECT band{10, 0, all.right - 10, kTitleHeight};
    DrawTextW(m_surface.dc, m_title, -1, &band, DT_SINGLELINE | DT_VCENTER);
    SelectObject(m_surface.dc, previous);
    DeleteObject(font);
    if (m_kind == TPanelKind::GSensor) {
        const TMemoryDC& background = SharedImage(SkinImage::GSensorBackground);
        const POINT at = ContentOrigin(0);
        BitBlt(m_surface.dc, at.x, at.y, background.width, background.height, background.dc, 0, 0,
               SRCCOPY);
    }
}

void CPanelFrame::ShowSecond(int second) {
    m_second = second;
    switch (m_kind) {
    case TPanelKind::Map:
        if (const TGpsRecord* fix = FixAtSecond(m_telemetry, second))
            m_map.MoveMarker(SignedDecimalDegrees(fix->latitude, fix->latitudeHemisphere),
                             SignedDecimalDegrees(fix->longitude, fix->longitudeHemisphere));
        break;
    case TPanelKind::GSensor:
        m_graph.ShowSecond(second);
        break;
    case TPanelKind::Gps:
        m_withFix.Draw(m_surface.dc, m_telemetry, second);
        m_withoutFix.Draw(m_surface.dc, nullptr, second);
        InvalidateRect(hWnd, nullptr, FALSE);
        break;
    }
}

void CPanelFrame::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hWnd, &paint);
    m_surface.CopyTo(dc);
    EndPaint(hWnd, &paint);
}

LRESULT CPanelFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    switch (message) {
    case WM_NCHITTEST:
        return TitleBandHit(hWnd, lParam, kTitleHeight);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_COMMAND:
        if (m_withFix.OnCommand(LOWORD(wParam)) || m_withoutFix.OnCommand(LOWORD(wParam)))
            ShowSecond(m_second);
        return 0;
    case WM_GSENSOR_SEEK:
        m_second = static_cast<int>(wParam);
        return 0;
    case WM_TIMER:
        if (wParam == kPlaybackTimer && !m_graph.Dragging()) {
            const int next = m_second + 1 > m_duration ? 0 : m_second + 1;
            ShowSecond(next);
        }
        if (wParam == kShotTimer) {
            KillTimer(hWnd, kShotTimer);
            screenshotSaved = SaveScreenImage(screenshotPath.c_str());
            DestroyWindow(hWnd);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        *handled = false;
        return 0;
    default:
        *handled = false;
        return 0;
    }
}

const TPanelName* FindPanel(const char* name) {
    for (const TPanelName& panel : kPanels) {
        if (std::strcmp(panel.name, name) == 0)
            return &panel;
    }
    return nullptr;
}

} // namespace

int ShowRecordingPanel(const char* which, const char* tileUrl, const char* screenshotPath) {
    const TPanelName* panel = FindPanel(which);
    if (!panel) {
        std::fprintf(stderr, "velor-gallery: no panel \"%s\" (map, gsensor, gps)\n", which);
        return 1;
    }
    SetDefaultPreferences();
    if (tileUrl)
        Preferences().mapTileUrl = tileUrl;
    double duration = 0.0;
    const std::unique_ptr<TTelemetry> telemetry = FixtureTelemetry(&duration);
    HDC screen = GetDC(nullptr);
    const bool skin = LoadSharedSkin(screen);
    ReleaseDC(nullptr, screen);
    if (!skin) {
        std::fprintf(stderr, "velor-gallery: the skin could not be loaded\n");
        return 1;
    }
    CreateLanguageFonts("english");
    int status = 0;
    {
        CPanelFrame frame(panel->kind, panel->title, screenshotPath != nullptr);
        if (screenshotPath)
            frame.screenshotPath = screenshotPath;
        if (frame.Create(telemetry.get(), duration)) {
            MSG message;
            while (GetMessageA(&message, nullptr, 0, 0)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } else {
            std::fprintf(stderr, "velor-gallery: the %s panel could not be made\n", which);
            status = 1;
        }
        if (screenshotPath && !frame.screenshotSaved) {
            std::fprintf(stderr, "velor-gallery: could not save %s\n", screenshotPath);
            status = 1;
        }
    }
    ReleaseLanguageFonts(true);
    ReleaseSharedSkin();
    return status;
}
