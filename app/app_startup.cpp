#include "app/app_startup.h"

#include <SDL.h>

#include <cstdio>

#include "engine/glfw_setup.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "platform/cursor.h"
#include "settings/camera_settings_model.h"
#include "settings/preferred_language.h"
#include "settings/viewer_preferences.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr COLORREF kKeyBlue = RGB(0, 0, 255);
constexpr COLORREF kListDark = RGB(17, 17, 17);

std::function<void(const char*)>& Observer() {
    static std::function<void(const char*)> observer;
    return observer;
}

void Note(const char* step) {
    if (Observer())
        Observer()(step);
}

void StartSdl() {
    Note("sdl");
    if (SDL_Init(SDL_INIT_TIMER) != 0)
        std::fprintf(stderr, "velor-player: SDL timer: %s\n", SDL_GetError());
    // Without a sound device the pictures still play.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        std::fprintf(stderr, "velor-player: SDL audio: %s\n", SDL_GetError());
}

void CreateSharedGdi() {
    Note("gdi");
    TSharedGdi& gdi = SharedGdi();
    gdi.bluePen = CreatePen(PS_SOLID, 1, kKeyBlue);
    gdi.blueBrush = CreateSolidBrush(kKeyBlue);
    gdi.darkPen = CreatePen(PS_SOLID, 1, kListDark);
    gdi.darkBrush = CreateSolidBrush(kListDark);
}

template <typename T> void DeleteShared(T*& object) {
    if (object)
        DeleteObject(object);
    object = nullptr;
}

void DeleteSharedGdi() {
    Note("release gdi");
    TSharedGdi& gdi = SharedGdi();
    DeleteShared(gdi.bluePen);
    DeleteShared(gdi.blueBrush);
    DeleteShared(gdi.darkPen);
    DeleteShared(gdi.darkBrush);
}

bool LoadSkin(HWND mainWindow) {
    Note("skin");
    HDC dc = GetDC(mainWindow);
    const bool loaded = LoadSharedSkin(dc);
    ReleaseDC(mainWindow, dc);
    if (!loaded)
        std::fprintf(stderr, "velor-player: the skin pictures could not all be loaded\n");
    return loaded;
}

void LoadCursors() {
    Note("cursors");
    TSharedCursors& cursors = SharedCursors();
    cursors.hand = LoadCursorA(nullptr, IDC_HAND);
    cursors.sizeNorthSouth = LoadCursorA(nullptr, IDC_SIZENS);
    cursors.sizeWestEast = LoadCursorA(nullptr, IDC_SIZEWE);
    cursors.sizeNorthEastSouthWest = LoadCursorA(nullptr, IDC_SIZENESW);
    cursors.sizeNorthWestSouthEast = LoadCursorA(nullptr, IDC_SIZENWSE);
}

} // namespace

TSharedGdi& SharedGdi() {
    static TSharedGdi gdi;
    return gdi;
}

TSharedCursors& SharedCursors() {
    static TSharedCursors cursors;
    return cursors;
}

void SetLifecycleObserver(std::function<void(const char* step)> observer) {
    Observer() = std::move(observer);
}

bool InitialiseApplication(HWND mainWindow) {
    StartSdl();
    Note("preferences");
    LoadPreferences();
    Note("string table");
    LoadPreferredStringTable();
    CreateSharedGdi();
    if (!LoadSkin(mainWindow))
        return false;
    Note("fonts");
    CreateLanguageFonts(Preferences().language);
    LoadCursors();
    Note("camera settings");
    BuildCameraSettingsModel();
    return true;
}

void ShutDownApplication() {
    Note("save preferences");
    if (!SavePreferences())
        std::fprintf(stderr, "velor-player: the preferences could not be saved\n");
    Note("release string table");
    ReleaseStringTable();
    Note("release camera settings");
    ReleaseCameraSettingsModel();
    Note("release skin");
    ReleaseSharedSkin();
    DeleteSharedGdi();
    Note("release fonts");
    ReleaseLanguageFonts(true);
    Note("glfw");
    ShutDownGlfw();
    Note("quit sdl");
    SDL_Quit();
}
