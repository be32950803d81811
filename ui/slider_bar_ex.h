#pragma once
// The slider of the interface, painted from the slider atlas: an integer
// range, mouse drag and keys, and posted notifications to the parent
// (wParam = control id, lParam = the position clamped to the range).

#include "ui/image_atlas.h"
#include "ui/memory_dc.h"
#include "ui/memory_dc_man.h"
#include "ui/wnd.h"

inline constexpr UINT WM_SLIDER_CHANGING = 2256;
inline constexpr UINT WM_SLIDER_SET = 2257;
inline constexpr UINT WM_SLIDER_PRESSED = 2258;
inline constexpr const char* SliderClass = "CSliderBarEx";

// The slider atlas pictures of one kind of slider.
struct TSliderLook {
    UINT thumbId;
    UINT pressedThumbId; // shown while dragging
    UINT offId;
    UINT onId;
};
inline constexpr TSliderLook LargeSliderLook{SliderThumbId, SliderThumbId, SliderBarOffId,
                                             SliderBarOnId};
inline constexpr TSliderLook SmallSliderLook{SliderThumbSmallId, SliderThumbSmallId,
                                             SliderBarOffSmallId, SliderBarOnSmallId};
inline constexpr TSliderLook ViewerSliderLook{ViewerSliderThumbId, ViewerSliderThumbId,
                                              ViewerSliderBarOffId, ViewerSliderBarOnId};
inline constexpr TSliderLook CameraSliderLook{CameraSliderThumbId, CameraSliderThumbId,
                                              CameraSliderBarOffId, CameraSliderBarOnId};

enum class TOrientation { Horizontal, Vertical };
// A drag reports every step, or none closer to the last than a double click.
enum class TDragReports { Every, Throttled };
// Whether the owner's own change of the position is reported like the user's.
enum class TSliderNotify { Quiet, Set };

struct TSliderOptions {
    HWND parent = nullptr;
    RECT rect{};
    int controlId = 0;
    TSliderLook look = LargeSliderLook;
    const char* tooltip = nullptr;
    TImageAtlas* atlas = nullptr; // null: the shared slider atlas
    // A vertical slider's value grows upwards.
    TOrientation orientation = TOrientation::Horizontal;
    // Pixels at the ends of the track that the thumb stays out of.
    int marginLeft = 0;
    int marginRight = 0;
    int marginTop = 0;
    int marginBottom = 0;
    // Ends of the track pictures copied unscaled.
    int capLength = 0;
    bool showFocus = true;
    TDragReports dragReports = TDragReports::Every;
};

class CSliderBarEx : public CWndEx {
public:
    CSliderBarEx() = default;
    ~CSliderBarEx() override;

    bool Create(const TSliderOptions& options);

    // The range is ordered and the position kept inside it; a change is
    // repainted.
    void SetRange(int minimum, int maximum);
    // Clamped to the range. Only a real change repaints, and with `notify`
    // is posted as the position-set notification.
    void SetPosition(int value, TSliderNotify notify = TSliderNotify::Quiet);
    void SetPageStep(int step);
    // A disabled slider shows its off track only and ignores mouse and keys.
    void SetEnabled(bool enabled);

    int MinValue() const { return m_minValue; }
    int MaxValue() const { return m_maxValue; }
    // A drag past the end of a track may leave it outside the range; what
    // is reported is always clamped.
    int Position() const { return m_position; }
    int PageStep() const { return m_pageStep; }
    bool Enabled() const { return m_enabled; }

    // The thumb centre of a position, along the slider's axis.
    int CentreOfPosition(int value) const;
    // The position a thumb centre stands for (not clamped).
    int PositionOfCentre(int centre) const;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    bool Vertical() const { return m_options.orientation == TOrientation::Vertical; }
    int ClampedPosition() const;
    void Repaint();
    void OnLButtonDown(int x, int y);
    void DragTo(int x, int y);
    void OnKey(WPARAM key);
    void Notify(UINT message);
    void Compose(HDC target);
    // Which part of a track picture is drawn: the piece beside the thumb
    // without its cap at the slider's end, or that cap unscaled.
    enum class TTrackPart { WithoutStartCap, WithoutEndCap, StartCap, EndCap };
    // A stretch `size` long from `from` along the axis, across the slider.
    RECT Across(int from, int size) const;
    void DrawPiece(HDC dc, const RECT& target, UINT id, TTrackPart part) const;
    void DrawTrack(HDC dc, int centre) const;

    TSliderOptions m_options;
    TImageAtlas* m_atlas = nullptr;
    int m_maxValue = 100;
    int m_minValue = 1;
    int m_position = 1;
    int m_pageStep = 20;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    int m_thumbWidth = 0;
    int m_thumbHeight = 0;
    int m_grabOffset = 0;
    bool m_hasTooltip = false;
    bool m_dragging = false;
    bool m_hasFocus = false;
    bool m_enabled = true;
    DWORD m_lastNotifyTick = 0;
    TMemoryDC m_composition;
};
