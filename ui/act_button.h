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

// Window shapes; any other value is the corner size of a rounded rectangle.
inline constexpr int ShapeEllipse = -1;
inline constexpr int ShapeFromImage = -2;
inline constexpr int ShapeNone = -3;

// The four state pictures of a button painted from an atlas.
struct TAtlasFaces {
    TImageAtlas* atlas = nullptr;
    UINT normal = 0;
    UINT pressed = 0;
    UINT over = 0;
    UINT disabled = 0;
};

struct TActButtonOptions {
    HWND parent = nullptr;
    int controlId = 0;
    POINT position{};
    // The pictures' size; a button from an atlas is as big as its normal picture.
    SIZE size{};
    // Picture files per state; null shows the normal one. Relative paths are
    // found in the resource folder.
    const char* normalPath = nullptr;
    const char* pressedPath = nullptr;
    const char* overPath = nullptr;
    const char* disabledPath = nullptr;
    // Instead of files: the pictures of an atlas.
    TAtlasFaces faces;
    // The surface under the button at `position`, which the pictures are
    // composited over (null: black), and the DC they are made compatible
    // with (null: the screen's).
    HDC background = nullptr;
    HDC reference = nullptr;
    const char* caption = nullptr;
    // Borrowed; null: the default caption face.
    HFONT font = nullptr;
    const char* tooltip = nullptr;
    int shape = 0;
    // Shown over the button; null: the arrow.
    HCURSOR cursor = nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
};

class CActButton : public CWndEx {
public:
    CActButton() = default;
    ~CActButton() override;

    // False when a picture file cannot be drawn or the window not made.
    bool Create(const TActButtonOptions& options);
    void DrawItem(DRAWITEMSTRUCT* item) override;
    void SetCaption(const char* text);
    void SetTextColour(COLORREF colour);
    // In toggle mode the pressed picture and a bold caption show exactly
    // while checked, whatever the mouse does.
    void SetToggleMode(bool toggle);
    void SetChecked(bool checked);
    // A locked button swallows clicks and looks disabled.
    void SetLocked(bool locked);
    // Posts WM_ACTBUTTON_PRESSED when a mouse button goes down.
    void SetNotifyOnPress(bool notify) { m_notifyOnPress = notify; }

    bool ToggleMode() const { return m_toggleMode; }
    bool Checked() const { return m_checked; }
    bool Locked() const { return m_locked; }

    // Paints one of the four states into the window now.
    void PaintState(int state);

private:
    static bool RegisterButtonClass();
    static LRESULT ChainToButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool LoadPictures(const TActButtonOptions& options);
    LONG ImageOfState(int state) const;
    void OnCreate(const CREATESTRUCTA* create);
    void BuildRegion(int width, int height);
    void MakeFonts();
    void Repaint();
    // True while the hover goes on.
    bool HoverCheck();
    void DrawCaption(HDC dc);
    void OnPress(UINT message, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void ReleaseResources();

    bool m_hovering = false;
    // A mouse button went down on the button and has not come up.
    bool m_pressed = false;
    std::string m_caption; // UTF-8; empty: none
    HFONT m_font = nullptr;
    bool m_ownsFont = false;
    HFONT m_boldFont = nullptr;
    LONG m_lastMouseX = 0;
    LONG m_lastMouseY = 0;
    LONG m_imageNormal = NoImage;
    LONG m_imagePressed = NoImage;
    LONG m_imageOver = NoImage;
    LONG m_imageDisabled = NoImage;
    RECT m_itemRect{};
    TImageAtlas* m_imageAtlas = nullptr;
    HRGN m_region = nullptr;
    int m_shape = 0;
    COLORREF m_textColour = GetSysColor(COLOR_BTNTEXT);
    HCURSOR m_cursor = nullptr;
    bool m_hasTooltip = false;
    bool m_notifyOnPress = false;
    bool m_toggleMode = false;
    bool m_checked = false;
    bool m_locked = false;
    std::unique_ptr<CMemoryDCMan> m_imageManager;
};
