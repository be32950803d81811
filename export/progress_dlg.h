#pragma once
// The waiting window shown while a recording opens: a three-frame
// animation and "message.load_video". The player closes it by its title
// (posting kPlayerNotifyMessage with PlayerNotify::CloseProgressDialog);
// otherwise it gives up by itself after ten seconds. Enter and Escape do
// not close it.

#include "platform/windows.h"
#include "ui/memory_dc.h"
#include "ui/skinned_dlg.h"

inline constexpr int ProgressDialogTemplateId = 139;
inline constexpr int ProgressDialogWidth = 280;
inline constexpr int ProgressDialogHeight = 60;

// Its timers: the animation starts shortly after opening, each frame shows
// for a while, and the dialog gives up after a time.
inline constexpr UINT_PTR ProgressStartTimer = 0;
inline constexpr UINT_PTR ProgressFrameTimer = 1;
inline constexpr UINT_PTR ProgressGiveUpTimer = 2;
inline constexpr UINT ProgressStartDelayMs = 10;
inline constexpr UINT ProgressFramePeriodMs = 300;
inline constexpr UINT ProgressGiveUpMs = 10000;
inline constexpr int ProgressFrameCount = 3;

class CProgressDlg : public CSkinnedDlg {
public:
    // Modal dialogs end (EndDialog), modeless ones are destroyed.
    enum class TRunMode { Modal, Modeless };

    explicit CProgressDlg(TRunMode mode = TRunMode::Modal);
    ~CProgressDlg() override;

    int FrameIndex() const { return m_frame; }
    const RECT& AnimationRect() const { return m_animation; }

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void OnInit() override;
    bool LoadFrames(HDC reference);
    void DrawCaption(HDC dc, int width, int height);
    void Paint(HDC dc) override;
    bool OnCommand(int id) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void OnTimer(UINT_PTR id);
    // True when the command closes the dialog.
    static bool Closes(UINT message, WPARAM wParam);
    void Close();
    void ReleaseSurfaces();

    TRunMode m_mode;
    TMemoryDC m_frames[ProgressFrameCount];
    int m_frame = 0;
    RECT m_animation{};
};

// Runs the dialog modally over `owner` until it closes; answers 1.
int ShowProgressDialog(HWND owner);
// Creates it modeless over `owner`, bound to `dialog`, shown.
HWND CreateProgressDialog(HWND owner, CProgressDlg& dialog);
