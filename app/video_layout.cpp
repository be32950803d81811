#include "app/video_layout.h"

#include <algorithm>

namespace {

RECT Usable(const RECT& half) {
    return RECT{half.left, half.top + kLabelHeight, half.right, half.bottom - kVideoBottomMargin};
}

TChannelPlace PlaceIn(const RECT& half) {
    TChannelPlace place;
    place.picture = FitWidePicture(Usable(half));
    place.label = RECT{place.picture.left, place.picture.top - kLabelHeight,
                       place.picture.left + kLabelWidth, place.picture.top};
    return place;
}

} // namespace

RECT FitWidePicture(const RECT& usable) {
    const int width = std::max(0, static_cast<int>(usable.right - usable.left));
    const int height = std::max(0, static_cast<int>(usable.bottom - usable.top));
    const double scale = std::min(static_cast<double>(width) / kWidePictureWidth,
                                  static_cast<double>(height) / kWidePictureHeight);
    const int pictureHeight = static_cast<int>(scale * kWidePictureHeight + 0.5);
    const int pictureWidth = static_cast<int>(scale * kWidePictureWidth + 0.5);
    const int left = usable.left + (width - pictureWidth) / 2;
    const int top = usable.top + (height - pictureHeight) / 2;
    return RECT{left, top, left + pictureWidth, top + pictureHeight};
}

TVideoLayout LayOutChannels(const RECT& videoArea, TChannelMode mode) {
    TVideoLayout layout;
    if (mode == TChannelMode::One) {
        layout.front = PlaceIn(videoArea);
        layout.rear = layout.front;
        return layout;
    }
    const int halfWidth = (videoArea.right - videoArea.left) / 2 - 1;
    const RECT left{videoArea.left, videoArea.top, videoArea.left + halfWidth, videoArea.bottom};
    const RECT right{left.right + kChannelGap, videoArea.top, videoArea.right, videoArea.bottom};
    layout.front = PlaceIn(left);
    layout.rear = PlaceIn(right);
    return layout;
}

TDisplayState NextDisplayState(TDisplayState state) {
    switch (state) {
    case TDisplayState::Normal:
        return TDisplayState::Enlarged;
    case TDisplayState::Enlarged:
        return TDisplayState::FullScreen;
    case TDisplayState::FullScreen:
        return TDisplayState::Normal;
    }
    return TDisplayState::Normal;
}

bool TDoubleClickGate::Accept(DWORD tick) {
    // Unsigned subtraction measures across a wrap of the tick count.
    if (m_accepted && tick - m_lastTick < kDoubleClickGapMs)
        return false;
    m_accepted = true;
    m_lastTick = tick;
    return true;
}
