#include "tools/support/notify_log.h"

extern "C" {
#include <libavutil/time.h>
}

void TNotifyLog::Notify(WPARAM code, LPARAM lParam) {
    const std::int64_t now = av_gettime();
    std::lock_guard guard(m_lock);
    if (code == PlayerNotify::Opened)
        m_openedToken = lParam;
    m_entries.push_back({code, now});
}

size_t TNotifyLog::Mark() const {
    std::lock_guard guard(m_lock);
    return m_entries.size();
}

std::int64_t TNotifyLog::TimeOf(WPARAM code, size_t mark) const {
    std::lock_guard guard(m_lock);
    for (size_t i = mark; i < m_entries.size(); ++i) {
        if (m_entries[i].code == code)
            return m_entries[i].micros;
    }
    return 0;
}

LPARAM TNotifyLog::OpenedToken() const {
    std::lock_guard guard(m_lock);
    return m_openedToken;
}

void TNotifyLog::Print(std::FILE* out) const {
    std::lock_guard guard(m_lock);
    for (const TEntry& entry : m_entries)
        std::fprintf(out, "notification 0x%lx at %lld us\n", static_cast<unsigned long>(entry.code),
                     static_cast<long long>(entry.micros));
}
