#pragma once
// Per-thread last error with Win32 codes, and the system's text for a code.

#include <string>

#include "platform/win_types.h"

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_WRITE_PROTECT = 19;
inline constexpr DWORD ERROR_SHARING_VIOLATION = 32;
inline constexpr DWORD ERROR_HANDLE_DISK_FULL = 39;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_DISK_FULL = 112;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
inline constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
inline constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;

void SetLastError(DWORD code);
DWORD GetLastError();

// The Win32 code that stands for a POSIX errno value.
DWORD Win32ErrorFromErrno(int errnoValue);
// Sets the last error from errno and returns the code.
DWORD SetLastErrorFromErrno();

inline constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
inline constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;

// Writes the system's text for `code` into `buffer` (at most `size` bytes,
// NUL included) and returns its length without the NUL, 0 when nothing fits.
DWORD FormatMessageA(DWORD flags, const void* source, DWORD code, DWORD languageId, char* buffer,
                     DWORD size, void* arguments);
// The same text as a string.
std::string SystemErrorText(DWORD code);
