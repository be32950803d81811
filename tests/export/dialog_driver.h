#pragma once
// Acts on a modal dialog while its loop runs: each step runs on one tick of
// a driver window's timer, once the dialog is up. The ticks only put the
// steps in order; nothing waits on them for a time.

#include <functional>
#include <vector>

#include "platform/windows.h"

class TDialogDriver {
public:
    using TFind = std::function<HWND()>;
    using TStep = std::function<void(HWND)>;

    TDialogDriver();
    ~TDialogDriver();
    TDialogDriver(const TDialogDriver&) = delete;
    TDialogDriver& operator=(const TDialogDriver&) = delete;

    // Starts ticking; the modal call follows.
    void Drive(TFind find, std::vector<TStep> steps);
    // How many steps ran before the dialog went.
    std::size_t StepsRun() const { return m_next; }

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();

    HWND m_window = nullptr;
    TFind m_find;
    std::vector<TStep> m_steps;
    std::size_t m_next = 0;
};

// The dialog window titled `title`, or the first dialog at all.
HWND FindDialog(const char* title = nullptr);
// The text a window's title holds.
std::string TitleOf(HWND window);
