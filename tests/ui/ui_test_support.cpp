#include "tests/ui/ui_test_support.h"

#include <cstdlib>

#include "platform/gdiplus.h"
#include "platform/thread_messages.h"
#include "language/wide_text.h"
#include "ui/wnd.h"

namespace {

constexpr const char* ParentClass = "__UiTestParent__";

bool Recorded(UINT message) {
    return message == WM_COMMAND || (message >= 2255 && message <= 2258) || message == 6030 ||
           message == 2524;
}

LRESULT ParentProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* parent = reinterpret_cast<TParentWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_CREATE) {
        parent = static_cast<TParentWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(parent));
        return 0;
    }
    if (!parent)
        return DefWindowProcA(window, message, wParam, lParam);
    if (Recorded(message))
        parent->messages.push_back({message, wParam, lParam});
    if (message == WM_DRAWITEM)
        return RouteDrawItem(lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void EnsureUiApplication() {
    static int argc = 1;
    static char name[] = "ui_toolkit_test";
    static char* argv[] = {name, nullptr};
    static TApplication* application = new TApplication(argc, argv);
    (void)application;
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASSEXA windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = ParentProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = ParentClass;
        RegisterClassExA(&windowClass);
    }
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
    hWnd = CreateWindowExA(0, ParentClass, "parent", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), this);
    Pump();
}

TParentWindow::~TParentWindow() {
    if (IsWindow(hWnd)) {
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        DestroyWindow(hWnd);
    }
}

std::vector<UINT> TParentWindow::Only(UINT message) const {
    std::vector<UINT> kept;
    for (const TRecordedMessage& one : messages) {
        if (one.message == message)
            kept.push_back(one.message);
    }
    return kept;
}

int TParentWindow::Count(UINT message) const { return static_cast<int>(Only(message).size()); }

COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

std::string WriteSolidPng(const std::string& path, int width, int height, COLORREF colour) {
    Gdiplus::Bitmap image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, Gdiplus::Color(255, GetRValue(colour), GetGValue(colour), GetBValue(colour)));
    }
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<char> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        const Gdiplus::ImageCodecInfo& encoder = encoders[i];
        if (std::wstring(encoder.MimeType) == L"image/png") {
            image.Save(Utf8ToWide(path).c_str(), &encoder.Clsid);
            break;
        }
    }
    return path;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}
