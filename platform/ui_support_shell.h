#pragma once
// Opening a folder in the desktop's file manager, as ShellExecuteW with the
// "explorer" program and the folder as its parameter did.

#include <string>
#include <vector>

#include "platform/win_types.h"

struct HINSTANCE__;

// Only the "open" verb of "explorer" is served, with a folder, or with
// "/select,PATH" for a file to show selected in its folder (through the
// desktop's FileManager1 D-Bus service; where none answers, the folder is
// opened). The result is above 32 on success, as on Windows (2 for anything
// else, 3 for no folder).
HINSTANCE__* ShellExecuteW(HWND owner, const wchar_t* verb, const wchar_t* file,
                           const wchar_t* parameters, const wchar_t* directory, int show);

// Test seam: while recording, folders are not opened but their parameters
// kept (UTF-8).
void StartRecordingShellOpens();
void StopRecordingShellOpens();
std::vector<std::string> RecordedShellOpens();
