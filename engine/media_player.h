#pragma once
// The playback controller: one recording at a time, read by the player
// thread into the per-stream queues of its five stream slots.
//
// Windows drive it through the commands below and read its state through
// the const accessors; the player thread's own reading operations are
// reached from outside only through TPlayerReader (tools and tests).

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "engine/chunk_walk.h"
#include "engine/ffmpeg_handles.h"
#include "platform/sync.h"
#include "platform/thread.h"
#include "platform/win_types.h"
#include "recordings/telemetry.h"

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

// What a wake while paused does (pendingOp). A step's direction doubles as
// its operation, so 1 and -1 are the step directions themselves.
inline constexpr std::int32_t kResumeOp = 0;
inline constexpr std::int32_t kStepForwardOp = 1;
inline constexpr std::int32_t kStepBackwardOp = -1;
inline constexpr std::int32_t kPausedSeekOp = 2;

// A channel's picture settings, copied into its stream at every open.
struct TPictureSettings {
    std::int32_t orientation = 0; // 0, 1 (mirrored) or 16 (upside down)
    std::int32_t brightness = 50; // 0..100 each
    std::int32_t contrast = 50;
    std::int32_t chroma = 50;
};

class TMediaPlayer {
public:
    TMediaPlayer();
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    // Commands, from the main thread.
    void Start(HWND notifyWindow, HWND frontWindow, HWND rearWindow);
    // Tools and tests collect the notifications instead of a window; set
    // before Start.
    void SetNotifySink(INotifySink* sink) { m_notifySink = sink; }
    // The caller stops an active recording first. volume < 0 keeps the
    // current one.
    void OpenRecording(const std::string& path, int volume = -1);
    // Waits until the recording is closed, unless paused: a stop while
    // paused returns at once and the close follows on the player thread.
    void Stop();
    void Pause();
    void Resume();
    void StepFrame(int direction);
    void SeekBy(double seconds);
    void SeekTo(double seconds);
    // While paused: seeks to `seconds` and shows the picture there.
    void SeekWhilePaused(double seconds);
    void Shutdown();
    // Mixing volume 0..128 for this and later recordings.
    void SetVolume(int volume);
    void SetMuted(bool muted);
    // For this and later recordings of the channel (kFrontSlot, kRearSlot).
    void SetPictureSettings(int slot, const TPictureSettings& settings);
    TPictureSettings PictureSettings(int slot) const;

    // State, for any thread.
    // Neither stopped nor closed: a recording is open.
    bool IsActive() const { return !m_stopped && !m_closed; }
    bool stopped() const { return m_stopped; }
    bool closed() const { return m_closed; }
    bool paused() const { return m_paused; }
    bool endOfFile() const { return m_endOfFile; }
    // From the open's start until its progress dialog is closed: a dialog
    // asked for after that would find nobody to close it.
    bool opening() const { return m_opening; }
    // A seek asked for and not yet taken up by the player thread.
    bool seekPending() const { return m_seekRequest != 0; }
    double duration() const { return m_duration; }
    double frameRate() const { return m_frameRate; }
    std::int64_t frameCount() const { return m_frameCount; }
    std::int32_t volume() const { return m_volume; }
    bool muted() const { return m_muted; }
    // Stream roles of the open recording, -1 when absent.
    std::int32_t frontStreamIndex() const { return m_frontStreamIndex; }
    std::int32_t rearStreamIndex() const { return m_rearStreamIndex; }
    std::int32_t audioStreamIndex() const { return m_audioStreamIndex; }
    std::int32_t gpsStreamIndex() const { return m_gpsStreamIndex; }
    std::int32_t gsensorStreamIndex() const { return m_gsensorStreamIndex; }

    // The time of the picture on screen plus the time since it was shown,
    // from the front channel (the rear when the front is not open).
    double MasterClock() const;
    // The video stream that gives the master clock, or none.
    const TVideoStreamInfo* MasterVideo() const;
    // Whole seconds of the playback position, as the main window shows it.
    std::int32_t CurrentSecond() const;
    // A reference to the channel's last decoded frame, taken under its
    // display lock; empty when none was decoded (or the view is hidden).
    TFrameHandle CopyLastFrame(int slot) const;

    // The telemetry table of the open that posted notification Opened with
    // `token` as its lParam. The controller owns each table until it is
    // taken, so a notification that never arrives loses nothing; a token of
    // an earlier open gives nothing.
    std::unique_ptr<TTelemetry> TakeTelemetry(LPARAM token);

    // The stream objects and views, slot by slot.
    TBaseStreamInfo* Stream(int slot) const;
    TVideoStreamInfo* Video(int slot) const;
    TAudioStreamInfo* Audio() const;
    TGLView* View(int slot) const;

    // What the stream threads read of the controller.
    AVFormatContext* Input() const { return m_formatContext.get(); }
    // True for the streams whose chunks are telemetry ("NNst"), whatever
    // media type FFmpeg's probe gave them.
    bool IsTelemetryStream(int streamIndex) const;
    // Counts the opens and the jumps that flush every queue; each stream
    // notes the count it decodes for, and each picture the count it came
    // from, so the sound can tell when the pictures on screen are the ones
    // after the jump.
    std::uint32_t flushSerial() const { return m_flushSerial; }
    std::int32_t stepping() const { return m_stepping; }
    std::int64_t stepTarget() const { return m_stepTarget; }
    std::int32_t stepMode() const { return m_stepMode; }
    // A decoder thread reached the step's target.
    void SignalStepReached();
    // A slot's decoder or render thread is up (the player thread waits for
    // each in turn while it starts them).
    void SignalThreadStarted(int slot);

private:
    friend class TPlayerReader;

