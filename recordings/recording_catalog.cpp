#include "recordings/recording_catalog.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "platform/removable_volumes.h"
#include "platform/shell_dialogs.h"
#include "settings/camera_settings.h"
#include "settings/viewer_preferences.h"

namespace {

struct TDirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using TDirectory = std::unique_ptr<DIR, TDirectoryCloser>;

std::string JoinPath(const std::string& folder, const char* name) {
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

enum class TEntryType { Folder, File, Other };

// A link to a folder counts as neither: following it could walk a loop for
// ever. A link to anything else counts as a file; it is never opened.
TEntryType TypeOf(DIR* directory, const dirent& entry) {
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        struct stat info {};
        if (::fstatat(::dirfd(directory), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return TEntryType::Other;
        if (S_ISDIR(info.st_mode))
            return TEntryType::Folder;
        type = S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
    }
    if (type == DT_DIR)
        return TEntryType::Folder;
    if (type != DT_LNK)
        return TEntryType::File;
    struct stat target {};
    if (::fstatat(::dirfd(directory), entry.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode))
        return TEntryType::Other;
    return TEntryType::File;
}

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace

bool ScanFolder(const std::string& folder, std::vector<std::string>* entries) {
    TDirectory directory(::opendir(folder.c_str()));
    if (!directory)
        return false;
    while (const dirent* entry = ::readdir(directory.get())) {
        if (IsDotEntry(entry->d_name))
            continue;
        switch (TypeOf(directory.get(), *entry)) {
        case TEntryType::Folder:
            // A subfolder that cannot be listed is skipped.
            ScanFolder(JoinPath(folder, entry->d_name), entries);
            break;
        case TEntryType::File:
            if (IsRecordingFileName(entry->d_name))
                entries->push_back(JoinPath(folder, entry->d_name));
            break;
        case TEntryType::Other:
            break;
        }
    }
    return true;
}

void SortRecordings(std::vector<std::string>* entries) {
    std::sort(entries->begin(), entries->end(),
              [](const std::string& a, const std::string& b) { return CompareRecordings(a, b); });
}

bool TKindFilter::Shows(RecordingKind kind) const {
    switch (kind) {
    case RecordingKind::Normal: return normal;
    case RecordingKind::Event: return event;
    case RecordingKind::Parking: return parking;
    case RecordingKind::Unknown: break;
    }
    return false;
}

void TKindFilter::Set(RecordingKind kind, bool shown) {
    switch (kind) {
    case RecordingKind::Normal: normal = shown; break;
    case RecordingKind::Event: event = shown; break;
    case RecordingKind::Parking: parking = shown; break;
    case RecordingKind::Unknown: break;
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
