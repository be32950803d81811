#include "export/frame_capture.h"

#include <cstdio>
#include <filesystem>

#include "engine/media_player.h"
#include "engine/video_stream_info.h"
#include "export/frame_bitmap.h"
#include "export/frame_print.h"
#include "language/wide_text.h"
#include "recordings/telemetry.h"

std::vector<TShownFrame> ShownFrames(const TMediaPlayer& player, int channelCount) {
    std::vector<TShownFrame> channels;
    for (int slot = 0; slot < channelCount; ++slot) {
        TShownFrame shown;
        if (const TVideoStreamInfo* video = player.Video(slot)) {
            shown.streamIndex = video->streamIndex;
            shown.frame = player.CopyLastFrame(slot);
        }
        channels.push_back(std::move(shown));
    }
    return channels;
}

std::string CaptureBaseName(const std::string& captureFolder, const std::string& recordingPath) {
    return captureFolder + "/" + std::filesystem::path(recordingPath).stem().string();
}

std::string CaptureNamePrefix(const std::string& baseName, const std::tm& localTime) {
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d%02d%02d%02d_", localTime.tm_year + 1900,
                  localTime.tm_mon + 1, localTime.tm_mday, localTime.tm_hour, localTime.tm_min,
                  localTime.tm_sec);
    return baseName + stamp;
}

std::string CaptureFileName(const std::string& prefix, int streamIndex) {
    return prefix + "_" + std::to_string(streamIndex + 1) + ".jpg";
}

bool GetEncoderClsid(const wchar_t* mimeType, Gdiplus::CLSID* clsid) {
    if (!mimeType || !clsid)
        return false;
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || count == 0)
        return false;
    std::vector<Gdiplus::ImageCodecInfo> encoders(count);
    if (Gdiplus::GetImageEncoders(count, size, encoders.data()) != Gdiplus::Ok)
        return false;
    for (const Gdiplus::ImageCodecInfo& encoder : encoders) {
        if (encoder.MimeType && std::wstring(encoder.MimeType) == mimeType) {
            *clsid = encoder.Clsid;
            return true;
        }
    }
    return false;
}

TCaptureResult CaptureFrames(const std::vector<TShownFrame>& channels, const std::string& baseName,
                             const std::tm& localTime) {
    TCaptureResult result;
    Gdiplus::CLSID jpeg;
    if (!GetEncoderClsid(kJpegMimeType, &jpeg)) {
        result.outcome = TCaptureOutcome::Failed;
        return result;
    }
    ULONG quality = kJpegQuality;
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;

    const std::string prefix = CaptureNamePrefix(baseName, localTime);
    bool failed = false;
    for (const TShownFrame& channel : channels) {
        if (channel.streamIndex < 0)
            break;
        std::unique_ptr<TFrameBitmap> bitmap = FrameToBitmap(channel.frame.get());
        if (!bitmap) {
            failed = true;
            continue;
        }
        const std::string file = CaptureFileName(prefix, channel.streamIndex);
        const std::wstring wideFile = Utf8ToWide(file);
        if (bitmap->Bitmap().Save(wideFile.c_str(), &jpeg, &parameters) != Gdiplus::Ok) {
            failed = true;
            continue;
        }
        result.files.push_back(file);
    }
    if (failed || result.files.empty())
        result.outcome = TCaptureOutcome::Failed;
    return result;
}

TPrintedPosition PrintedPosition(const TTelemetry* telemetry, int second) {
    const TGpsRecord* fix = FixAtSecond(telemetry, second);
    if (!fix)
        return {};
    return {SignedDecimalDegrees(fix->latitude, fix->latitudeHemisphere),
            SignedDecimalDegrees(fix->longitude, fix->longitudeHemisphere)};
}

TCaptureResult CaptureOrPrint(const std::vector<TShownFrame>& channels, const std::string& text,
                              double latitude, double longitude, TCaptureAction action,
                              HWND owner) {
    if (action == TCaptureAction::Print) {
        TCaptureResult result;
        result.outcome = PrintFrames(channels, text, latitude, longitude, owner);
        return result;
    }
    const std::time_t now = std::time(nullptr);
    std::tm localTime{};
    localtime_r(&now, &localTime);
    return CaptureFrames(channels, text, localTime);
}
