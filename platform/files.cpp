#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/last_error.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ParentOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && home[0] ? home : "/tmp";
}

} // namespace

std::string ProgramPath() {
    std::string path(4096, '\0');
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return std::string();
        if (static_cast<size_t>(length) < path.size()) {
            path.resize(static_cast<size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size) {
    if (module != nullptr || !buffer || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string path = ProgramPath();
    if (path.empty()) {
        SetLastErrorFromErrno();
        return 0;
    }
    if (path.size() + 1 > size) {
        std::memcpy(buffer, path.data(), size - 1);
        buffer[size - 1] = '\0';
        SetLastError(122 /* ERROR_INSUFFICIENT_BUFFER */);
        return size;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

std::string ProgramFolder() {
    return ParentOf(ProgramPath());
}

std::string ProgramFilesFolder() {
    const char* configured = std::getenv("XDG_DATA_HOME");
    if (configured && configured[0] == '/')
        return configured;
    return HomeFolder() + "/.local/share";
}

HRESULT SHGetFolderPathA(HWND, int folder, HANDLE, DWORD, char* path) {
    if (!path || folder != CSIDL_PROGRAM_FILESX86)
        return E_FAIL;
    std::string found = ProgramFilesFolder();
    if (found.size() + 1 > MAX_PATH)
        return E_FAIL;
    std::memcpy(path, found.c_str(), found.size() + 1);
    return S_OK;
}

BOOL CreateDirectoryA(const char* path, void*) {
    if (!path || !path[0]) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (mkdir(path, 0755) == 0)
        return TRUE;
    if (errno == ENOENT) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    SetLastErrorFromErrno();
    return FALSE;
}

std::string ResourceFolder() {
    const char* configured = std::getenv("VELOR_RESOURCE_DIR");
    if (configured && configured[0])
        return configured;
    std::string folder = ProgramFolder();
    std::string beside = folder + "/resource";
    if (IsFolder(beside))
        return beside;
    std::string installed = ParentOf(folder) + "/share/velor-player/resource";
    if (IsFolder(installed))
        return installed;
    return beside;
}

std::string ResourcePath(const std::string& relative) {
    if (relative.empty())
        return ResourceFolder();
    return ResourceFolder() + "/" + relative;
}
