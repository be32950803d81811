#pragma once
// The skinned message box: an OK box, a Yes/No question, and a box with an
// extra button that opens a folder (the caption) in the file manager.

#include <string>

#include "platform/message_box.h"
#include "ui/act_button.h"
#include "ui/skinned_dlg.h"

inline constexpr int MessageBoxTemplateId = 140;
inline constexpr UINT MessageBoxOpenFolder = 0x80000000u;
inline constexpr int IDOPEN = 128;
inline constexpr std::size_t MessageTextLimit = 1024;

class CMessageBoxDlg : public CSkinnedDlg {
public:
    // Texts UTF-8; the caption may be null. With MessageBoxOpenFolder the
    // caption is the folder to open.
    CMessageBoxDlg(const char* text, const char* caption, UINT style);
    ~CMessageBoxDlg() override { DestroyOwnWindow(); }

    const std::wstring& Text() const { return m_text; }
    bool OffersOpenFolder() const { return (m_style & MessageBoxOpenFolder) != 0; }
    // The folder Open shows; empty without MessageBoxOpenFolder.
    std::wstring Folder() const { return OffersOpenFolder() ? m_caption : std::wstring(); }

private:
    bool IsYesNo() const { return (m_style & ~MessageBoxOpenFolder) == MB_YESNO; }
    void OnInit() override;
    void MakeButtons(HDC reference);
    bool OnCommand(int id) override;
    void Paint(HDC dc) override;

    CActButton m_okButton;
    CActButton m_yesButton;
    CActButton m_noButton;
    CActButton m_openButton;
    std::wstring m_text;
    std::wstring m_caption;
    std::string m_captionText; // the same, UTF-8, for the window title
    UINT m_style = 0;
};

// The box's dialog template (id 140); ShowMessageBox registers it itself.
void RegisterMessageBoxTemplate();
// Runs the box modally over `owner` (texts UTF-8; caption may be null) and
// answers IDOK, IDCANCEL, IDYES, IDNO or IDOPEN.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style);
