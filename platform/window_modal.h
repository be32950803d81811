#pragma once
// Nested event loops run by the window layer (modal dialogs, the move
// loop). PostQuitMessage ends them all, so the outer message loop sees the
// quit as a Win32 modal loop would pass it on.

#include <QEventLoop>

class TModalLoop {
public:
    TModalLoop();
    ~TModalLoop();
    TModalLoop(const TModalLoop&) = delete;
    TModalLoop& operator=(const TModalLoop&) = delete;

    // Runs until Quit (or a quit message); false when ended by the quit.
    bool Run();
    void Quit();

private:
    QEventLoop m_loop;
    bool m_endedByQuit = false;
    friend void EndModalLoopsForQuit();
};

// Ends the window layer's loops and rejects Qt's own dialogs that are up
// (message boxes, file and print dialogs), which run loops of their own.
void EndModalLoopsForQuit();
bool QuitPosted();
