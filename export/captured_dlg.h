#pragma once
// After a capture: where the pictures went, a button that opens that
// folder in the file manager, and a close by itself after five seconds.
// A capture that could not save its pictures says so instead.

#include <string>

#include "export/frame_capture.h"
#include "ui/act_button.h"
#include "ui/skinned_dlg.h"

inline constexpr int CapturedDialogTemplateId = 143;
inline constexpr int CapturedDialogWidth = 360;
inline constexpr int CapturedDialogHeight = 210;
inline constexpr int CapturedOpenButtonId = 1001;
inline constexpr UINT_PTR CapturedCloseTimer = 1;
inline constexpr UINT CapturedCloseDelayMs = 5000;

class CCapturedDlg : public CSkinnedDlg {
public:
    explicit CCapturedDlg(std::string capturePath);
    ~CCapturedDlg() override { DestroyOwnWindow(); }

    const std::string& CapturePath() const { return m_capturePath; }

private:
    void OnInit() override;
    void Paint(HDC dc) override;
    bool OnCommand(int id) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void Close(int result);

    std::string m_capturePath;
    CActButton m_openButton;
};

// Runs the dialog modally over `owner`; answers IDOK, or IDOPEN after
// opening the folder.
int ShowCapturedDialog(HWND owner, const std::string& capturePath);
// Tells the user how a capture went: the captured dialog when every
// picture was saved, the skinned message box with "message.image_save_error"
// when one was not. A cancelled print says nothing.
void ReportCapture(HWND owner, const TCaptureResult& result, const std::string& capturePath);
