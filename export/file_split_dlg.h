#pragma once
// The file split dialog: the user picks a two-camera recording and a target
// folder, and OK splits the one into the other (clip_split.h), then says in
// the skinned message box whether it worked.

#include <string>

#include "ui/act_button.h"
#include "ui/skinned_dlg.h"

inline constexpr int FileSplitTemplateId = 148;
inline constexpr int IDC_SPLIT_PICK_SOURCE = 1001;
inline constexpr int IDC_SPLIT_PICK_TARGET = 1002;
inline constexpr int IDC_SPLIT_CLOSE = 1003;

// Modal (DoModal) it answers IDOK once a split succeeded, IDCANCEL when it
// was closed without one.
class CFileSplitDlg : public CSkinnedDlg {
public:
    CFileSplitDlg(std::string source, std::string target);
    ~CFileSplitDlg() override { DestroyOwnWindow(); }

    const std::string& Source() const { return m_source; }
    const std::string& Target() const { return m_target; }

private:
    void OnInit() override;
    void Layout(HDC reference);
    void PaintBackground(HDC reference);
    void MakeButtons(HDC reference);
    void Paint(HDC dc) override;
    void DrawPath(HDC dc, const std::string& path, const RECT& box);
    bool OnCommand(int id) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void PickSource();
    void PickTarget();
    void RunSplit();

    std::string m_source;
    std::string m_target;
    CActButton m_okButton;
    CActButton m_cancelButton;
    CActButton m_closeButton;
    CActButton m_sourceButton;
    CActButton m_targetButton;
    // Laid out at WM_INITDIALOG from the captions of the current language.
    int m_captionWidth = 0;
    RECT m_sourceBox{};
    RECT m_targetBox{};
};

// The dialog as the split command opens it: the source preset to the open
// recording (empty when none), the target to the split path preference.
INT_PTR ShowFileSplitDialog(HWND owner, const std::string& openRecording);
