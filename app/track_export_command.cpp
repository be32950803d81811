#include "app/track_export_command.h"

#include <cstdlib>
#include <memory>

#include "engine/recording_telemetry.h"
#include "language/string_table.h"
#include "platform/shell_dialogs.h"
#include "recordings/track_export.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr DWORD kKmlFilterIndex = 2;

// Where the last track went; the home folder at first, since the card the
// recording is on may be write-protected or pulled out afterwards.
std::string& LastExportFolder() {
    static std::string folder = [] {
        const char* home = std::getenv("HOME");
        return std::string(home ? home : "");
    }();
    return folder;
}

std::string LocalText(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void Say(HWND owner, const char* key, const TTrackMessageFunction& say) {
    const std::string text = LocalText(key);
    if (say)
        say(owner, text.c_str(), nullptr, MB_OK);
    else
        ShowMessageBox(owner, text.c_str(), nullptr, MB_OK);
}

} // namespace

void ExportRecordingTrack(HWND owner, const std::string& recording,
                          const TTrackMessageFunction& say) {
    const std::unique_ptr<TTelemetry> telemetry = ReadRecordingTelemetry(recording);
    if (!telemetry || TrackPointCount(*telemetry) == 0) {
        Say(owner, NoGpsFixKey, say);
        return;
    }
    const std::string name = BaseNameOf(recording);
    const std::string title = LocalText(ExportTrackTitleKey);
    OPENFILENAMEA request;
    request.hwndOwner = owner;
    request.lpstrFilter = TrackFilter;
    request.nFilterIndex = 1;
    request.lpstrInitialDir = LastExportFolder().c_str();
    request.lpstrTitle = title.c_str();
    request.lpstrFile = name.c_str();
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    std::string target;
    if (!GetSaveFileNameA(&request, &target))
        return;
    const TTrackFormat format =
        request.nFilterIndex == kKmlFilterIndex ? TTrackFormat::Kml : TTrackFormat::Gpx;
    if (SaveTrack(*telemetry, name, format, target) != TTrackSaveResult::Saved) {
        Say(owner, ExportTrackFailedKey, say);
        return;
    }
    LastExportFolder() = FolderOf(target);
}
