#pragma once
// The user interface application: made once, on the main thread, before any
// window. While it lives, GetMessageA/PeekMessageA on the main thread run its
// event loop, and other threads' PostMessageA and CallOnMainThread reach it.

#include <memory>

class TApplication {
public:
    // Sets the attributes that must precede the application (native widget
    // siblings stay off, so native video windows and a web view can be
    // neighbours), then makes it.
    TApplication(int& argc, char** argv);
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

private:
    struct TImpl;
    std::unique_ptr<TImpl> m_impl;
};

// Whether a user interface application exists (the command-line tools run
// without one).
bool ApplicationRunning();
