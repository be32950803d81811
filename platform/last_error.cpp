#include "platform/last_error.h"

#include <cerrno>
#include <cstring>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

struct CodePair {
    DWORD win32;
    int posix;
};

// The order matters for the reverse lookup: the first pair naming a Win32
// code gives its errno text.
constexpr CodePair kCodePairs[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT}, {ERROR_PATH_NOT_FOUND, ENOTDIR},
    {ERROR_ACCESS_DENIED, EACCES},  {ERROR_ACCESS_DENIED, EPERM},
    {ERROR_INVALID_HANDLE, EBADF},  {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_WRITE_PROTECT, EROFS},   {ERROR_SHARING_VIOLATION, EBUSY},
    {ERROR_DISK_FULL, ENOSPC},      {ERROR_INVALID_PARAMETER, EINVAL},
    {ERROR_ALREADY_EXISTS, EEXIST}, {ERROR_PATH_NOT_FOUND, ENAMETOOLONG},
};

// Texts for the codes that have no errno counterpart.
const char* WindowingErrorText(DWORD code) {
    switch (code) {
    case ERROR_SUCCESS:
        return "The operation completed successfully.";
    case ERROR_MORE_DATA:
        return "More data is available.";
    case ERROR_NO_MORE_ITEMS:
        return "No more data is available.";
    case ERROR_CLASS_ALREADY_EXISTS:
        return "Class already exists.";
    case ERROR_INVALID_THREAD_ID:
        return "The thread identifier is invalid.";
    default:
        return nullptr;
    }
}

} // namespace

void SetLastError(DWORD code) {
    t_lastError = code;
}

DWORD GetLastError() {
    return t_lastError;
}

DWORD Win32ErrorFromErrno(int errnoValue) {
    for (const CodePair& pair : kCodePairs) {
        if (pair.posix == errnoValue)
            return pair.win32;
    }
    // Unmapped errno values travel as themselves above the Win32 range so
    // that their text can still be found.
    return 0x20000000u | static_cast<DWORD>(errnoValue);
}

DWORD SetLastErrorFromErrno() {
    DWORD code = Win32ErrorFromErrno(errno);
    SetLastError(code);
    return code;
}

std::string SystemErrorText(DWORD code) {
    if (const char* text = WindowingErrorText(code))
        return text;
    if (code & 0x20000000u)
        return std::strerror(static_cast<int>(code & ~0x20000000u));
    for (const CodePair& pair : kCodePairs) {
        if (pair.win32 == code)
            return std::strerror(pair.posix);
    }
    return "Unknown error " + std::to_string(code) + ".";
}

DWORD FormatMessageA(DWORD, const void*, DWORD code, DWORD, char* buffer, DWORD size, void*) {
    if (!buffer || size == 0)
        return 0;
    std::string text = SystemErrorText(code);
    if (text.size() + 1 > size) {
        SetLastError(ERROR_MORE_DATA);
        buffer[0] = '\0';
        return 0;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}
