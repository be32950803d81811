#pragma once
// What a video stream needs of the surface that shows its pictures. The
// OpenGL view implements it; tests give the stream a stand-in.

#include "platform/win_types.h"

class IVideoView {
public:
    virtual ~IVideoView() = default;
    // Called under the stream's display lock, from the decoder thread or the
    // main thread.
    virtual void ShowView(HWND parent, int pictureWidth) = 0;
    virtual void HideView() = 0;
    virtual bool IsVisible() const = 0;
    // The size the view's window takes at the next ShowView.
    virtual void SetWindowSize(int width, int height) = 0;
    // The size the texture is first made at (full screen changes it).
    virtual void SetTextureSize(int width, int height) = 0;
};
