#pragma once
// The shell's folder picker and the common open-file dialog. On Windows a
// callback sets the folder picker's caption and first selection once it is
// up; here the caller names both in the request and the toolkit's directory
// dialog shows them.

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

// The open-file dialog. Windows' explorer style and its centring hook are
// what the toolkit's dialog does anyway, so only these flags mean anything.
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;

struct OPENFILENAMEA {
    HWND hwndOwner = nullptr;
    // Windows' filter list: pairs of a description and its patterns
    // separated by ';', each NUL-terminated, the list ending with an empty
    // string ("video Files (*.avi)\0*.avi;\0").
    const char* lpstrFilter = nullptr;
    // 1-based, into the pairs.
    DWORD nFilterIndex = 1;
    const char* lpstrInitialDir = nullptr;
    const char* lpstrTitle = nullptr;
    DWORD Flags = 0;
    // The save dialog's proposed file name (a name, or a path), and the
    // extension (no dot) added to a name typed without one; on Windows the
    // chosen filter's own pattern decides it, as it does here.
    const char* lpstrFile = nullptr;
};

// Shows the dialog modally on the main thread. True with the chosen file;
// false when the user cancels or there is no user interface. The current
// directory is the same afterwards as before.
bool GetOpenFileNameA(const OPENFILENAMEA* info, std::string* file);

// Test seam, as for the folder picker.
struct TFilePickerCall {
    HWND owner = nullptr;
    std::string title;
    // The pairs of the filter list, description then patterns.
    std::vector<std::string> filter;
    DWORD filterIndex = 0;
    std::string initialFolder;
    DWORD flags = 0;
};
void StartRecordingFilePickers(const std::string& answer);
void StopRecordingFilePickers();
std::vector<TFilePickerCall> RecordedFilePickers();

// The save dialog. True with the chosen path, whose extension is the chosen
// filter's when the user typed none; `nFilterIndex` then names the chosen
// filter (1-based), as Windows writes it back. False when the user cancels
// or there is no user interface.
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
bool GetSaveFileNameA(OPENFILENAMEA* info, std::string* file);
// Test seam: while recording, GetSaveFileNameA shows nothing, keeps the call
// with its proposed name, and answers `answer` with filter `filterIndex`.
void StartRecordingSaveDialogs(const std::string& answer, DWORD filterIndex);
void StopRecordingSaveDialogs();
struct TSaveDialogCall {
    TFilePickerCall picker;
    std::string proposed;
};
std::vector<TSaveDialogCall> RecordedSaveDialogs();
