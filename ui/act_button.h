#pragma once
// The one push button of the interface: a standard owner-drawn BUTTON whose
// four state pictures (normal, pressed, over, disabled) are composited once
// over the background they cover, with a 30 ms hover check, an optional
// caption, window region and tooltip, and the toggle, notify-on-press and
// locked modes. A click reaches the parent as the usual BN_CLICKED.

#include <memory>
#include <string>

#include "ui/image_atlas.h"
#include "ui/memory_dc_man.h"
#include "ui/wnd.h"

// Posted to the parent: wParam = control id, lParam = 1 for the right button.
inline constexpr UINT WM_ACTBUTTON_PRESSED = 2255;
inline constexpr UINT_PTR HoverTimerId = 1;
inline constexpr UINT HoverPeriodMs = 30;
inline constexpr const char* ActButtonClass = "ActButton";

enum ButtonState { StateNormal = 0, StatePressed = 1, StateOver = 2, StateDisabled = 3 };

// Window shapes.
inline constexpr int ShapeEllipse = -1;
inline constexpr int ShapeFromImage = -2;
inline constexpr int ShapeNone = -3;

class CActButton : public CWndEx {
public:
    CActButton() = default;
    ~CActButton() override;

    // Paths may be null (a missing state shows the normal picture); relative
    // paths are found in the resource folder. `background` (may be null)
    // is the surface under the button at `position`.
    bool Create(HDC reference, const char* normalPath, const char* pressedPath,
                const char* overPath, const char* disabledPath, const char* captionText,
                POINT position, SIZE size, HDC background, HWND parent, int controlId,
                const char* tooltipText);
    // Painted from atlas ids instead; sized as the normal id's rectangle.
    bool CreateFromAtlas(TImageAtlas* atlas, UINT normalId, UINT pressedId, UINT overId,
                         UINT disabledId, POINT position, HWND parent, int controlId, DWORD style);
    void DrawItem(DRAWITEMSTRUCT* item) override;
    // The font to use instead of the default one; `owns` hands it over.
    void SetFont(HFONT captionFont, bool owns);
    void SetCaption(const char* text);

    // Paints one of the four states into the window now.
    void PaintState(int state);

    bool stretch = false;
    bool hovering = false;
    bool pressed = false;
    std::unique_ptr<std::string> caption;
    HFONT font = nullptr;
    HFONT boldFont = nullptr;
    LONG lastMouseX = 0;
    LONG lastMouseY = 0;
    UINT stateBits = 0;
    UINT itemState = 0;
    LONG imageNormal = NoImage;
    LONG imagePressed = NoImage;
    LONG imageOver = NoImage;
    LONG imageDisabled = NoImage;
    RECT itemRect{};
    bool created = false;
    TImageAtlas* imageAtlas = nullptr;
    HRGN region = nullptr;
    int shape = 0;
    COLORREF textColour = GetSysColor(COLOR_BTNTEXT);
    HCURSOR cursor = nullptr;
    bool hasTooltip = false;
    BYTE notifyOnPress = 0;
    BYTE toggleMode = 0;
    BYTE checked = 0;
    BYTE locked = 0;
    bool ownsFont = false;
    std::unique_ptr<CMemoryDCMan> imageManager;

    // The procedure of the system BUTTON class, chained to.
    static WNDPROC systemProcedure;
    static LRESULT WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static bool RegisterButtonClass();
    bool CreateButtonWindow(POINT position, SIZE size, HWND parent, int controlId, DWORD style);
    LONG ImageOfState(int state) const;
    void OnCreate(const CREATESTRUCTA* create);
    void BuildRegion(int width, int height);
    void MakeFonts();
    // True while the hover goes on.
    bool HoverCheck();
    void DrawCaption(HDC dc);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* chain);
    void ReleaseResources();
};
