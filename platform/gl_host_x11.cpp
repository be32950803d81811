// The Xlib half of hosting a view's window. Xlib's macros (None, Bool,
// KeyPress, ...) clash with Qt's names, so no Qt header comes in here.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>

#include "platform/gl_host.h"

namespace {

// The events that make a window the receiver of the pointer and keyboard.
// Without them the server hands presses, releases and motion to the nearest
// ancestor that asked for them: the video window.
constexpr long kInputEventMask = KeyPressMask | KeyReleaseMask | ButtonPressMask |
                                 ButtonReleaseMask | PointerMotionMask | PointerMotionHintMask |
                                 ButtonMotionMask | Button1MotionMask | Button2MotionMask |
                                 Button3MotionMask | Button4MotionMask | Button5MotionMask;

Display* AsDisplay(TNativeDisplay display) {
    return static_cast<Display*>(display);
}

int LogXError(Display* display, XErrorEvent* error) {
    char text[256] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "X error: %s (request %d.%d, resource 0x%lx)\n", text, error->request_code,
                 error->minor_code, error->resourceid);
    return 0;
}

std::uint32_t ChannelOf(unsigned long pixel, unsigned long mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!(mask & 1ul)) {
        mask >>= 1;
        ++shift;
    }
    const unsigned long value = (pixel >> shift) & mask;
    return static_cast<std::uint32_t>(value * 255ul / mask);
}

} // namespace

bool EmbedHostedWindow(TNativeDisplay display, TNativeWindow child, TNativeWindow parent) {
    Display* x = AsDisplay(display);
    if (!x || !child || !parent)
        return false;
    XReparentWindow(x, child, parent, 0, 0);
    XFlush(x);
    return true;
}

bool DropInputEvents(TNativeDisplay display, TNativeWindow window) {
    Display* x = AsDisplay(display);
    if (!x || !window)
        return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, window, &attributes))
        return false;
    XSelectInput(x, window, attributes.your_event_mask & ~kInputEventMask);
    XFlush(x);
    return true;
}

void MapHostedWindow(TNativeDisplay display, TNativeWindow window) {
    if (Display* x = AsDisplay(display); x && window) {
        XMapWindow(x, window);
        XFlush(x);
    }
}

void UnmapHostedWindow(TNativeDisplay display, TNativeWindow window) {
    if (Display* x = AsDisplay(display); x && window) {
        XUnmapWindow(x, window);
        XFlush(x);
    }
}

void ResizeHostedWindow(TNativeDisplay display, TNativeWindow window, int width, int height) {
    Display* x = AsDisplay(display);
    // X refuses a zero size with BadValue.
    if (!x || !window || width <= 0 || height <= 0)
        return;
    XResizeWindow(x, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(x);
}

void InstallXErrorLogger() {
    XSetErrorHandler(LogXError);
}

bool ReadScreenPixels(TNativeDisplay display, int left, int top, int width, int height,
                      std::vector<std::uint32_t>* pixels) {
    Display* x = AsDisplay(display);
    if (!x || !pixels || width <= 0 || height <= 0 || left < 0 || top < 0)
        return false;
    const int screen = DefaultScreen(x);
    if (left + width > DisplayWidth(x, screen) || top + height > DisplayHeight(x, screen))
        return false;
    // Whatever the views' connection still holds must reach the server
    // before the screen is read.
    XSync(x, False);
    XImage* image = XGetImage(x, RootWindow(x, screen), left, top, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return false;
    pixels->assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const unsigned long pixel = XGetPixel(image, column, row);
            const std::uint32_t red = ChannelOf(pixel, image->red_mask);
            const std::uint32_t green = ChannelOf(pixel, image->green_mask);
            const std::uint32_t blue = ChannelOf(pixel, image->blue_mask);
            (*pixels)[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(column)] =
                0xFF000000u | (red << 16) | (green << 8) | blue;
        }
    }
    XDestroyImage(image);
    return true;
}
