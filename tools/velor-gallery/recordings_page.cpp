#include "tools/velor-gallery/recordings_page.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/window_screenshot.h"
#include "platform/windows.h"
#include "recordings/file_list_panel.h"
#include "recordings/floating_wnd.h"
#include "settings/viewer_preferences.h"
#include "tests/fixtures/recording_writer.h"
#include "tools/velor-gallery/gallery_window.h"
#include "ui/memory_dc_man.h"
#include "ui/selected_font.h"

namespace {

constexpr UINT_PTR ShotTimer = 1;
constexpr UINT ShotDelayMs = 1200;
constexpr int MainWidth = 1035;
constexpr int MainHeight = 720;
constexpr int CaptionHeight = 40;
constexpr int WindowX = 40;
constexpr int WindowY = 40;
constexpr COLORREF CaptionColour = RGB(20, 21, 24);
constexpr COLORREF BodyColour = RGB(27, 29, 33);
constexpr COLORREF VideoColour = RGB(0, 0, 0);
constexpr COLORREF CaptionTextColour = RGB(195, 200, 207);
constexpr const char* MainClass = "__GalleryMainStandIn__";
constexpr const char* ListHostClass = "__GalleryListHost__";

// Every kind, named as the camera names them, out of order on purpose:
// the list sorts them by time.
constexpr const char* SampleNames[] = {
    "INF_REC_00_20260314_081500.avi", "INF_REC_00_20260314_080000.avi",
    "EVT_REC_00_20260314_080412.avi", "INF_REC_00_20260314_081000.avi",
    "MOE_REC_00_20260313_223000.avi", "MAN_REC_00_20260314_082241.avi",
    "TLS_REC_00_20260313_231500.avi", "INF_REC_00_20260314_083000.avi",
    "EVT_REC_00_20260314_084517.avi", "INF_REC_00_20260314_090000.avi",
};

struct TRecordingsPage {
    std::string screenshotPath;
    bool saved = false;
    std::string madeFolder;
    std::unique_ptr<CFloatingWnd> side;
    std::unique_ptr<TPanelSet> listSet;
};

TRecordingsPage g_page;

// A card of short one-camera recordings written by the fixture writer.
std::string WriteSampleCard() {
    std::string folder = (std::filesystem::temp_directory_path() / "velor-gallery-XXXXXX").string();
    if (!mkdtemp(folder.data()))
        return {};
    velor::fixtures::RecordingOptions options;
    options.channels = 1;
    options.seconds = 1;
    options.width = 160;
    options.height = 90;
    options.sound = false;
    options.telemetry = false;
    for (const char* name : SampleNames) {
        std::string error;
        if (!velor::fixtures::WriteRecording(folder + "/" + name, options, &error))
            std::fprintf(stderr, "velor-gallery: %s: %s\n", name, error.c_str());
    }
    g_page.madeFolder = folder;
    return folder;
}

void SaveShot(HWND window) {
    KillTimer(window, ShotTimer);
    g_page.saved = SaveScreenImage(g_page.screenshotPath.c_str());
    DestroyWindow(window);
}

void CopyShared(HDC dc, SkinImage image, int x, int y) {
    const TMemoryDC& picture = SharedImage(image);
    if (!picture.released)
        BitBlt(dc, x, y, picture.width, picture.height, picture.dc, 0, 0, SRCCOPY);
}

// The main window's bands around where the side window docks, so the
// docked window is seen in its place.
void PaintMainStandIn(HWND, HDC dc, const RECT& client) {
    FillSolid(dc, client, BodyColour);
    FillSolid(dc, RECT{0, 0, client.right, CaptionHeight}, CaptionColour);
    FillSolid(dc, RECT{8, 76, 719, 523}, VideoColour);
    CopyShared(dc, SkinImage::TimeBarBackground, 8, 523);
    CopyShared(dc, SkinImage::ControlBarBackground, 8, 549);
    CopyShared(dc, SkinImage::GpsBackground, 8, 593);
    CopyShared(dc, SkinImage::GSensorBackground, 528, 593);
    CopyShared(dc, SkinImage::BrightnessBackground, 827, 593);
    RECT title{16, 0, client.right, CaptionHeight};
    TSelectedFont font(dc, SharedFonts().control);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, CaptionTextColour);
    DrawTextW(dc, L"VELOR gallery \u2014 side window", -1, &title, DT_SINGLELINE | DT_VCENTER);
}

