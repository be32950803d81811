#include "ui/act_button.h"

#include "language/wide_text.h"
#include "platform/cursor.h"
#include "platform/tooltip.h"

namespace {

constexpr int CaptionHeight = 12;
constexpr const char* CaptionFace = "굴림";
constexpr std::size_t CaptionLimit = 256;
constexpr UINT LeftButtonDownBit = 1;

HFONT MakeCaptionFont(int weight) {
    return CreateFontA(CaptionHeight, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       CaptionFace);
}

void FillBlack(TMemoryDC& surface) {
    RECT all{0, 0, surface.width, surface.height};
    FillRect(surface.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

}  // namespace

WNDPROC CActButton::systemProcedure = nullptr;

CActButton::~CActButton() {
    DestroyOwnWindow();
    ReleaseResources();
}

bool CActButton::RegisterButtonClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing;
    if (GetClassInfoExA(instance, ActButtonClass, &existing))
        return true;
    WNDCLASSEXA button;
    if (!GetClassInfoExA(instance, "BUTTON", &button))
        return false;
    systemProcedure = button.lpfnWndProc;
    button.lpfnWndProc = WindowProcedure;
    button.lpszClassName = ActButtonClass;
    button.hInstance = instance;
    return RegisterClassExA(&button) != 0;
}

bool CActButton::Create(HDC reference, const char* normalPath, const char* pressedPath,
                        const char* overPath, const char* disabledPath, const char* captionText,
                        POINT position, SIZE size, HDC background, HWND parent, int controlId,
                        const char* tooltipText) {
    notifyOnPress = 0;
    toggleMode = 0;
    HDC screen = reference ? nullptr : GetDC(nullptr);
    HDC ref = reference ? reference : screen;
    TMemoryDC scratch;
    bool ok = scratch.Prepare(ref, size.cx, size.cy);
    if (ok)
        imageManager = std::make_unique<CMemoryDCMan>(4, size.cx, size.cy);
    const char* paths[4] = {normalPath, pressedPath, overPath, disabledPath};
    LONG* handles[4] = {&imageNormal, &imagePressed, &imageOver, &imageDisabled};
    for (int i = 0; ok && i < 4; ++i) {
        if (!paths[i])
            continue;
        const std::string path = ResolveSkinPath(paths[i]);
        if (!background)
            FillBlack(scratch);
        if (!DrawImageFileOver(scratch, background, position.x, position.y, size.cx, size.cy,
                               path.c_str())) {
            ok = false;
            break;
        }
        // The same path gives the same key, so a picture named twice is stored once.
        ok = imageManager->AddImage(ref, scratch.dc, scratch.bitmap,
                                    RegisterWindowMessageA(path.c_str()), handles[i]);
    }
    scratch.Release();
    if (screen)
        ReleaseDC(nullptr, screen);
    if (!ok)
        return false;
    SetCaption(captionText);
    if (!CreateButtonWindow(position, size, parent, controlId, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW))
        return false;
    if (tooltipText)
        hasTooltip = AttachToolTip(hWnd, tooltipText) != FALSE;
    return true;
}

bool CActButton::CreateFromAtlas(TImageAtlas* atlas, UINT normalId, UINT pressedId, UINT overId,
                                 UINT disabledId, POINT position, HWND parent, int controlId,
                                 DWORD style) {
    const RECT* normal = atlas ? atlas->Find(normalId) : nullptr;
    if (!normal)
        return false;
    imageAtlas = atlas;
    imageNormal = static_cast<LONG>(normalId);
    imagePressed = static_cast<LONG>(pressedId);
    imageOver = static_cast<LONG>(overId);
    imageDisabled = static_cast<LONG>(disabledId);
    const SIZE size{normal->right - normal->left, normal->bottom - normal->top};
    return CreateButtonWindow(position, size, parent, controlId, style);
}

bool CActButton::CreateButtonWindow(POINT position, SIZE size, HWND parent, int controlId,
                                    DWORD style) {
    if (!RegisterButtonClass())
        return false;
    SetClassName(ActButtonClass);
    HWND window = CreateWindowExA(0, ActButtonClass, nullptr, style, position.x, position.y, size.cx,
                                  size.cy, parent,
                                  reinterpret_cast<HMENU>(static_cast<std::intptr_t>(controlId)),
                                  GetModuleHandleA(nullptr), this);
    if (!window)
        return false;
    hWnd = window;
    created = true;
    return true;
}

void CActButton::SetFont(HFONT captionFont, bool owns) {
    if (font && ownsFont && font != captionFont)
        DeleteObject(font);
    font = captionFont;
    ownsFont = owns;
}

void CActButton::SetCaption(const char* text) {
    if (text)
        caption = std::make_unique<std::string>(text);
    else
        caption.reset();
    if (hWnd) {
        MakeFonts();
        InvalidateRect(hWnd, nullptr, FALSE);
    }
}

void CActButton::MakeFonts() {
    if (caption && !font) {
        font = MakeCaptionFont(FW_NORMAL);
        ownsFont = true;
    }
    if (toggleMode && !boldFont)
        boldFont = MakeCaptionFont(FW_BOLD);
}

void CActButton::OnCreate(const CREATESTRUCTA* create) {
    if (!cursor)
        cursor = LoadCursorA(nullptr, IDC_ARROW);
    BuildRegion(create->cx, create->cy);
    if (region) {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, region, nullptr, RGN_COPY);
        SetWindowRgn(hWnd, copy, TRUE);
    }
    MakeFonts();
}

