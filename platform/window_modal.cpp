#include "platform/window_modal.h"

#include <QApplication>
#include <QDialog>

#include <algorithm>
#include <vector>

#include "platform/window_internal.h"

namespace {

std::vector<TModalLoop*>& ActiveLoops() {
    static std::vector<TModalLoop*> loops;
    return loops;
}

} // namespace

TModalLoop::TModalLoop() {
    ActiveLoops().push_back(this);
}

TModalLoop::~TModalLoop() {
    auto& loops = ActiveLoops();
    loops.erase(std::remove(loops.begin(), loops.end(), this), loops.end());
}

bool TModalLoop::Run() {
    if (QuitPosted())
        return false;
    m_loop.exec();
    return !m_endedByQuit;
}

void TModalLoop::Quit() {
    m_loop.quit();
}

bool QuitPosted() {
    return TakeQuitMessage(nullptr, false);
}

void EndModalLoopsForQuit() {
    for (TModalLoop* loop : ActiveLoops()) {
        loop->m_endedByQuit = true;
        loop->m_loop.quit();
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    }
}
