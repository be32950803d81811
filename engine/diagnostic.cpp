#include "engine/diagnostic.h"

#include <chrono>

void TDiagnostic::Say() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    SayAt(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
}

void TDiagnostic::SayAt(std::int64_t nowMicros) {
    if (m_written && nowMicros - m_writtenAt < kIntervalMicros) {
        ++m_heldBack;
        return;
    }
    if (m_heldBack > 0)
        std::fprintf(m_out, "%s (and %llu more times)\n", m_text,
                     static_cast<unsigned long long>(m_heldBack));
    else
        std::fprintf(m_out, "%s\n", m_text);
    m_written = true;
    m_writtenAt = nowMicros;
    m_heldBack = 0;
}
