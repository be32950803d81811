#pragma once
// Capturing the pictures the channels show into JPEG files, or printing
// them side by side on one page with the recording's path and the
// vehicle's position. Main thread; playback goes on meanwhile.

#include <ctime>
#include <string>
#include <vector>

#include "engine/ffmpeg_handles.h"
#include "platform/gdiplus.h"
#include "platform/win_types.h"

class TMediaPlayer;
struct TTelemetry;

// One shown channel, front first.
struct TShownFrame {
    int streamIndex = -1; // in the recording; negative: the channel has no video
    TFrameHandle frame;   // the last decoded frame; empty before the first
};

// The channels 0 .. channelCount - 1 of the player, each frame a reference
// taken under the channel's display lock.
std::vector<TShownFrame> ShownFrames(const TMediaPlayer& player, int channelCount);

enum class TCaptureAction { Capture, Print };

enum class TCaptureOutcome {
    Done,
    Cancelled, // the print dialog was cancelled or the printer refused the job
    Failed,    // a picture could not be saved (or nothing was there to save)
};

struct TCaptureResult {
    TCaptureOutcome outcome = TCaptureOutcome::Done;
    std::vector<std::string> files; // the pictures written, in channel order
};

inline constexpr ULONG kJpegQuality = 75;
inline constexpr const wchar_t kJpegMimeType[] = L"image/jpeg";
// What a failed capture tells the user instead of the success dialog.
inline constexpr const char kImageSaveErrorKey[] = "message.image_save_error";

// <capture folder>/<recording base name without its extension>.
std::string CaptureBaseName(const std::string& captureFolder, const std::string& recordingPath);
// The base name and the capture's local time: "<base>_YYYYMMDDhhmmss_".
std::string CaptureNamePrefix(const std::string& baseName, const std::tm& localTime);
// The prefix and the channel's stream number plus one: "<prefix>_2.jpg".
std::string CaptureFileName(const std::string& prefix, int streamIndex);

// The first encoder whose MIME type is exactly `mimeType`.
bool GetEncoderClsid(const wchar_t* mimeType, Gdiplus::CLSID* clsid);

// Saves each channel's frame up to the first channel without video, named
// from `baseName` and `localTime`. Files of the same second are replaced.
TCaptureResult CaptureFrames(const std::vector<TShownFrame>& channels, const std::string& baseName,
                             const std::tm& localTime);

// The position printed under the pictures at a playback second: decimal
// degrees with the hemisphere's sign (south and west negative); 0 and 0
// without a fix.
struct TPrintedPosition {
    double latitude = 0.0;
    double longitude = 0.0;
};
TPrintedPosition PrintedPosition(const TTelemetry* telemetry, int second);

// One operation for both commands. Capture: `text` is the capture base name
// (CaptureBaseName) and the time is read now. Print: `text` is the
// recording's path, printed with the position under the pictures, through
// the print dialog over `owner`.
TCaptureResult CaptureOrPrint(const std::vector<TShownFrame>& channels, const std::string& text,
                              double latitude, double longitude, TCaptureAction action, HWND owner);
