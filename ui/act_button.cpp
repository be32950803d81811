#include "ui/act_button.h"

#include "language/wide_text.h"
#include "platform/cursor.h"
#include "platform/tooltip.h"

namespace {

constexpr int CaptionHeight = 12;
constexpr const char* CaptionFace = "굴림";
constexpr std::size_t CaptionLimit = 256;
constexpr int CellsPerStrip = 4;

// Stores a value that differs from the field's; false when it is the same.
template <class T> bool Assign(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

// The system BUTTON procedure that the button class chains to.
WNDPROC g_buttonProcedure = nullptr;

HFONT MakeCaptionFont(int weight) {
    return CreateFontA(CaptionHeight, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       CaptionFace);
}

} // namespace

CActButton::~CActButton() {
    DestroyOwnWindow();
    ReleaseResources();
}

LRESULT CActButton::ChainToButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_buttonProcedure, window, message, wParam, lParam);
}

LRESULT CActButton::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return RouteWindowMessage(window, message, wParam, lParam, ChainToButton);
}

bool CActButton::RegisterButtonClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA existing;
    if (GetClassInfoExA(instance, ActButtonClass, &existing))
        return true;
    WNDCLASSEXA button;
    if (!GetClassInfoExA(instance, "BUTTON", &button))
        return false;
    g_buttonProcedure = button.lpfnWndProc;
    button.lpfnWndProc = WindowProcedure;
    button.lpszClassName = ActButtonClass;
    button.hInstance = instance;
    return RegisterClassExA(&button) != 0;
}

bool CActButton::Create(const TActButtonOptions& options) {
    m_shape = options.shape;
    m_cursor = options.cursor;
    if (options.font) {
        m_font = options.font;
        m_ownsFont = false;
    }
    SIZE size = options.size;
    if (const TAtlasFaces& faces = options.faces; faces.atlas) {
        const RECT* normal = faces.atlas->Find(faces.normal);
        if (!normal)
            return false;
        m_imageAtlas = faces.atlas;
        m_imageNormal = static_cast<LONG>(faces.normal);
        m_imagePressed = static_cast<LONG>(faces.pressed);
        m_imageOver = static_cast<LONG>(faces.over);
        m_imageDisabled = static_cast<LONG>(faces.disabled);
        size = SIZE{normal->right - normal->left, normal->bottom - normal->top};
    } else if (!LoadPictures(options)) {
        return false;
    }
    SetCaption(options.caption);
    if (!RegisterButtonClass())
        return false;
    SetClassName(ActButtonClass);
    const RECT rect{options.position.x, options.position.y, options.position.x + size.cx,
                    options.position.y + size.cy};
    if (!CreateBoundWindow(this, options.style, rect, options.parent, options.controlId))
        return false;
    if (options.tooltip)
        m_hasTooltip = AttachToolTip(hWnd, options.tooltip) != FALSE;
    return true;
}

bool CActButton::LoadPictures(const TActButtonOptions& options) {
    const SIZE size = options.size;
    HDC screen = options.reference ? nullptr : GetDC(nullptr);
    HDC reference = options.reference ? options.reference : screen;
    TMemoryDC scratch;
    bool ok = scratch.Prepare(reference, size.cx, size.cy);
    if (ok)
        m_imageManager = std::make_unique<CMemoryDCMan>(CellsPerStrip, size.cx, size.cy);
    const char* paths[4] = {options.normalPath, options.pressedPath, options.overPath,
                            options.disabledPath};
    LONG* handles[4] = {&m_imageNormal, &m_imagePressed, &m_imageOver, &m_imageDisabled};
    for (int i = 0; ok && i < 4; ++i) {
        if (!paths[i])
            continue;
        const std::string path = ResolveSkinPath(paths[i]);
        if (!options.background)
            FillSolid(scratch.dc, RECT{0, 0, size.cx, size.cy}, RGB(0, 0, 0));
        ok = DrawImageFileOver(scratch, options.background, options.position.x, options.position.y,
                               size.cx, size.cy, path.c_str()) &&
             // The same path gives the same key, so a picture named twice is stored once.
             m_imageManager->AddImage(reference, scratch.dc, scratch.bitmap,
                                      RegisterWindowMessageA(path.c_str()), handles[i]);
    }
    scratch.Release();
    if (screen)
        ReleaseDC(nullptr, screen);
    return ok;
}