void CActButton::BuildRegion(int width, int height) {
    if (shape == ShapeNone)
        return;
    if (shape == ShapeEllipse) {
        region = CreateEllipticRgn(0, 0, width + 1, height + 1);
        return;
    }
    if (shape == ShapeFromImage) {
        if (!imageAtlas)
            return;
        HDC windowDc = GetDC(hWnd);
        TMemoryDC scratch;
        if (scratch.Prepare(windowDc, width, height)) {
            RECT whole{0, 0, width, height};
            imageAtlas->Draw(scratch.dc, &whole, static_cast<UINT>(imageNormal), false);
            region = BuildRegionFromBitmap(scratch.dc, scratch.bitmap);
        }
        scratch.Release();
        ReleaseDC(hWnd, windowDc);
        return;
    }
    region = CreateRoundRectRgn(0, 0, width + 1, height + 1, shape, shape);
}

LONG CActButton::ImageOfState(int state) const {
    const LONG images[4] = {imageNormal, imagePressed, imageOver, imageDisabled};
    const LONG chosen = images[state & 3];
    return (chosen == NoImage || chosen == ImageNotLoaded) ? imageNormal : chosen;
}

void CActButton::DrawItem(DRAWITEMSTRUCT* item) {
    if (!item)
        return;
    itemState = item->itemState;
    itemRect = item->rcItem;
    int state = StateNormal;
    if (toggleMode)
        state = checked ? StatePressed : StateNormal;
    else if (IsWindowEnabled(hWnd) && !locked)
        state = (itemState & ODS_SELECTED) ? StatePressed : StateNormal;
    else
        state = StateDisabled;
    PaintState(state);
}

void CActButton::PaintState(int state) {
    if (!hWnd)
        return;
    if (itemRect.right <= itemRect.left)
        GetClientRect(hWnd, &itemRect);
    HDC dc = GetDC(hWnd);
    if (region)
        SelectClipRgn(dc, region);
    const LONG image = ImageOfState(state);
    if (image != NoImage && image != ImageNotLoaded) {
        if (imageAtlas) {
            imageAtlas->Draw(dc, &itemRect, static_cast<UINT>(image), false);
        } else if (imageManager) {
            HDC cellDc = nullptr;
            int cellX = 0;
            if (imageManager->Resolve(image, &cellDc, &cellX)) {
                const int width = itemRect.right - itemRect.left;
                const int height = itemRect.bottom - itemRect.top;
                stretch = width != imageManager->cellWidth || height != imageManager->cellHeight;
                if (stretch)
                    StretchBlt(dc, itemRect.left, itemRect.top, width, height, cellDc, cellX, 0,
                               imageManager->cellWidth, imageManager->cellHeight, SRCCOPY);
                else
                    BitBlt(dc, itemRect.left, itemRect.top, width, height, cellDc, cellX, 0, SRCCOPY);
            }
        }
        DrawCaption(dc);
    }
    SelectClipRgn(dc, nullptr);
    ReleaseDC(hWnd, dc);
}

