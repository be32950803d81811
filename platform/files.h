#pragma once
// The program's own location, the well-known folders, folder creation and
// the run-time data (resource/) lookup.

#include <string>

#include "platform/win_types.h"

using HRESULT = LONG;
using HMODULE = void*;

inline constexpr DWORD MAX_PATH = 260;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);

// The 32-bit program files folder; here $XDG_DATA_HOME (~/.local/share).
inline constexpr int CSIDL_PROGRAM_FILESX86 = 0x002a;
inline constexpr DWORD SHGFP_TYPE_CURRENT = 0;

// The running executable's path (module must be null). Returns the length
// written without the NUL; a path that does not fit is cut and the result
// is `size`, as on Windows.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
std::string ProgramPath();
// The folder holding the executable, without a trailing '/'.
std::string ProgramFolder();

// Fills `path` (MAX_PATH bytes) with the folder; S_OK or E_FAIL.
HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, char* path);
std::string ProgramFilesFolder();

// FALSE with ERROR_ALREADY_EXISTS when the folder is there already, or the
// error of the failed mkdir (ERROR_PATH_NOT_FOUND when the parent is missing).
BOOL CreateDirectoryA(const char* path, void* security);

// The folder with skin/, language/ and map/: $VELOR_RESOURCE_DIR when set,
// else resource/ beside the executable (the build tree), else
// ../share/velor-player/resource/ of an installed tree. No trailing '/'.
std::string ResourceFolder();
// `relative` below the resource folder ("skin/controls/play_btn_on.png").
std::string ResourcePath(const std::string& relative);
