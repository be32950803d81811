#pragma once
// A Qt dialog over one of the program's windows, run modally. Destroying
// the owner while the dialog is up (the program ending on a termination
// signal) deletes the dialog with it, so the dialog lives on the heap and
// is touched only while it is still there.

#include <QDialog>
#include <QPointer>

#include <utility>

template <class TDialog> class TOwnedDialog {
public:
    template <class... TArguments>
    explicit TOwnedDialog(TArguments&&... arguments)
        : m_dialog(new TDialog(std::forward<TArguments>(arguments)...)) {}
    ~TOwnedDialog() { delete m_dialog.data(); }
    TOwnedDialog(const TOwnedDialog&) = delete;
    TOwnedDialog& operator=(const TOwnedDialog&) = delete;

    TDialog* get() const { return m_dialog.data(); }
    TDialog* operator->() const { return m_dialog.data(); }

    // Runs it; true when it was accepted and is still there to be read.
    bool RunAccepted() {
        const int result = m_dialog->exec();
        return m_dialog && result == QDialog::Accepted;
    }

private:
    QPointer<TDialog> m_dialog;
};
