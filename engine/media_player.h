#pragma once
// The playback controller: one recording at a time, read by the player
// thread into the per-stream queues of its five stream slots.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/chunk_walk.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "platform/win_types.h"
#include "recordings/telemetry.h"

struct AVFormatContext;
struct AVPacket;
class INotifySink;
class TBaseStreamInfo;
class TVideoStreamInfo;
class TAudioStreamInfo;
class TGLView;

struct TStreamSlot {
    std::unique_ptr<TBaseStreamInfo> info;
    TThread decoderThread;
    TThread renderThread;
    std::unique_ptr<TEvent> startEvent;
};

inline constexpr int kSlotCount = 5;
inline constexpr int kFrontSlot = 0;
inline constexpr int kRearSlot = 1;
inline constexpr int kAudioSlot = 2;
// Back-pressure: the reader waits while a queue holds this many packets.
inline constexpr int kVideoQueueLimit = 30;
inline constexpr int kAudioQueueLimit = 100;

class TMediaPlayer {
public:
    TMediaPlayer();
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    // Commands, from the main thread.
    void Start(HWND notifyWindow, HWND frontWindow, HWND rearWindow);
    void OpenRecording(const std::string& path, int volume = -1);
    void Stop();
    void Pause();
    void Resume();
    void StepFrame(int direction);
    void SeekBy(double seconds);
    void SeekTo(double seconds);
    void Shutdown();
    // Neither stopped nor closed: a recording is open.
    bool IsActive() const { return !stopped && !closed; }

    // Reading, on the player thread.
    bool OpenInput();
    bool ReadStep();
    bool SeekNow();
    void PrerollTo(int mode, std::int64_t target, bool readFirst);
    void CloseInput();

    // The time of the picture on screen plus the time since it was shown,
    // from the front channel (the rear when the front is not open).
    double MasterClock() const;
    // The video stream that gives the master clock, or none.
    const TVideoStreamInfo* MasterVideo() const;
    // Whole seconds of the playback position, as the main window shows it.
    std::int32_t CurrentSecond() const;

    TVideoStreamInfo* Video(int slot) const;
    TAudioStreamInfo* Audio() const;
    // True for the streams whose chunks are telemetry ("NNst"), whatever
    // media type FFmpeg's probe gave them.
    bool IsTelemetryStream(int streamIndex) const;
    // The telemetry pass's view of the video packets (for seeking).
    const TVideoPass& VideoPass() const { return m_videoPass; }

    AVFormatContext* formatContext = nullptr;  // owned while open
    AVPacket* readPacket = nullptr;            // owned while open

    std::atomic<std::int32_t> seekRequest{0};
    std::atomic<std::int32_t> seekFlags{0};
    std::atomic<std::int64_t> seekTarget{0};  // microseconds
    std::atomic<double> frameRate{0.0};
    std::atomic<double> duration{0.0};

    std::atomic<bool> stopped{true};
    std::atomic<bool> endOfFile{false};
    std::atomic<bool> seekFailed{false};
    std::atomic<bool> closed{true};
    std::atomic<bool> paused{false};

    std::unique_ptr<TEvent> stepEvent;
    std::atomic<std::int32_t> stepping{0};
    std::atomic<std::int64_t> stepTarget{-1};
    std::atomic<std::int32_t> stepMode{0};
    std::atomic<std::int32_t> pendingOp{0};

    TThread thread;
    std::unique_ptr<TEvent> startEvent;
    std::unique_ptr<TEvent> wakeEvent;

    // The recording to open; kept whole, however long.
    std::string path;
    TStreamSlot slots[kSlotCount];

    HWND notifyWindow = nullptr;
    HWND frontWindow = nullptr;
    HWND rearWindow = nullptr;
    INotifySink* notifySink = nullptr;

    std::int32_t orientation[2] = {0, 0};
    std::int32_t brightness[2] = {50, 50};
    std::int32_t contrast[2] = {50, 50};
    std::int32_t chroma[2] = {50, 50};

    std::atomic<std::int64_t> frameCount{0};
    std::int32_t frontStreamIndex = -1;
    std::int32_t rearStreamIndex = -1;
    std::int32_t audioStreamIndex = -1;
    std::int32_t gpsStreamIndex = -1;
    std::int32_t gsensorStreamIndex = -1;

    std::atomic<std::int32_t> volume{50};
    std::atomic<bool> muted{false};
    std::atomic<bool> stopWhilePaused{false};
    // Counts the opens and the jumps that flush every queue; each stream
    // notes the count it decodes for, and each picture the count it came
    // from, so the sound can tell when the pictures on screen are the ones
    // after the jump.
    std::atomic<std::uint32_t> flushSerial{0};

    std::unique_ptr<TGLView> views[2];

private:
    void PlayerThread();
    static void TimerTick(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
    void CreateStreams();
    void EndThreads();
    // The reading loop; returns when the recording closed or the thread must end.
    void ReadingLoop();
    void AnswerIdleStop();
    void CloseStreams(TEvent* stopEvent);
    void PauseNow(bool afterStep);
    void FrameStep(int direction);
    void SeekWhilePaused();
    // Every live video stream now shows frame `target`. Set again once the
    // decoders reached it: a picture queued before the jump may still have
    // been put on screen meanwhile, and the next step counts from here.
    void MarkShown(std::int64_t target);
    // Seeks the input so that decoding starts at a key frame at or before
    // `target` of `stream` (AVSEEK_FLAG_* as av_seek_frame takes them).
    bool SeekInput(int stream, std::int64_t target, int flags);
    void NoteVideoPacket(const AVPacket* packet);
    void RepairVideoIndex();

    void Notify(WPARAM code, LPARAM lParam = 0);
    void CloseProgressDialog();
    void AssignRoles();
    void OpenStreams();
    void FailOpen(const char* text);
    bool RouteSteppingPacket(AVPacket* packet);
    // True when a read failure may be tried again; counts failures so that
    // a broken file ends instead of being retried for ever.
    bool MayRetryRead();

    TChunkWalk m_chunks;
    TVideoPass m_videoPass;
    int m_readFailures = 0;
    UINT m_timerId = 0;
    // A stop command that arrived while a recording opened.
    TEvent* m_stopDuringOpen = nullptr;
    bool m_stopDrained = false;
};
