#pragma once
// The player thread's reading operations, run on the calling thread: for
// tools and tests that open and read a recording exactly as the player does
// without starting its threads, and for tests that put the controller into
// the states its other threads react to.

#include <cstdint>
#include <string>

struct AVFormatContext;
class TGLView;
class TMediaPlayer;

// A seek as SeekBy and SeekTo leave it for the reader.
struct TSeekRequest {
    bool pending = false;
    std::int64_t targetMicros = 0;
    int flags = 0; // AVSEEK_FLAG_*
};

class TPlayerReader {
public:
    // With Prepare the reader initialises the player's stream objects
    // without windows, and closes them and the input when it goes.
    enum class TStreams { Prepare, AsTheyAre };
    explicit TPlayerReader(TMediaPlayer& player, TStreams streams = TStreams::Prepare);
    ~TPlayerReader();
    TPlayerReader(const TPlayerReader&) = delete;
    TPlayerReader& operator=(const TPlayerReader&) = delete;

    // Opens `path` as the player thread does: the notifications, the roles,
    // the telemetry and the stream objects. False after the error box.
    bool Open(const std::string& path);
    // One step of the reading loop: false once the recording ended or the
    // player stops.
    bool ReadStep();
    // Asks for a seek and carries it out as the reading loop would.
    bool Seek(std::int64_t microseconds, int flags);
    // Reads (when readFirst) until every live video stream has `target`
    // queued, then waits (bounded) for the decoders to reach it.
    void PrerollTo(int mode, std::int64_t target, bool readFirst);
    void Close();
    AVFormatContext* Input() const;
    TSeekRequest PendingSeek() const;

    // The states the stream threads read.
    void SetStopped(bool stopped);
    void SetClosed(bool closed);
    void SetPaused(bool paused);
    void SetEndOfFile(bool endOfFile);
    // Steps towards `target` in `mode` (a step direction) until EndStepping.
    void SetStepping(int mode, std::int64_t target);
    void EndStepping();
    void SetFlushSerial(std::uint32_t serial);
    // Ends the recording earlier than its chunks say.
    void SetFrameCount(std::int64_t frames);

    // A slot's render thread on `view`, started and ended as the player
    // thread does.
    bool StartRenderThread(int slot, TGLView& view);
    void EndRenderThread(int slot);

private:
    TMediaPlayer& m_player;
    bool m_preparedStreams = false;
};
