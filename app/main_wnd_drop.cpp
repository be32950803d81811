// Files and folders dropped on the main window do what the command line
// does with them: a folder becomes the list's source, a recording loads its
// folder and plays. Like choosing a source in the list, it waits until
// nothing plays.

#include <filesystem>
#include <string>

#include "app/main_wnd.h"
#include "language/string_table.h"
#include "recordings/file_list_panel.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr const char* kRecordingExtension = ".avi";

bool IsRecordingFile(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::error_code error;
    return extension == kRecordingExtension && std::filesystem::is_regular_file(path, error);
}

// The first dropped path the viewer can take; empty when there is none.
std::string FirstUsablePath(HDROP drop) {
    const UINT count = DragQueryFileA(drop, DragFileCount, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0), '\0');
        DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size() + 1));
        std::error_code error;
        if (std::filesystem::is_directory(path, error) || IsRecordingFile(path))
            return path;
    }
    return std::string();
}

} // namespace

void CMainWnd::OnDropFiles(HDROP drop) {
    const std::string path = FirstUsablePath(drop);
    DragFinish(drop);
    CFileListPanel* list = m_side.hWnd ? m_side.FileList() : nullptr;
    if (path.empty() || !list)
        return;
    if (!IsPlaybackStopped()) {
        std::string text;
        GetString(StopMovieKey, &text, nullptr);
        ShowMessageBox(hWnd, text.c_str(), nullptr, MB_OK);
        return;
    }
    HideMarkers();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        list->Catalog().LoadFolder(path);
        return;
    }
    list->Catalog().LoadFolder(std::filesystem::path(path).parent_path().string());
    SelectInList(path);
    OpenAndPlay(path);
}
