// velor-gallery: the window layer's windows side by side, and beside them
// the toolkit's skinned controls in every state, to look at and to check
// under an X server. `--screenshot FILE` saves the screen once the
// windows have painted, then quits (exit status 0 when the file was written).
// `--dialog captured|progress|split|camera|viewer [--language NAME]` shows
// that dialog alone instead (`--tab 2` opens the camera dialog's second tab);
// `--panel list|side [--folder DIR] [--language NAME]` the recording list or
// the side window over a folder of recordings, and `--panel map|gsensor|gps
// [--tiles URL]` the map, the G-sensor graph or the GPS read-out with a
// fixture recording's telemetry.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/gdi.h"
#include "platform/window_screenshot.h"
#include "platform/windows.h"
#include "tools/velor-gallery/export_dialogs.h"
#include "tools/velor-gallery/gallery_window.h"
#include "tools/velor-gallery/recording_panels.h"
#include "tools/velor-gallery/recordings_page.h"
#include "tools/velor-gallery/settings_dialogs.h"
#include "tools/velor-gallery/toolkit_page.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

namespace {

constexpr int TitleHeight = 28;
constexpr UINT_PTR ScreenshotTimer = 1;
constexpr UINT ScreenshotDelayMs = 1200;
constexpr COLORREF FrameColour = RGB(40, 44, 52);
constexpr COLORREF TitleColour = RGB(70, 80, 100);
constexpr COLORREF KeyColour = RGB(255, 0, 255);
constexpr COLORREF ShapeColour = RGB(0, 200, 220);

struct TGallery {
    std::string screenshotPath;
    bool screenshotSaved = false;
};

TGallery g_gallery;

void DrawLine(HDC dc, const wchar_t* text, const char* face, RECT box, COLORREF colour) {
    constexpr int TextHeight = 26;
    HFONT font = CreateFontA(TextHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, face);
    HGDIOBJ previous = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    DrawTextW(dc, text, -1, &box, DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, previous);
    DeleteObject(font);
}

void PaintFrame(HWND, HDC dc, const RECT& client) {
    FillSolid(dc, client, FrameColour);
    RECT title{0, 0, client.right, TitleHeight};
    FillSolid(dc, title, TitleColour);
    title.left = 10;
    DrawLine(dc, L"VELOR gallery", "Arial", title, RGB(255, 255, 255));
}

// The frame: a skinned, frameless window that is dragged by its title strip.
LRESULT FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return TitleBandHit(window, lParam, TitleHeight);
    case WM_TIMER:
        if (wParam == ScreenshotTimer) {
            KillTimer(window, ScreenshotTimer);
            g_gallery.screenshotSaved = SaveScreenImage(g_gallery.screenshotPath.c_str());
            DestroyWindow(window);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return PaintingProcedure<PaintFrame>(window, message, wParam, lParam);
    }
}

