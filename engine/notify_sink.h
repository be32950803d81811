#pragma once
// Where the player thread's notifications go. The program posts them to the
// main window; tests and tools collect them.

#include "platform/win_types.h"

// The notification message the player thread posts (WM_USER + 2).
inline constexpr UINT kPlayerNotifyMessage = WM_USER + 2;
// The command message the main window posts to the player thread.
inline constexpr UINT kPlayerCommandMessage = WM_USER + 1;

// The progress dialog is found by this title.
inline constexpr const char kProgressDialogTitle[] = "__Kestrel_ProgressDlg__";

// The command message's wParam: the command in the high word, its argument
// in the low word. Stop is command 2 with the argument 0xFFFF (no channel
// in particular); pause is command 3.
inline constexpr WPARAM kStopCommand = 0x2FFFF;
inline constexpr WPARAM kPauseCommand = 0x30000;

// Notification codes: the code in the low word, a qualifier in the high
// word (0x1 after a step, at the end of a recording, in full screen, for the
// progress dialog).
namespace PlayerNotify {
inline constexpr WPARAM OpenFailed = 0;
inline constexpr WPARAM Opened = 1;
inline constexpr WPARAM Stopped = 2;
inline constexpr WPARAM Paused = 5;
inline constexpr WPARAM Woken = 6;
// Code 7 with the qualifier 0xFFFF: the answer the main window waits for
// after every step or paused seek, also when nothing could be done.
inline constexpr WPARAM StepDone = 0xFFFF0007;
inline constexpr WPARAM GeometryChanged = 8;
inline constexpr WPARAM GeometryChangedFullScreen = 0x10008;
inline constexpr WPARAM Opening = 9;
inline constexpr WPARAM EndOfRecording = 0x10002;
inline constexpr WPARAM PausedAfterStep = 0x10005;
inline constexpr WPARAM CloseProgressDialog = 0x10009;
} // namespace PlayerNotify

class INotifySink {
public:
    virtual ~INotifySink() = default;
    // Delivers one notification. For Opened, lParam is the token to take the
    // telemetry table with (TMediaPlayer::TakeTelemetry).
    virtual void Notify(WPARAM code, LPARAM lParam) = 0;
    // Tells the progress dialog, when one is open, that the open is over.
    virtual void CloseProgressDialog() = 0;
};
