#include "tests/ui/ui_test_support.h"

#include <cstdlib>

#include "language/wide_text.h"
#include "platform/gdiplus.h"
#include "platform/thread_messages.h"
#include "ui/memory_dc_man.h"

namespace {

constexpr const char* ParentClass = "__UiTestParent__";

bool Kept(UINT message) {
    return message == WM_COMMAND || (message >= 2255 && message <= 2258) || message == 6030 ||
           message == 2524;
}

} // namespace

// Never destroyed: windows deleted late must not outlive Qt's thread data
// at exit. A global the leak checker can see, not a local it may drop.
TApplication* g_uiTestApplication = nullptr;

void EnsureUiApplication() {
    static int argc = 1;
    static char name[] = "ui_toolkit_test";
    static char* argv[] = {name, nullptr};
    if (!g_uiTestApplication)
        g_uiTestApplication = new TApplication(argc, argv);
    RegisterWindowClass(ParentClass, BoundWindowProcedure);
}

void Pump(int rounds) {
    MSG message;
    for (int i = 0; i < rounds; ++i) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

TParentWindow::TParentWindow(int width, int height) {
    EnsureUiApplication();
    SetClassName(ParentClass);
    CreateBoundWindow(this, WS_POPUP | WS_VISIBLE, RECT{0, 0, width, height}, nullptr);
    Pump();
}

TParentWindow::~TParentWindow() {
    if (hWnd && IsWindow(hWnd))
        DestroyWindow(hWnd);
}

LRESULT TParentWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = message == WM_DRAWITEM;
    if (Kept(message))
        messages.push_back({message, wParam, lParam});
    if (message == WM_TIMER && onTimer)
        onTimer();
    return *handled ? RouteDrawItem(lParam) : 0;
}

std::vector<TRecordedMessage> TParentWindow::Take(UINT message) {
    Pump();
    std::vector<TRecordedMessage> taken;
    std::erase_if(messages, [&](const TRecordedMessage& one) {
        if (one.message == message)
            taken.push_back(one);
        return one.message == message;
    });
    return taken;
}

void TSkinTest::SetUp() {
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(LoadSharedSkin(screen));
    ReleaseDC(nullptr, screen);
}

COLORREF PixelAt(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

std::string WriteSolidPng(const std::string& path, int width, int height, COLORREF colour) {
    Gdiplus::Bitmap image(width, height);
    Gdiplus::Graphics(&image).Clear(
        Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png")
            image.Save(Utf8ToWide(path).c_str(), &encoders[i].Clsid);
    }
    return path;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
