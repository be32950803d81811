#pragma once
// The video area's arithmetic: where the one or two pictures and their
// labels go, how a window's display state advances, and which double
// clicks count.

#include "platform/windows.h"

inline constexpr int kLabelWidth = 256;
inline constexpr int kLabelHeight = 20;
// Below each picture, so the pictures do not touch the position band.
inline constexpr int kVideoBottomMargin = 8;
// Between the two halves of a two-channel layout.
inline constexpr int kChannelGap = 2;
// The camera's picture shape.
inline constexpr int kWidePictureWidth = 1920;
inline constexpr int kWidePictureHeight = 1080;
// A second double click sooner than this after an accepted one is ignored.
inline constexpr DWORD kDoubleClickGapMs = 500;

enum class TChannelMode { One = 1, Two = 2 };

// The largest 16:9 rectangle centred in `usable` (halves rounded toward zero).
RECT FitWidePicture(const RECT& usable);

struct TChannelPlace {
    RECT picture;
    RECT label;
};
struct TVideoLayout {
    TChannelPlace front;
    TChannelPlace rear; // the same as the front in one-channel mode
};
// One channel takes the whole area; two share it, the front on the left.
// Each leaves room for its label above and a margin below.
TVideoLayout LayOutChannels(const RECT& videoArea, TChannelMode mode);

// Normal, enlarged to the whole video area, full screen, then normal again.
enum class TDisplayState { Normal = 0, Enlarged = 1, FullScreen = 2 };
TDisplayState NextDisplayState(TDisplayState state);

// Accepts a double click unless it comes within kDoubleClickGapMs of the
// last accepted one. Ticks are milliseconds that may wrap.
class TDoubleClickGate {
public:
    bool Accept(DWORD tick);

private:
    bool m_accepted = false;
    DWORD m_lastTick = 0;
};