// A plain window of the colour kept in its user data.
void PaintPanel(HWND window, HDC dc, const RECT& client) {
    FillSolid(dc, client, static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
}

struct TTextLine {
    const wchar_t* text;
    const char* face;
};

// Latin, Japanese, Korean, Chinese and Thai, in the faces the program asks for.
constexpr TTextLine TextLines[] = {
    {L"Dash camera recordings", "Arial"}, {L"ドライブレコーダーの映像", "굴림"},
    {L"블랙박스 영상 보기", "굴림"},      {L"行车记录仪视频", "굴림"},
    {L"กล้องติดรถยนต์", "Tahoma"},
};
constexpr int TextLineHeight = 44;

void PaintText(HWND, HDC dc, const RECT& client) {
    FillSolid(dc, client, RGB(255, 255, 255));
    int top = 10;
    for (const TTextLine& line : TextLines) {
        DrawLine(dc, line.text, line.face, RECT{12, top, client.right - 12, top + TextLineHeight},
                 RGB(0, 0, 0));
        top += TextLineHeight;
    }
}

// Magenta is the colour key: only the shape in the middle remains.
void PaintKeyed(HWND, HDC dc, const RECT& client) {
    FillSolid(dc, client, KeyColour);
    FillSolid(dc, RECT{40, 30, 120, 90}, ShapeColour);
}

HWND MakePanel(HWND frame, const char* title, DWORD exStyle, DWORD style, RECT rect,
               COLORREF colour) {
    HWND panel = CreateWindowExA(exStyle, "__GalleryPanel__", title, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, frame, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(panel, GWLP_USERDATA, static_cast<LONG_PTR>(colour));
    return panel;
}

HWND MakeWindows() {
    RegisterWindowClass("__GalleryFrame__", FrameProcedure);
    RegisterWindowClass("__GalleryPanel__", PaintingProcedure<PaintPanel>);
    RegisterWindowClass("__GalleryText__", PaintingProcedure<PaintText>);
    RegisterWindowClass("__GalleryKeyed__", PaintingProcedure<PaintKeyed>);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND frame = CreateWindowExA(WS_EX_APPWINDOW, "__GalleryFrame__", "VELOR gallery",
                                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 40, 40, 640, 420, nullptr,
                                 nullptr, instance, nullptr);
    if (!frame)
        return nullptr;
    const COLORREF panelColours[] = {RGB(200, 40, 40), RGB(40, 160, 60), RGB(40, 70, 200)};
    for (int i = 0; i < 3; ++i)
        MakePanel(frame, "", 0, WS_CHILD | WS_VISIBLE, RECT{20 + i * 140, 50, 140 + i * 140, 130},
                  panelColours[i]);
    CreateWindowExA(0, "__GalleryText__", "", WS_CHILD | WS_VISIBLE, 20, 150, 400, 240, frame,
                    nullptr, instance, nullptr);
    MakePanel(frame, "pop-up", WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, RECT{500, 260, 650, 360},
              RGB(240, 200, 40));
    HWND keyed = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "__GalleryKeyed__", "keyed",
                                 WS_POPUP, 600, 80, 160, 120, frame, nullptr, instance, nullptr);
    SetLayeredWindowAttributes(keyed, KeyColour, 255, LWA_COLORKEY);
    ShowWindow(keyed, SW_SHOWNA);
    UpdateWindow(keyed);
    return frame;
}

} // namespace

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    const char* dialog = nullptr;
    const char* panel = nullptr;
    const char* folder = nullptr;
    const char* language = "english";
    const char* tiles = nullptr;
    int tab = 1;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0)
            g_gallery.screenshotPath = argv[i + 1];
        else if (std::strcmp(argv[i], "--dialog") == 0)
            dialog = argv[i + 1];
        else if (std::strcmp(argv[i], "--language") == 0)
            language = argv[i + 1];
        else if (std::strcmp(argv[i], "--panel") == 0)
            panel = argv[i + 1];
        else if (std::strcmp(argv[i], "--folder") == 0)
            folder = argv[i + 1];
        else if (std::strcmp(argv[i], "--tiles") == 0)
            tiles = argv[i + 1];
        else if (std::strcmp(argv[i], "--tab") == 0)
            tab = std::atoi(argv[i + 1]);
    }
    const char* shot =
        g_gallery.screenshotPath.empty() ? nullptr : g_gallery.screenshotPath.c_str();
    const bool recordingPanel =
        panel && (std::strcmp(panel, "map") == 0 || std::strcmp(panel, "gsensor") == 0 ||
                  std::strcmp(panel, "gps") == 0);
    if (recordingPanel)
        return ShowRecordingPanel(panel, tiles, shot);
    if (panel) {
        TRecordingsPanelRequest request;
        request.which = panel;
        request.folder = folder;
        request.language = language;
        request.screenshotPath = shot;
        return ShowRecordingsPanel(request);
    }
    if (dialog && IsSettingsDialog(dialog))
        return ShowSettingsDialog(dialog, language, tab, shot);
    if (dialog)
        return ShowExportDialog(dialog, language, shot);
    HWND frame = MakeWindows();
    if (!frame) {
        std::fprintf(stderr, "velor-gallery: the windows could not be made\n");
        return 1;
    }
    constexpr int ToolkitPageX = 820;
    constexpr int ToolkitPageY = 40;
    if (!MakeToolkitPage(ToolkitPageX, ToolkitPageY))
        std::fprintf(stderr, "velor-gallery: the toolkit page could not be made (skin missing?)\n");
    if (!g_gallery.screenshotPath.empty())
        SetTimer(frame, ScreenshotTimer, ScreenshotDelayMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyToolkitPage();
    if (g_gallery.screenshotPath.empty())
        return 0;
    if (!g_gallery.screenshotSaved)
        std::fprintf(stderr, "velor-gallery: could not save %s\n",
                     g_gallery.screenshotPath.c_str());
    return g_gallery.screenshotSaved ? 0 : 1;
}
