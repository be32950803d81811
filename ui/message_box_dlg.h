#pragma once
// The skinned message box: an OK box, a Yes/No question, and a box with an
// extra button that opens a folder (the caption) in the file manager.

#include <string>

#include "platform/message_box.h"
#include "ui/act_button.h"
#include "ui/memory_dc.h"
#include "ui/wnd.h"

inline constexpr int MessageBoxTemplateId = 140;
inline constexpr UINT MessageBoxOpenFolder = 0x80000000u;
inline constexpr int IDOPEN = 128;
inline constexpr std::size_t MessageTextLimit = 1024;

class CMessageBoxDlg : public CWndEx {
public:
    CMessageBoxDlg() = default;
    ~CMessageBoxDlg() override;

    CActButton okButton;
    CActButton yesButton;
    CActButton noButton;
    CActButton openButton;
    CActButton spareButton;
    std::wstring text;
    std::wstring caption;
    std::string captionText;  // the same, UTF-8, for the window title
    UINT style = 0;
    TMemoryDC background;

    static INT_PTR DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool IsYesNo() const { return (style & ~MessageBoxOpenFolder) == 4; }
    void OnInit();
    void PaintBackground(HDC reference, int width, int height);
    void MakeButtons();
    bool OnCommand(int id);
    void Paint(HDC dc);
};

// The box's dialog template (id 140); ShowMessageBox registers it itself.
void RegisterMessageBoxTemplate();
// Runs the box modally over `owner` (texts UTF-8; caption may be null) and
// answers IDOK, IDCANCEL, IDYES, IDNO or IDOPEN.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style);
