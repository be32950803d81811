#include "recordings/recording_catalog.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/removable_volumes.h"
#include "platform/shell_dialogs.h"
#include "settings/camera_settings.h"
#include "settings/viewer_preferences.h"

namespace fs = std::filesystem;

bool ScanFolder(const std::string& folder, std::vector<std::string>* entries) {
    std::error_code error;
    // The walk passes over folders it may not list, the first one too; that
    // one must give false.
    if (fs::directory_iterator(folder, error); error)
        return false;
    // Links to folders are not followed (a link back up the tree would walk
    // for ever); an error ends the walk with what it found.
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          error);
    if (error)
        return false;
    for (const fs::recursive_directory_iterator end; walk != end; walk.increment(error)) {
        // Folders, and links to them, are no files. A link to anything else
        // is one, dangling or not: it is never opened.
        std::error_code unknownType;
        if (walk->is_directory(unknownType))
            continue;
        if (IsRecordingFileName(walk->path().filename().string()))
            entries->push_back(walk->path().string());
    }
    return true;
}

void SortRecordings(std::vector<std::string>* entries) {
    std::sort(entries->begin(), entries->end(),
              [](const std::string& a, const std::string& b) { return CompareRecordings(a, b); });
}

bool TKindFilter::Shows(RecordingKind kind) const {
    switch (kind) {
    case RecordingKind::Normal:
        return normal;
    case RecordingKind::Event:
        return event;
    case RecordingKind::Parking:
        return parking;
    case RecordingKind::Unknown:
        break;
    }
    return false;
}

void TKindFilter::Set(RecordingKind kind, bool shown) {
    switch (kind) {
    case RecordingKind::Normal:
        normal = shown;
        break;
    case RecordingKind::Event:
        event = shown;
        break;
    case RecordingKind::Parking:
        parking = shown;
        break;
    case RecordingKind::Unknown:
        break;
    }
}

std::vector<std::string> FilterRecordings(const std::vector<std::string>& entries,
                                          const TKindFilter& filter) {
    std::vector<std::string> kept;
    for (const std::string& entry : entries) {
        if (filter.Shows(KindOfName(entry)))
            kept.push_back(entry);
    }
    return kept;
}

std::string FindRemovableDrive() {
    std::vector<std::string> points = RemovableMountPoints();
    return points.empty() ? std::string() : points.front();
}

bool RememberCardModel(const std::string& source) {
    if (!ReadCameraSettings(SetupFilePath(source)))
        return false;
    // A failed registry write is not reported.
    SaveModelNamePreference();
    return true;
}

void TRecordingCatalog::LoadSource(bool automatic) {
    std::string folder;
    if (automatic) {
        m_sourcePath.clear();
        folder = FindRemovableDrive();
        if (folder.empty()) {
            // The list keeps its rows; the path area must not keep showing
            // a source the catalog no longer has.
            ShowSourcePath();
            return;
        }
    } else if (!m_sourcePath.empty()) {
        if (!PickFolder(&folder))
            return;
    } else {
        folder = FindRemovableDrive();
        if (folder.empty() && !PickFolder(&folder))
            return;
    }
    LoadFolder(folder);
}

bool TRecordingCatalog::LoadFolder(const std::string& folder) {
    ClearList();
    const bool listed = ScanFolder(folder, &m_entries);
    if (listed) {
        SortRecordings(&m_entries);
        RebuildList();
    }
    m_sourcePath = folder;
    RememberCardModel(m_sourcePath);
    ShowSourcePath();
    return listed;
}

void TRecordingCatalog::RebuildList() {
    m_rows = FilterRecordings(m_entries, m_filter);
    if (!m_view)
        return;
    m_view->ShowRows(m_rows);
    m_view->SetCurrentRow(m_rows.empty() ? -1 : 0);
    m_view->SetRebuilt(true);
}

void TRecordingCatalog::ForgetSource() {
    ClearList();
    m_sourcePath.clear();
    if (m_view) {
        m_view->SetCurrentRow(-1);
        m_view->SetRebuilt(false);
    }
    ShowSourcePath();
}

void TRecordingCatalog::ForgetEntry(const std::string& path) {
    std::erase(m_entries, path);
    std::erase(m_rows, path);
}

bool TRecordingCatalog::PickFolder(std::string* folder) const {
    BROWSEINFOA info;
    info.hwndOwner = m_owner;
    info.lpszTitle = kFolderPickerPrompt;
    info.ulFlags = BIF_STATUSTEXT | BIF_EDITBOX | BIF_VALIDATE;
    info.caption = kFolderPickerCaption;
    info.initialFolder = m_sourcePath.c_str();
    return SHBrowseForFolderA(&info, folder) && !folder->empty();
}

void TRecordingCatalog::ClearList() {
    m_entries.clear();
    m_rows.clear();
    if (m_view)
        m_view->ClearRows();
}

void TRecordingCatalog::ShowSourcePath() {
    if (m_view)
        m_view->ShowSourcePath(m_sourcePath);
}