LRESULT MainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return TitleBandHit(window, lParam, CaptionHeight);
    case WM_OPEN_RECORDING:
        std::printf("open %d %s\n", static_cast<int>(wParam),
                    reinterpret_cast<const char*>(lParam));
        std::fflush(stdout);
        return 1;
    case WM_SIDE_WINDOW_DOCKING:
        std::printf("%s\n", wParam ? "docked" : "floating");
        std::fflush(stdout);
        return 0;
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_TIMER:
        if (wParam == ShotTimer)
            SaveShot(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return PaintingProcedure<PaintMainStandIn>(window, message, wParam, lParam);
    }
}

void PaintListHost(HWND, HDC dc, const RECT& client) {
    FillSolid(dc, client, BodyColour);
}

LRESULT ListHostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_OPEN_RECORDING:
    case WM_TIMER:
    case WM_KEYDOWN:
    case WM_DESTROY:
        return MainProcedure(window, message, wParam, lParam);
    default:
        return PaintingProcedure<PaintListHost>(window, message, wParam, lParam);
    }
}

HWND MakeTopWindow(const char* className, WNDPROC procedure, int width, int height) {
    RegisterWindowClass(className, procedure);
    return CreateWindowExA(WS_EX_APPWINDOW, className, "VELOR gallery",
                           WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, WindowX, WindowY, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

CFileListPanel* MakeSide(HWND* top) {
    *top = MakeTopWindow(MainClass, MainProcedure, MainWidth, MainHeight);
    if (!*top)
        return nullptr;
    g_page.side = std::make_unique<CFloatingWnd>();
    if (!g_page.side->Create(*top))
        return nullptr;
    return g_page.side->FileList();
}

CFileListPanel* MakeList(HWND* top) {
    constexpr int ListWidth = 297;
    constexpr int ListHeight = 521;
    *top = MakeTopWindow(ListHostClass, ListHostProcedure, ListWidth, ListHeight);
    if (!*top)
        return nullptr;
    g_page.listSet = std::make_unique<TPanelSet>(*top);
    auto info = std::make_unique<TPanelInfo>();
    info->panelId = FileListPanelId;
    auto panel = std::make_unique<CFileListPanel>();
    CFileListPanel* list = panel.get();
    list->SetOwner(*top);
    info->panel = std::move(panel);
    if (!g_page.listSet->AddPanel(std::move(info)))
        return nullptr;
    g_page.listSet->ShowPanel(FileListPanelId);
    return list;
}

} // namespace

int ShowRecordingsPanel(const TRecordingsPanelRequest& request) {
    const bool side = std::strcmp(request.which, "side") == 0;
    if (!side && std::strcmp(request.which, "list") != 0) {
        std::fprintf(stderr, "velor-gallery: no panel \"%s\" (list, side)\n", request.which);
        return 1;
    }
    SetDefaultPreferences();
    LoadStringTable(request.language);
    CreateLanguageFonts(request.language);
    HDC screen = GetDC(nullptr);
    const bool skin = LoadSharedSkin(screen);
    ReleaseDC(nullptr, screen);
    if (!skin)
        std::fprintf(stderr, "velor-gallery: the skin is missing; build velor_resources\n");
    const std::string folder =
        request.folder && request.folder[0] ? request.folder : WriteSampleCard();
    HWND top = nullptr;
    CFileListPanel* list = side ? MakeSide(&top) : MakeList(&top);
    if (!list) {
        std::fprintf(stderr, "velor-gallery: the %s panel could not be made\n", request.which);
        return 1;
    }
    list->Catalog().LoadFolder(folder);
    if (request.screenshotPath) {
        g_page.screenshotPath = request.screenshotPath;
        SetTimer(top, ShotTimer, ShotDelayMs, nullptr);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    g_page.side.reset();
    g_page.listSet.reset();
    ReleaseSharedSkin();
    ReleaseLanguageFonts(true);
    if (!g_page.madeFolder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(g_page.madeFolder, ignored);
    }
    if (!request.screenshotPath)
        return 0;
    if (!g_page.saved)
        std::fprintf(stderr, "velor-gallery: could not save %s\n", request.screenshotPath);
    return g_page.saved ? 0 : 1;
}