void CActButton::Repaint() {
    if (hWnd)
        InvalidateRect(hWnd, nullptr, FALSE);
}

void CActButton::SetCaption(const char* text) {
    m_caption = text ? text : "";
    if (hWnd)
        MakeFonts();
    Repaint();
}

void CActButton::SetTextColour(COLORREF colour) {
    if (Assign(m_textColour, colour))
        Repaint();
}

void CActButton::SetToggleMode(bool toggle) {
    if (!Assign(m_toggleMode, toggle))
        return;
    if (hWnd)
        MakeFonts();
    Repaint();
}

void CActButton::SetChecked(bool checked) {
    if (Assign(m_checked, checked))
        Repaint();
}

void CActButton::SetLocked(bool locked) {
    if (Assign(m_locked, locked))
        Repaint();
}

void CActButton::MakeFonts() {
    if (!m_caption.empty() && !m_font) {
        m_font = MakeCaptionFont(FW_NORMAL);
        m_ownsFont = true;
    }
    if (m_toggleMode && !m_boldFont)
        m_boldFont = MakeCaptionFont(FW_BOLD);
}

void CActButton::OnCreate(const CREATESTRUCTA* create) {
    if (!m_cursor)
        m_cursor = LoadCursorA(nullptr, IDC_ARROW);
    BuildRegion(create->cx, create->cy);
    if (m_region) {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, m_region, nullptr, RGN_COPY);
        SetWindowRgn(hWnd, copy, TRUE);
    }
    MakeFonts();
}

void CActButton::BuildRegion(int width, int height) {
    if (m_shape == ShapeNone)
        return;
    if (m_shape == ShapeEllipse) {
        m_region = CreateEllipticRgn(0, 0, width + 1, height + 1);
        return;
    }
    if (m_shape == ShapeFromImage) {
        if (!m_imageAtlas)
            return;
        HDC windowDc = GetDC(hWnd);
        TMemoryDC scratch;
        if (scratch.Prepare(windowDc, width, height)) {
            RECT whole{0, 0, width, height};
            m_imageAtlas->Draw(scratch.dc, &whole, static_cast<UINT>(m_imageNormal));
            m_region = BuildRegionFromBitmap(scratch.dc, scratch.bitmap);
        }
        scratch.Release();
        ReleaseDC(hWnd, windowDc);
        return;
    }
    m_region = CreateRoundRectRgn(0, 0, width + 1, height + 1, m_shape, m_shape);
}

LONG CActButton::ImageOfState(int state) const {
    const LONG images[4] = {m_imageNormal, m_imagePressed, m_imageOver, m_imageDisabled};
    const LONG chosen = images[state & 3];
    return chosen == NoImage ? m_imageNormal : chosen;
}

void CActButton::DrawItem(DRAWITEMSTRUCT* item) {
    if (!item)
        return;
    m_itemRect = item->rcItem;
    int state = StateNormal;
    if (m_toggleMode)
        state = m_checked ? StatePressed : StateNormal;
    else if (IsWindowEnabled(hWnd) && !m_locked)
        state = (item->itemState & ODS_SELECTED) ? StatePressed : StateNormal;
    else
        state = StateDisabled;
    PaintState(state);
}

void CActButton::PaintState(int state) {
    if (!hWnd)
        return;
    if (m_itemRect.right <= m_itemRect.left)
        GetClientRect(hWnd, &m_itemRect);
    HDC dc = GetDC(hWnd);
    if (m_region)
        SelectClipRgn(dc, m_region);
    const LONG image = ImageOfState(state);
    if (image != NoImage) {
        if (m_imageAtlas) {
            m_imageAtlas->Draw(dc, &m_itemRect, static_cast<UINT>(image));
        } else if (m_imageManager) {
            HDC cellDc = nullptr;
            int cellX = 0;
            if (m_imageManager->Resolve(image, &cellDc, &cellX)) {
                const int width = m_itemRect.right - m_itemRect.left;
                const int height = m_itemRect.bottom - m_itemRect.top;
                const bool stretch =
                    width != m_imageManager->cellWidth || height != m_imageManager->cellHeight;
                if (stretch)
                    StretchBlt(dc, m_itemRect.left, m_itemRect.top, width, height, cellDc, cellX, 0,
                               m_imageManager->cellWidth, m_imageManager->cellHeight, SRCCOPY);
                else
                    BitBlt(dc, m_itemRect.left, m_itemRect.top, width, height, cellDc, cellX, 0,
                           SRCCOPY);
            }
        }
        DrawCaption(dc);
    }
    SelectClipRgn(dc, nullptr);
    ReleaseDC(hWnd, dc);
}

