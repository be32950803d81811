#pragma once
// The system message box. Callable from any thread: the box itself runs on
// the main thread. A caller that asks a question waits for the answer; a
// worker thread's box with only an OK button is left to the user and the
// caller goes on (answered IDOK), so the main thread can always end the
// worker while the box is up. A quit closes every box. Without a running
// user interface (the command-line tools) the text goes to standard error.

#include <string>
#include <vector>

#include "platform/win_types.h"

inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;
inline constexpr UINT MB_TOPMOST = 0x00040000;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// Test seam: while recording, boxes are not shown; each call is kept and
// answered with `answer`.
struct TMessageBoxCall {
    std::string text;
    std::string caption;
    UINT type = 0;
};
void StartRecordingMessageBoxes(int answer);
void StopRecordingMessageBoxes();
std::vector<TMessageBoxCall> RecordedMessageBoxes();
