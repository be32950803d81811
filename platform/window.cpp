#include <QApplication>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/last_error.h"
#include "platform/window_internal.h"
#include "platform/window_widget.h"

namespace {

constexpr int DefaultWidth = 640;
constexpr int DefaultHeight = 480;
constexpr int DefaultPosition = 100;

struct ClassRegistry {
    std::unordered_map<std::string, std::shared_ptr<const TWindowClass>> classes;
};

ClassRegistry& Classes() {
    static ClassRegistry registry;
    return registry;
}

// Changed on the main thread only; the lock lets PostMessageA on any thread
// tell a live window from a dead handle.
struct WindowRegistry {
    std::mutex mutex;
    std::unordered_set<HWND> live;
    std::uint64_t nextSerial = 1;
};

WindowRegistry& Windows() {
    static WindowRegistry registry;
    return registry;
}

HINSTANCE__* ProgramInstance() {
    static char instance;
    return reinterpret_cast<HINSTANCE__*>(&instance);
}

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void RegisterBuiltInClasses() {
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    auto button = std::make_shared<TWindowClass>();
    button->name = "BUTTON";
    button->style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    button->procedure = ButtonProcedure;
    button->windowExtraBytes = 2 * static_cast<int>(sizeof(LONG_PTR));
    button->instance = ProgramInstance();
    Classes().classes.emplace("button", button);
}

std::string Lowered(const char* name) {
    std::string lowered(name ? name : "");
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

std::shared_ptr<const TWindowClass> FindClass(const char* name) {
    RegisterBuiltInClasses();
    auto found = Classes().classes.find(Lowered(name));
    return found == Classes().classes.end() ? nullptr : found->second;
}

Qt::WindowFlags TopLevelFlags(DWORD style, DWORD exStyle) {
    Qt::WindowFlags flags = (exStyle & WS_EX_TOOLWINDOW) ? Qt::Tool : Qt::Window;
    // Only a real caption gets the system frame; every skinned window draws
    // its own.
    if ((style & WS_CAPTION) != WS_CAPTION)
        flags |= Qt::FramelessWindowHint;
    if (exStyle & WS_EX_TOPMOST)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

QWidget* QtParentFor(HWND window) {
    // Owned windows are not Qt children: disabling an owner for a modal
    // dialog must not disable the dialog. They become transient on showing.
    if (window->style & WS_CHILD)
        return window->parent ? window->parent->widget : nullptr;
    return nullptr;
}

void MakeWidget(HWND window) {
    QWidget* parent = QtParentFor(window);
    Qt::WindowFlags flags = (window->style & WS_CHILD)
                                ? Qt::WindowFlags(Qt::Widget)
                                : TopLevelFlags(window->style, window->exStyle);
    window->widget = new TWindowWidget(window, parent, flags);
    window->widget->setWindowTitle(QString::fromUtf8(window->text.c_str()));
    if (window->style & WS_DISABLED)
        window->widget->setEnabled(false);
    if (!(window->style & WS_CHILD))
        window->widget->setFocusPolicy(Qt::ClickFocus);
    else
        window->widget->hide(); // a child shows only with WS_VISIBLE, unlike a widget
}

QRect InitialRect(int x, int y, int width, int height) {
    if (x == CW_USEDEFAULT) {
        x = DefaultPosition;
        y = DefaultPosition;
    }
    if (width == CW_USEDEFAULT) {
        width = DefaultWidth;
        height = DefaultHeight;
    }
    return QRect(x, y, std::max(0, width), std::max(0, height));
}

void SendInitialMinMax(HWND window, QRect& rect) {
    if (window->style & WS_CHILD)
        return;
    MINMAXINFO info{};
    info.ptMaxTrackSize = {100000, 100000};
    SendMessageA(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    // Creation honours the tracking limits as Windows does.
    rect.setWidth(std::clamp<int>(rect.width(), 0, info.ptMaxTrackSize.x));
    rect.setHeight(std::clamp<int>(rect.height(), 0, info.ptMaxTrackSize.y));
}

void Forget(HWND window) {
    WindowRegistry& registry = Windows();
    std::lock_guard lock(registry.mutex);
    registry.live.erase(window);
}

void DestroyWithoutCreation(HWND window, bool sendDestroy) {
    if (sendDestroy)
        SendMessageA(window, WM_DESTROY, 0, 0);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    Forget(window);
    ReleaseWindowObject(window);
}

std::vector<HWND> ChildrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND candidate : AllWindows()) {
        if (candidate->parent == window && (candidate->style & WS_CHILD))
            children.push_back(candidate);
    }
    return children;
}

std::vector<HWND> OwnedBy(HWND window) {
    std::vector<HWND> owned;
    for (HWND candidate : AllWindows()) {
        if (candidate->owner == window && !(candidate->style & WS_CHILD))
            owned.push_back(candidate);
    }
    return owned;
}

void SendDestroyTree(HWND window) {
    window->destroying = true;
    SendMessageA(window, WM_DESTROY, 0, 0);
    for (HWND child : ChildrenOf(window)) {
        if (IsWindow(child) && !child->destroying)
            SendDestroyTree(child);
    }
}

void FinishDestroyTree(HWND window) {
    for (HWND child : ChildrenOf(window)) {
        if (IsWindow(child))
            FinishDestroyTree(child);
    }
    ForgetTimers(window);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    Forget(window);
    ReleaseWindowObject(window);
}

LONG_PTR* ExtraSlot(HWND window, int index) {
    if (index < 0 || index % static_cast<int>(sizeof(LONG_PTR)) != 0)
        return nullptr;
    const std::size_t slot = static_cast<std::size_t>(index) / sizeof(LONG_PTR);
    return slot < window->extra.size() ? &window->extra[slot] : nullptr;
}

void Restyle(HWND window, DWORD oldStyle) {
    if ((oldStyle ^ window->style) & WS_DISABLED)
        window->widget->setEnabled(!(window->style & WS_DISABLED));
}

void RestyleExtended(HWND window, DWORD oldExStyle) {
    if (window->style & WS_CHILD)
        return;
    const DWORD flagBits = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    if (!((oldExStyle ^ window->exStyle) & flagBits))
        return;
    const bool visible = window->widget->isVisible();
    window->widget->setWindowFlags(TopLevelFlags(window->style, window->exStyle));
    if (visible)
        window->widget->show();
}

} // namespace

HINSTANCE GetModuleHandleA(const char*) {
    return ProgramInstance();
}

WORD RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || !windowClass->lpfnWndProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RegisterBuiltInClasses();
    const std::string key = Lowered(windowClass->lpszClassName);
    if (Classes().classes.count(key)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto made = std::make_shared<TWindowClass>();
    made->name = windowClass->lpszClassName;
    made->style = windowClass->style;
    made->procedure = windowClass->lpfnWndProc;
    made->windowExtraBytes = std::max(0, windowClass->cbWndExtra);
    made->instance = windowClass->hInstance;
    made->cursor = windowClass->hCursor;
    made->background = windowClass->hbrBackground;
    Classes().classes.emplace(key, std::move(made));
    // An atom is any non-zero number; callers only test it.
    return static_cast<WORD>(Classes().classes.size());
}

BOOL UnregisterClassA(const char* className, HINSTANCE) {
    if (!FindClass(className)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    Classes().classes.erase(Lowered(className));
    return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, const char* className, WNDCLASSEXA* out) {
    std::shared_ptr<const TWindowClass> found = FindClass(className);
    if (!found || !out) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    out->cbSize = sizeof(WNDCLASSEXA);
    out->style = found->style;
    out->lpfnWndProc = found->procedure;
    out->cbClsExtra = 0;
    out->cbWndExtra = found->windowExtraBytes;
    out->hInstance = found->instance;
    out->hCursor = found->cursor;
    out->hbrBackground = found->background;
    out->lpszClassName = className;
    return TRUE;
}

std::vector<HWND> AllWindows() {
    WindowRegistry& registry = Windows();
    std::unique_lock lock(registry.mutex);
    std::vector<HWND> windows(registry.live.begin(), registry.live.end());
    lock.unlock();
    std::sort(windows.begin(), windows.end(), [](HWND a, HWND b) { return a->serial < b->serial; });
    return windows;
}

BOOL IsWindow(HWND window) {
    return SerialOfWindow(window) != 0 ? TRUE : FALSE;
}

std::uint64_t SerialOfWindow(HWND window) {
    if (!window)
        return 0;
    WindowRegistry& registry = Windows();
    std::lock_guard lock(registry.mutex);
    // Looked up before it is read: a dead handle may point at freed memory.
    return registry.live.count(window) ? window->serial : 0;
}

QWidget* WidgetOfWindow(HWND window) {
    return IsWindow(window) ? window->widget : nullptr;
}

HWND WindowOfWidget(const QWidget* widget) {
    auto* ours = dynamic_cast<const TWindowWidget*>(widget);
    if (!ours)
        return nullptr;
    return IsWindow(ours->Window()) ? ours->Window() : nullptr;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                     HINSTANCE instance, void* createParam) {
    std::shared_ptr<const TWindowClass> windowClass = FindClass(className);
    if (!windowClass) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if ((style & WS_CHILD) && !IsWindow(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    EnsureWindowLayer();
    auto* window = new HWND__;
    window->windowClass = windowClass;
    window->procedure = windowClass->procedure;
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    window->text = windowName ? windowName : "";
    window->extra.assign((windowClass->windowExtraBytes + sizeof(LONG_PTR) - 1) / sizeof(LONG_PTR),
                         0);
    if (style & WS_CHILD) {
        window->parent = parent;
        window->id = reinterpret_cast<LONG_PTR>(menuOrId);
    } else if (IsWindow(parent)) {
        window->owner = TopLevelOf(parent);
    }
    {
        WindowRegistry& registry = Windows();
        std::lock_guard lock(registry.mutex);
        window->serial = registry.nextSerial++;
        registry.live.insert(window);
    }
    MakeWidget(window);

    CREATESTRUCTA create;
    create.lpCreateParams = createParam;
    create.hInstance = instance;
    create.hMenu = menuOrId;
    create.hwndParent = parent;
    create.lpszName = windowName;
    create.lpszClass = className;
    create.style = static_cast<LONG>(style);
    create.dwExStyle = exStyle;
    QRect rect = InitialRect(x, y, width, height);
    SendInitialMinMax(window, rect);
    create.x = rect.x();
    create.y = rect.y();
    create.cx = rect.width();
    create.cy = rect.height();
    ApplyGeometry(window, rect);
    window->reportedSize = rect.size();
    window->reportedPos = rect.topLeft();
    window->image = QImage(rect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    window->image.fill(Qt::white);
    window->invalid = QRegion(0, 0, rect.width(), rect.height());
    window->eraseWanted = true;
    window->frameWanted = true;

    const LPARAM createData = reinterpret_cast<LPARAM>(&create);
    if (!SendMessageA(window, WM_NCCREATE, 0, createData)) {
        DestroyWithoutCreation(window, false);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (SendMessageA(window, WM_CREATE, 0, createData) == -1) {
        DestroyWithoutCreation(window, true);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsWindow(window))
        return nullptr;
    SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.width(), rect.height()));
    SendMessageA(window, WM_MOVE, 0, MAKELPARAM(rect.x(), rect.y()));
    if (IsWindow(window) && (style & WS_VISIBLE))
        ShowWindow(window, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return IsWindow(window) ? window : nullptr;
}

BOOL DestroyWindow(HWND window) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (window->destroying)
        return TRUE;
    for (HWND owned : OwnedBy(window))
        DestroyWindow(owned);
    if (window->widget)
        window->widget->hide();
    HWND capture = GetCapture();
    if (capture == window || IsChild(window, capture))
        ReleaseCapture();
    HWND focus = GetFocus();
    if (focus == window || IsChild(window, focus))
        SetFocus(nullptr);
    SendDestroyTree(window);
    FinishDestroyTree(window);
    return TRUE;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(ProgramInstance());
    case GWLP_ID:
        return window->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_USERDATA:
        return window->userData;
    default:
        break;
    }
    LONG_PTR* slot = ExtraSlot(window, index);
    if (!slot) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return *slot;
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    if (!IsWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR previous = GetWindowLongPtrA(window, index);
    switch (index) {
    case GWLP_WNDPROC:
        window->procedure = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_HINSTANCE:
        return previous;
    case GWLP_ID:
        window->id = value;
        return previous;
    case GWL_STYLE: {
        const DWORD old = window->style;
        // Visibility changes only through ShowWindow, as on Windows.
        window->style = (static_cast<DWORD>(value) & ~WS_VISIBLE) | (old & WS_VISIBLE);
        Restyle(window, old);
        return previous;
    }
    case GWL_EXSTYLE: {
        const DWORD old = window->exStyle;
        window->exStyle = static_cast<DWORD>(value);
        RestyleExtended(window, old);
        return previous;
    }
    case GWLP_USERDATA:
        window->userData = value;
        return previous;
    default:
        break;
    }
    LONG_PTR* slot = ExtraSlot(window, index);
    if (!slot) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    *slot = value;
    return previous;
}

int GetClassNameA(HWND window, char* buffer, int size) {
    if (!IsWindow(window) || !buffer || size <= 0)
        return 0;
    const std::string& name = window->windowClass->name;
    const int length = std::min<int>(static_cast<int>(name.size()), size - 1);
    std::memcpy(buffer, name.data(), static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

HWND GetParent(HWND window) {
    if (!IsWindow(window))
        return nullptr;
    return (window->style & WS_CHILD) ? window->parent : window->owner;
}

BOOL IsChild(HWND parent, HWND window) {
    if (!IsWindow(parent) || !IsWindow(window))
        return FALSE;
    for (HWND up = window; up && (up->style & WS_CHILD); up = up->parent) {
        if (up->parent == parent)
            return TRUE;
    }
    return FALSE;
}

HWND TopLevelOf(HWND window) {
    while (IsWindow(window) && (window->style & WS_CHILD) && window->parent)
        window = window->parent;
    return window;
}

HWND SetParent(HWND window, HWND newParent) {
    if (!IsWindow(window) || (newParent && !IsWindow(newParent)) || newParent == window) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HWND previous = window->parent ? window->parent : window->owner;
    const QRect rect = window->widget->geometry();
    const bool visible = window->widget->isVisible();
    if (newParent) {
        window->parent = newParent;
        window->owner = nullptr;
        window->widget->setParent(newParent->widget, Qt::Widget);
    } else {
        window->parent = nullptr;
        window->widget->setParent(nullptr, TopLevelFlags(window->style, window->exStyle));
    }
    // Coordinates keep their numbers, now relative to the new parent.
    window->widget->setGeometry(rect);
    window->widget->setFocusPolicy(newParent ? Qt::NoFocus : Qt::ClickFocus);
    if (visible)
        window->widget->show();
    ApplyLayering(window);
    return previous;
}

HWND GetDlgItem(HWND parent, int id) {
    for (HWND child : ChildrenOf(parent)) {
        if (child->id == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND window) {
    return IsWindow(window) ? static_cast<int>(window->id) : 0;
}

BOOL SetWindowTextA(HWND window, const char* text) {
    if (!IsWindow(window))
        return FALSE;
    window->text = text ? text : "";
    window->widget->setWindowTitle(QString::fromUtf8(window->text.c_str()));
    return TRUE;
}

int GetWindowTextA(HWND window, char* buffer, int size) {
    if (!IsWindow(window) || !buffer || size <= 0)
        return 0;
    const int length = std::min<int>(static_cast<int>(window->text.size()), size - 1);
    std::memcpy(buffer, window->text.data(), static_cast<std::size_t>(length));
    buffer[length] = '\0';
    return length;
}

int GetWindowTextLengthA(HWND window) {
    return IsWindow(window) ? static_cast<int>(window->text.size()) : 0;
}

HWND FindWindowA(const char* className, const char* windowName) {
    for (HWND window : AllWindows()) {
        if (window->style & WS_CHILD)
            continue;
        if (className && Lowered(className) != Lowered(window->windowClass->name.c_str()))
            continue;
        if (windowName && window->text != windowName)
            continue;
        return window;
    }
    return nullptr;
}

void ReleaseWindowObject(HWND window) {
    ReleaseWindowShape(window);
    TWindowWidget* widget = window->widget;
    window->widget = nullptr;
    if (!widget) {
        delete window;
        return;
    }
    widget->Detach();
    widget->hide();
    // Children already went; the widget may be in the middle of one of its
    // own event handlers, so it and its handle go when control is back in
    // the event loop.
    QObject::connect(widget, &QObject::destroyed, [window] { delete window; });
    widget->deleteLater();
}

namespace {

// The standard button: pressed while the left button is held inside it,
// clicked when released inside; owner-drawn buttons ask their parent to draw.
constexpr int ButtonPushedSlot = 0;

bool ButtonPushed(HWND window) {
    return GetWindowLongPtrA(window, ButtonPushedSlot) != 0;
}

void SetButtonPushed(HWND window, bool pushed) {
    if (ButtonPushed(window) == pushed)
        return;
    SetWindowLongPtrA(window, ButtonPushedSlot, pushed ? 1 : 0);
    InvalidateRect(window, nullptr, FALSE);
}

bool InsideClient(HWND window, LPARAM lParam) {
    RECT client;
    GetClientRect(window, &client);
    return PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
}

void PaintButton(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if ((window->style & 0x0F) == BS_OWNERDRAW && GetParent(window)) {
        DRAWITEMSTRUCT item;
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(window->id);
        item.itemAction = ODA_DRAWENTIRE;
        if (ButtonPushed(window))
            item.itemState |= ODS_SELECTED;
        if (!IsWindowEnabled(window))
            item.itemState |= ODS_DISABLED;
        if (GetFocus() == window)
            item.itemState |= ODS_FOCUS;
        item.hwndItem = window;
        item.hDC = dc;
        GetClientRect(window, &item.rcItem);
        SendMessageA(GetParent(window), WM_DRAWITEM, static_cast<WPARAM>(window->id),
                     reinterpret_cast<LPARAM>(&item));
    }
    EndPaint(window, &paint);
}

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintButton(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(window);
        SetButtonPushed(window, true);
        return 0;
    case WM_MOUSEMOVE:
        if (GetCapture() == window)
            SetButtonPushed(window, InsideClient(window, lParam));
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != window)
            return 0;
        const bool clicked = InsideClient(window, lParam);
        ReleaseCapture();
        SetButtonPushed(window, false);
        if (clicked && GetParent(window))
            SendMessageA(GetParent(window), WM_COMMAND,
                         MAKEWPARAM(static_cast<int>(window->id), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
        return 0;
    }
    case WM_CAPTURECHANGED:
        SetButtonPushed(window, false);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace
