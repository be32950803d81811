#pragma once
// The slider of the interface, painted from the slider atlas: an integer
// range, mouse drag and keys, and posted notifications to the parent
// (wParam = control id, lParam = the position clamped to the range).

#include "ui/image_atlas.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr UINT WM_SLIDER_CHANGING = 2256;
inline constexpr UINT WM_SLIDER_SET = 2257;
inline constexpr UINT WM_SLIDER_PRESSED = 2258;
inline constexpr const char* SliderClass = "CSliderBarEx";

class CSliderBarEx : public CWndEx {
public:
    CSliderBarEx() = default;
    ~CSliderBarEx() override;

    bool Create(UINT thumbId, UINT pressedThumbId, UINT thumbId3, UINT thumbId4, UINT offId,
                UINT onId, const RECT& rect, HWND parent, int controlId, const char* tooltipText,
                TImageAtlas* sliderAtlas = nullptr);

    // The thumb centre of a position, along the slider's axis.
    int CentreOfPosition(int value) const;
    // The position a thumb centre stands for (not clamped).
    int PositionOfCentre(int centre) const;
    int ClampedPosition() const;

    int maxValue = 100;
    int minValue = 1;
    int position = 1;
    int pageStep = 20;
    int clientWidth = 0;
    int clientHeight = 0;
    int thumbWidth = 0;
    int thumbHeight = 0;
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    int capLength = 0;
    bool pressedThumb = true;
    int grabOffset = 0;
    bool hasTooltip = false;
    bool vertical = false;
    bool dragging = false;
    bool hasFocus = false;
    bool showFocus = true;
    bool enabled = true;
    DWORD lastNotifyTick = 0;
    bool throttle = false;
    UINT thumbIds[4] = {};
    UINT offId = 0;
    UINT onId = 0;
    TImageAtlas* atlas = nullptr;
    TMemoryDC composition;

private:
    static LRESULT WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    void OnLButtonDown(int x, int y);
    void DragTo(int x, int y);
    void OnKey(WPARAM key);
    void Notify(UINT message);
    void Compose(HDC target);
    void DrawTrack(HDC dc, int centre);
    void DrawPiece(HDC dc, UINT id, int x, int y, int width, int height, bool fromEnd, int cap);
};