void CActButton::DrawCaption(HDC dc) {
    if (!caption || caption->empty())
        return;
    SetBkMode(dc, TRANSPARENT);
    HFONT chosen = (toggleMode && checked && boldFont) ? boldFont : font;
    HGDIOBJ previous = chosen ? SelectObject(dc, chosen) : nullptr;
    const bool grey = !IsWindowEnabled(hWnd) || locked;
    SetTextColor(dc, grey ? GetSysColor(COLOR_GRAYTEXT) : textColour);
    std::wstring text = Utf8ToWide(*caption);
    if (text.size() > CaptionLimit)
        text.resize(CaptionLimit);
    RECT box = itemRect;
    DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previous)
        SelectObject(dc, previous);
}

bool CActButton::HoverCheck() {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hWnd, &point);
    if (!pressed && region && PtInRegion(region, point.x, point.y)) {
        if (!hovering) {
            PaintState(locked ? StateDisabled : StateOver);
            hovering = true;
        }
        return true;
    }
    KillTimer(hWnd, HoverTimerId);
    if (hovering && !pressed)
        InvalidateRect(hWnd, nullptr, FALSE);
    hovering = false;
    return false;
}

void CActButton::ReleaseResources() {
    imageManager.reset();
    caption.reset();
    if (boldFont)
        DeleteObject(boldFont);
    boldFont = nullptr;
    if (font && ownsFont)
        DeleteObject(font);
    font = nullptr;
    if (region)
        DeleteObject(region);
    region = nullptr;
}

LRESULT CActButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* chain) {
    *chain = true;
    const bool outsideToggle = !toggleMode;
    switch (message) {
    case WM_ERASEBKGND:
        *chain = false;
        return 1;
    case WM_SETCURSOR:
        if ((stateBits & LeftButtonDownBit) ||
            (region && PtInRegion(region, lastMouseX, lastMouseY))) {
            SetCursor(cursor);
            *chain = false;
        }
        return 0;
    case WM_MOUSEMOVE:
        if (outsideToggle && imageOver != NoImage) {
            SetTimer(hWnd, HoverTimerId, HoverPeriodMs, nullptr);
            HoverCheck();
        }
        lastMouseX = GET_X_LPARAM(lParam);
        lastMouseY = GET_Y_LPARAM(lParam);
        return 0;
    case WM_TIMER:
        if (wParam == HoverTimerId && !HoverCheck())
            *chain = false;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (locked) {
            *chain = false;
            return 0;
        }
        if (outsideToggle) {
            stateBits |= LeftButtonDownBit;
            pressed = true;
            lastMouseX = GET_X_LPARAM(lParam);
            lastMouseY = GET_Y_LPARAM(lParam);
            if (notifyOnPress)
                PostMessageA(GetParent(hWnd), WM_ACTBUTTON_PRESSED,
                             static_cast<WPARAM>(GetDlgCtrlID(hWnd)), message == WM_RBUTTONDOWN ? 1 : 0);
        }
        return 0;
    case WM_LBUTTONDBLCLK:
        if (locked) {
            *chain = false;
            return 0;
        }
        if (outsideToggle && notifyOnPress)
            PostMessageA(GetParent(hWnd), WM_ACTBUTTON_PRESSED, static_cast<WPARAM>(GetDlgCtrlID(hWnd)), 0);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (locked) {
            *chain = false;
            return 0;
        }
        if (outsideToggle) {
            stateBits &= ~LeftButtonDownBit;
            pressed = false;
        }
        return 0;
    case WM_DESTROY:
        KillTimer(hWnd, HoverTimerId);
        if (hasTooltip)
            AttachToolTip(hWnd, nullptr);
        hasTooltip = false;
        ReleaseResources();
        return 0;
    default:
        return 0;
    }
}

LRESULT CActButton::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* button = BoundObject<CActButton>(window, message, lParam);
    if (!button)
        return CallWindowProcA(systemProcedure, window, message, wParam, lParam);
    if (message == WM_CREATE)
        button->OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam));
    bool chain = true;
    const LRESULT result = button->OnMessage(message, wParam, lParam, &chain);
    if (message == WM_NCDESTROY)
        UnbindWindow(window);
    if (!chain)
        return result;
    return CallWindowProcA(systemProcedure, window, message, wParam, lParam);
}
