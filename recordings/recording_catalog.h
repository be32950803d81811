#pragma once
// The recordings of one source (the card or a folder the user picked): the
// scan of its whole tree, the entries sorted by recording time, the kind
// filter and the rows it leaves for the recording list. The catalog tells
// its list what to show through IRecordingListView; it knows no window.

#include <string>
#include <vector>

#include "platform/win_types.h"
#include "recordings/recording_name.h"

inline constexpr const char* kFolderPickerPrompt = "Select SD-card or movie path.";
inline constexpr const char* kFolderPickerCaption = "VELOR player";

// What the recording list panel does on the catalog's word.
class IRecordingListView {
public:
    virtual ~IRecordingListView() = default;
    // Paints the list area in the list's dark colour, deletes every item and
    // row and forgets the selected row.
    virtual void ClearRows() = 0;
    // The rows to show, in list order (full paths).
    virtual void ShowRows(const std::vector<std::string>& paths) = 0;
    // The current row, selected and focused; -1 for none.
    virtual void SetCurrentRow(int row) = 0;
    // The mark previous/next file read: set by each rebuild.
    virtual void SetRebuilt(bool rebuilt) = 0;
    // Redraws the path area above the list with this text.
    virtual void ShowSourcePath(const std::string& path) = 0;
};

// Appends the full path of every file below `folder` whose name is a
// recording's (".avi", any case, more than 4 characters), depth-first in the
// order the file system lists them. Symbolic links to folders are not
// followed; subfolders the user may not list are skipped, and any other
// error ends the walk with what it found. False, with nothing appended, when
// `folder` itself cannot be listed.
bool ScanFolder(const std::string& folder, std::vector<std::string>* entries);

// Earliest recording first, by CompareRecordings; equal keys keep no
// particular order.
void SortRecordings(std::vector<std::string>* entries);

// Which kinds the list shows. Unknown files are never shown.
struct TKindFilter {
    bool normal = true;
    bool event = true;
    bool parking = true;

    bool Shows(RecordingKind kind) const;
    void Set(RecordingKind kind, bool shown);
};

// The entries the filter keeps, in their order.
std::vector<std::string> FilterRecordings(const std::vector<std::string>& entries,
                                          const TKindFilter& filter);

// The mount point of the first removable volume in path order, or empty.
std::string FindRemovableDrive();

// Reads <source>/setup.cfg as the camera's settings file and, when that
// succeeds, stores the model name it gives in the ModelName preference.
// Nothing is reported when the file is missing or refused.
bool RememberCardModel(const std::string& source);

class TRecordingCatalog {
public:
    explicit TRecordingCatalog(IRecordingListView* view = nullptr) : m_view(view) {}

    void SetView(IRecordingListView* view) { m_view = view; }
    // The owner of the folder picker.
    void SetOwnerWindow(HWND owner) { m_owner = owner; }

    // Automatic (a card arrived): the first removable drive, or nothing.
    // Otherwise (the user clicked the path area): the folder picker, started
    // at the current source; without a source yet the first removable drive
    // is tried before the picker. A cancelled picker changes nothing.
    void LoadSource(bool automatic);
    // Clears the list, scans `folder`, sorts and rebuilds, makes it the
    // source, remembers the card's model and redraws the path. False when
    // the folder could not be listed (the list then stays empty).
    bool LoadFolder(const std::string& folder);

    // Filters the sorted entries of the last scan into the list again.
    void RebuildList();
    // The list empty, no source, no current row, the rebuilt mark cleared.
    void ForgetSource();
    // Drops a recording deleted from the card from the last scan, so that
    // filtering again does not bring it back. The list is not told: it has
    // taken its row out itself.
    void ForgetEntry(const std::string& path);

    TKindFilter& KindFilter() { return m_filter; }
    const TKindFilter& KindFilter() const { return m_filter; }
    const std::string& SourcePath() const { return m_sourcePath; }
    // The sorted entries of the last scan.
    const std::vector<std::string>& Entries() const { return m_entries; }
    // The rows last handed to the list.
    const std::vector<std::string>& Rows() const { return m_rows; }

private:
    bool PickFolder(std::string* folder) const;
    void ClearList();
    void ShowSourcePath();

    IRecordingListView* m_view = nullptr;
    HWND m_owner = nullptr;
    TKindFilter m_filter;
    std::string m_sourcePath;
    std::vector<std::string> m_entries;
    std::vector<std::string> m_rows;
};