    // Reading, on the player thread.
    bool OpenInput();
    bool ReadStep();
    bool SeekNow();
    // Reads (when readFirst) and waits until every live video stream's
    // decoder reached `target` in `mode` (a step direction).
    void PrerollTo(int mode, std::int64_t target, bool readFirst);
    void CloseInput();

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
    void PerformPausedSeek();
    // Every live video stream now shows frame `target`. Set again once the
    // decoders reached it: a picture queued before the jump may still have
    // been put on screen meanwhile, and the next step counts from here.
    void MarkShown(std::int64_t target);
    // The stream a seek is expressed in: the first slot's of the front, rear
    // and sound slots, -1 for none.
    int SeekStream() const;
    // av_seek_frame to `microseconds` in SeekStream's time base, which
    // *streamTarget gets when given.
    bool SeekToMicroseconds(std::int64_t microseconds, int flags, std::int64_t* streamTarget);
    // Seeks the input so that decoding starts at a key frame at or before
    // `target` of `stream` (AVSEEK_FLAG_* as av_seek_frame takes them).
    bool SeekInput(int stream, std::int64_t target, int flags);
    // Empties every live stream's queue and puts the flush packet in it.
    void FlushLiveQueues();
    // One av_read_frame into readPacket. Retry when a failure may clear
    // (the caller tries again later), End at the end of the file or once
    // failures never clear.
    enum class TReadResult { Packet, Retry, End };
    TReadResult ReadPacket();
    void RepairVideoIndex();

    void Notify(WPARAM code, LPARAM lParam = 0);
    void CloseProgressDialog();
    void AssignRoles();
    void OpenStreams();
    void FailOpen(const char* text);
    bool RouteSteppingPacket(AVPacket* packet);
    // Hands the player thread the recording the main thread asked for.
    std::string RequestedPath();

    // The player thread's input, while a recording is open.
    TInputHandle m_formatContext;
    TPacketHandle m_readPacket; // reused for every read
    std::string m_path;         // the open recording, the player thread's copy
    TChunkWalk m_chunks;
    TVideoPass m_videoPass;
    int m_readFailures = 0;
    UINT m_timerId = 0;
    // A stop command that arrived while a recording opened.
    TEvent* m_stopDuringOpen = nullptr;
    bool m_stopDrained = false;

    // The recording to open: the main thread writes it, the player thread
    // copies it whole when it opens.
    mutable std::mutex m_requestLock;
    std::string m_requestedPath;

    // The table of the last open until the main window takes it, and the
    // token its notification carries: a count of the opens, so that a token
    // of an earlier open never matches (an address could be reused).
    std::mutex m_telemetryLock;
    std::unique_ptr<TTelemetry> m_telemetry;
    LPARAM m_telemetryToken = 0;

    // Shared by the main, player, decoder, render and sound threads.
    std::atomic<std::int32_t> m_seekRequest{0};
    std::atomic<std::int32_t> m_seekFlags{0};
    std::atomic<std::int64_t> m_seekTarget{0}; // microseconds
    std::atomic<double> m_frameRate{0.0};
    std::atomic<double> m_duration{0.0};
    std::atomic<bool> m_stopped{true};
    std::atomic<bool> m_endOfFile{false};
    std::atomic<bool> m_seekFailed{false};
    std::atomic<bool> m_closed{true};
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_opening{false};
    std::unique_ptr<TEvent> m_stepEvent;
    std::atomic<std::int32_t> m_stepping{0};
    std::atomic<std::int64_t> m_stepTarget{-1};
    std::atomic<std::int32_t> m_stepMode{0};
    std::atomic<std::int32_t> m_pendingOp{kResumeOp};
    std::atomic<std::int64_t> m_frameCount{0};
    std::atomic<std::int32_t> m_frontStreamIndex{-1};
    std::atomic<std::int32_t> m_rearStreamIndex{-1};
    std::atomic<std::int32_t> m_audioStreamIndex{-1};
    std::atomic<std::int32_t> m_gpsStreamIndex{-1};
    std::atomic<std::int32_t> m_gsensorStreamIndex{-1};
    std::atomic<std::int32_t> m_volume{50};
    std::atomic<bool> m_muted{false};
    std::atomic<bool> m_stopWhilePaused{false};
    std::atomic<std::uint32_t> m_flushSerial{0};
    // Per video slot; the main thread sets them, the player thread copies
    // them into the streams at every open.
    std::atomic<std::int32_t> m_orientation[2] = {0, 0};
    std::atomic<std::int32_t> m_brightness[2] = {50, 50};
    std::atomic<std::int32_t> m_contrast[2] = {50, 50};
    std::atomic<std::int32_t> m_chroma[2] = {50, 50};

    TThread m_thread;
    std::unique_ptr<TEvent> m_startEvent;
    std::unique_ptr<TEvent> m_wakeEvent;
    TStreamSlot m_slots[kSlotCount];
    HWND m_notifyWindow = nullptr;
    HWND m_frontWindow = nullptr;
    HWND m_rearWindow = nullptr;
    INotifySink* m_notifySink = nullptr;
    std::unique_ptr<TGLView> m_views[2];
};