void CActButton::DrawCaption(HDC dc) {
    if (m_caption.empty())
        return;
    SetBkMode(dc, TRANSPARENT);
    HFONT chosen = (m_toggleMode && m_checked && m_boldFont) ? m_boldFont : m_font;
    HGDIOBJ previous = chosen ? SelectObject(dc, chosen) : nullptr;
    const bool grey = !IsWindowEnabled(hWnd) || m_locked;
    SetTextColor(dc, grey ? GetSysColor(COLOR_GRAYTEXT) : m_textColour);
    std::wstring text = Utf8ToWide(m_caption);
    if (text.size() > CaptionLimit)
        text.resize(CaptionLimit);
    RECT box = m_itemRect;
    DrawTextW(dc, text.c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previous)
        SelectObject(dc, previous);
}

bool CActButton::HoverCheck() {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(hWnd, &point);
    if (!m_pressed && m_region && PtInRegion(m_region, point.x, point.y)) {
        if (!m_hovering) {
            PaintState(m_locked ? StateDisabled : StateOver);
            m_hovering = true;
        }
        return true;
    }
    KillTimer(hWnd, HoverTimerId);
    if (m_hovering && !m_pressed)
        Repaint();
    m_hovering = false;
    return false;
}

void CActButton::ReleaseResources() {
    m_imageManager.reset();
    m_caption.clear();
    if (m_boldFont)
        DeleteObject(m_boldFont);
    m_boldFont = nullptr;
    if (m_font && m_ownsFont)
        DeleteObject(m_font);
    m_font = nullptr;
    if (m_region)
        DeleteObject(m_region);
    m_region = nullptr;
}

void CActButton::OnPress(UINT message, LPARAM lParam) {
    m_pressed = true;
    m_lastMouseX = GET_X_LPARAM(lParam);
    m_lastMouseY = GET_Y_LPARAM(lParam);
    if (m_notifyOnPress)
        PostMessageA(GetParent(hWnd), WM_ACTBUTTON_PRESSED, static_cast<WPARAM>(GetDlgCtrlID(hWnd)),
                     message == WM_RBUTTONDOWN ? 1 : 0);
}

LRESULT CActButton::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    // Unless said otherwise the system button goes on with the message.
    *handled = false;
    const bool mouseButton = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
                             message == WM_LBUTTONDBLCLK || message == WM_LBUTTONUP ||
                             message == WM_RBUTTONUP;
    if (mouseButton && m_locked) {
        *handled = true;
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        OnCreate(reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    case WM_ERASEBKGND:
        *handled = true;
        return 1;
    case WM_ENABLE:
        // The disabled picture is a state of its own.
        Repaint();
        return 0;
    case WM_SETCURSOR:
        if (m_pressed || (m_region && PtInRegion(m_region, m_lastMouseX, m_lastMouseY))) {
            SetCursor(m_cursor);
            *handled = true;
        }
        return 0;
    case WM_MOUSEMOVE:
        if (!m_toggleMode && m_imageOver != NoImage) {
            SetTimer(hWnd, HoverTimerId, HoverPeriodMs, nullptr);
            HoverCheck();
        }
        m_lastMouseX = GET_X_LPARAM(lParam);
        m_lastMouseY = GET_Y_LPARAM(lParam);
        return 0;
    case WM_TIMER:
        if (wParam == HoverTimerId && !HoverCheck())
            *handled = true;
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (!m_toggleMode)
            OnPress(message, lParam);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (!m_toggleMode && m_notifyOnPress)
            PostMessageA(GetParent(hWnd), WM_ACTBUTTON_PRESSED,
                         static_cast<WPARAM>(GetDlgCtrlID(hWnd)), 0);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (!m_toggleMode)
            m_pressed = false;
        return 0;
    case WM_DESTROY:
        KillTimer(hWnd, HoverTimerId);
        if (m_hasTooltip)
            AttachToolTip(hWnd, nullptr);
        m_hasTooltip = false;
        ReleaseResources();
        return 0;
    default:
        return 0;
    }
}
