#include "engine/player_reader.h"

#include "engine/base_stream_info.h"
#include "engine/gl_view.h"
#include "engine/media_player.h"

namespace {

// A render thread that cannot start (no display) answers at once; one that
// hangs must not hang its caller for ever.
constexpr DWORD kThreadStartLimitMs = 10000;

} // namespace

TPlayerReader::TPlayerReader(TMediaPlayer& player, TStreams streams) : m_player(player) {
    if (streams != TStreams::Prepare)
        return;
    for (TStreamSlot& slot : m_player.m_slots) {
        if (slot.info)
            slot.info->Init(0);
    }
    m_preparedStreams = true;
}

TPlayerReader::~TPlayerReader() {
    if (!m_preparedStreams)
        return;
    for (TStreamSlot& slot : m_player.m_slots) {
        if (slot.info)
            slot.info->Close();
    }
    m_player.CloseInput();
}

bool TPlayerReader::Open(const std::string& path) {
    {
        std::lock_guard lock(m_player.m_requestLock);
        m_player.m_requestedPath = path;
    }
    return m_player.OpenInput();
}

bool TPlayerReader::ReadStep() {
    return m_player.ReadStep();
}

bool TPlayerReader::Seek(std::int64_t microseconds, int flags) {
    m_player.m_seekTarget = microseconds;
    m_player.m_seekFlags = flags;
    m_player.m_seekRequest = 1;
    const bool done = m_player.SeekNow();
    m_player.m_seekRequest = 0;
    return done;
}

void TPlayerReader::PrerollTo(int mode, std::int64_t target, bool readFirst) {
    m_player.PrerollTo(mode, target, readFirst);
}

void TPlayerReader::Close() {
    m_player.CloseInput();
}

AVFormatContext* TPlayerReader::Input() const {
    return m_player.Input();
}

TSeekRequest TPlayerReader::PendingSeek() const {
    return {m_player.m_seekRequest != 0, m_player.m_seekTarget, m_player.m_seekFlags};
}

void TPlayerReader::SetStopped(bool stopped) {
    m_player.m_stopped = stopped;
}
void TPlayerReader::SetClosed(bool closed) {
    m_player.m_closed = closed;
}
void TPlayerReader::SetPaused(bool paused) {
    m_player.m_paused = paused;
}
void TPlayerReader::SetEndOfFile(bool endOfFile) {
    m_player.m_endOfFile = endOfFile;
}

void TPlayerReader::SetStepping(int mode, std::int64_t target) {
    m_player.m_stepMode = mode;
    m_player.m_stepTarget = target;
    m_player.m_stepping = 1;
}

void TPlayerReader::EndStepping() {
    m_player.m_stepping = 0;
}
void TPlayerReader::SetFlushSerial(std::uint32_t serial) {
    m_player.m_flushSerial = serial;
}
void TPlayerReader::SetFrameCount(std::int64_t frames) {
    m_player.m_frameCount = frames;
}

bool TPlayerReader::StartRenderThread(int slot, TGLView& view) {
    TStreamSlot& entry = m_player.m_slots[slot];
    entry.startEvent = std::make_unique<TEvent>(false, false);
    entry.renderThread.Start([this, slot, &view] { RenderThread(m_player, slot, view); });
    const bool started = entry.startEvent->Wait(kThreadStartLimitMs) == WAIT_OBJECT_0;
    return started;
}

void TPlayerReader::EndRenderThread(int slot) {
    TStreamSlot& entry = m_player.m_slots[slot];
    const bool wasStopped = m_player.m_stopped;
    m_player.m_stopped = true;
    if (TBaseStreamInfo* info = entry.info.get(); info && info->refreshEvent)
        info->refreshEvent->Set();
    entry.renderThread.Join();
    entry.startEvent.reset();
    m_player.m_stopped = wasStopped;
}
