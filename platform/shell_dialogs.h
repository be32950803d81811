#pragma once
// The shell's folder picker. On Windows a callback sets the caption and the
// first selection once the dialog is up; here the caller names both in the
// request and the toolkit's directory dialog shows them.

#include <string>
#include <vector>

#include "platform/win_types.h"

inline constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001;
inline constexpr UINT BIF_STATUSTEXT = 0x0004;
inline constexpr UINT BIF_EDITBOX = 0x0010;
inline constexpr UINT BIF_VALIDATE = 0x0020;

struct BROWSEINFOA {
    HWND hwndOwner = nullptr;
    // The prompt shown in the dialog.
    const char* lpszTitle = nullptr;
    UINT ulFlags = 0;
    // What the initialisation callback set on Windows: the window caption
    // and the folder selected at first (null or empty for none).
    const char* caption = nullptr;
    const char* initialFolder = nullptr;
};

// Shows the picker modally on the main thread (called from another thread it
// waits there). True with the chosen folder; false when the user cancels,
// picks nothing, or there is no user interface. The current directory is the
// same afterwards as before.
bool SHBrowseForFolderA(const BROWSEINFOA* info, std::string* folder);

// Test seam: while recording, no dialog is shown; each call is kept and
// answered with `answer` (an empty answer is a cancel).
struct TFolderPickerCall {
    HWND owner = nullptr;
    std::string prompt;
    std::string caption;
    std::string initialFolder;
    UINT flags = 0;
};
void StartRecordingFolderPickers(const std::string& answer);
void StopRecordingFolderPickers();
std::vector<TFolderPickerCall> RecordedFolderPickers();
