#pragma once
// A video stream of the recording: front camera (ordinal 0) or rear (1).
// Its decoder thread turns packets into BGRA pictures of the display size;
// the render thread shows them.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/base_stream_info.h"
#include "engine/picture_queue.h"
#include "platform/win_types.h"

class IVideoView;
struct TStreamSlot;

class TVideoStreamInfo : public TBaseStreamInfo {
public:
    TVideoStreamInfo(TMediaPlayer* owner, int typeOrdinal);
    ~TVideoStreamInfo() override;

    bool Init(std::intptr_t videoWindow) override;
    void Release() override;
    bool Open() override;
    void Close() override;
    bool Decode(AVPacket* packet, double* pts, bool skipDisplay) override;

    // The decoder thread's body for `slot` (started by the controller).
    void DecoderThread(TStreamSlot& slot);
    // Converts `frame` into the picture queue; always 0.
    int QueuePicture(AVFrame* frame, bool isRepeat, double pts);
    // Recomputes the display geometry, shows the view, rebuilds the scaler.
    void Relayout();
    void SetFullScreen(bool on, bool fitWidth);

    // The 16:9 width of a height, and the padded width Relayout uses.
    static int WideWidth(int height);
    static int PaddedWideWidth(int height);

    // The last decoded frame, kept for the paused re-offers and the main
    // window: whether there is one, and a reference to it (empty when none).
    bool HasLastFrame() const;
    TFrameHandle CopyLastFrame() const;

    std::atomic<std::int64_t> packetPts{INT64_MIN};
    TPictureQueue pictureQueue;
    std::atomic<double> currentPts{0.0};
    std::atomic<std::int64_t> currentPtsTime{0};
    // The serial of the picture on screen (set by the render thread with
    // currentPts); kNoSerial before the first picture of an open.
    static constexpr std::uint32_t kNoSerial = 0xFFFFFFFFu;
    std::atomic<std::uint32_t> shownSerial{kNoSerial};
    std::atomic<std::int64_t> frameCount{0};
    // Guards lastFrame, the scaler and the view's showing and sizing.
    mutable std::mutex displayLock;
    std::atomic<std::int32_t> displayWidth{0};
    std::atomic<std::int32_t> displayHeight{0};
    // The windowed size while full screen (the main thread sets it, the
    // decoder thread lays out with it).
    std::atomic<std::int32_t> savedWidth{0};
    std::atomic<std::int32_t> savedHeight{0};

    // Picture settings, written by the main window, read by the render side.
    std::atomic<std::int32_t> orientation{0};
    std::atomic<std::int32_t> brightness{50};
    std::atomic<std::int32_t> contrast{50};
    std::atomic<std::int32_t> chroma{50};

    std::atomic<bool> fullScreen{false};
    std::atomic<bool> fitWindowWidth{false};
    std::atomic<bool> hidden{false};
    std::atomic<bool> stepReached{false};

    IVideoView* view = nullptr; // owned by the controller
    HWND videoWindow = nullptr;
    HWND parentWindow = nullptr; // the video window's parent, taken at Init

protected:
    void ConfigureDecoder() override;

private:
    // Both guarded by displayLock.
    TFrameHandle m_lastFrame;
    TScalerHandle m_scaler;

    bool EnsurePictureBuffer(TVideoPicture& picture);
    // While paused, the picture on screen is offered again, so that a
    // changed setting or size shows.
    void RepeatLastPicture(double pts);
};
