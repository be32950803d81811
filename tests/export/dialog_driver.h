#pragma once
// Acts on a modal dialog while its loop runs: each step runs on one tick of
// a driver window's timer, once the dialog is up. A skinned message box
// that comes up meanwhile is noted and answered instead: Open where it
// offers that, OK otherwise. The ticks only put the steps in order;
// nothing waits on them for a time.

#include <functional>
#include <string>
#include <vector>

#include "platform/windows.h"

// A skinned message box the driver answered.
struct TAnsweredBox {
    std::wstring text;
    // The folder its Open button shows; empty when it has none.
    std::wstring folder;

    bool operator==(const TAnsweredBox&) const = default;
};

class TDialogDriver {
public:
    using TFind = std::function<HWND()>;
    using TStep = std::function<void(HWND)>;

    TDialogDriver();
    ~TDialogDriver();
    TDialogDriver(const TDialogDriver&) = delete;
    TDialogDriver& operator=(const TDialogDriver&) = delete;

    // Starts ticking afresh; the modal call follows.
    void Drive(TFind find, std::vector<TStep> steps);
    // How many steps ran before the dialog went.
    std::size_t StepsRun() const { return m_next; }
    const std::vector<TAnsweredBox>& AnsweredBoxes() const { return m_boxes; }

private:
    static LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Tick();
    // False when no skinned message box is up.
    bool AnswerBox();

    HWND m_window = nullptr;
    TFind m_find;
    std::vector<TStep> m_steps;
    std::size_t m_next = 0;
    std::vector<TAnsweredBox> m_boxes;
};

// The shown dialog titled `title`, or the first dialog at all.
HWND FindDialog(const char* title = nullptr);
// The text a window's title holds.
std::string TitleOf(HWND window);
// A step that posts the command, so that whatever it starts (a split, a
// message box) runs from the dialog's own loop rather than inside the tick.
TDialogDriver::TStep Press(int id);
