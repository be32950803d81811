#pragma once
// The magnifier's arithmetic: where its marker may go and which part of the
// picture the pop-up shows, five times larger than the video window does.

#include "platform/windows.h"

inline constexpr int kMarkerSize = 50;
inline constexpr int kMagnification = 5;
inline constexpr int kMagnifierWidth = 400;
inline constexpr int kMagnifierHeight = 300;

// The marker's rectangle moved (not resized) so that it lies inside
// `videoWindow`; both in the same coordinates. A window smaller than the
// marker keeps the marker's top-left corner at its own.
RECT KeepMarkerInside(const RECT& marker, const RECT& videoWindow);

// The region of a frameSize picture shown in a popupClient pop-up for a
// marker at markerOffset (its top-left, relative to a video window of
// videoSize). Always inside the frame; empty when a size is empty.
RECT MagnifiedRegion(SIZE popupClient, SIZE videoSize, SIZE frameSize, POINT markerOffset);
