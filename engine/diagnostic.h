#pragma once
// A diagnostic line that a fault may repeat many times a second (a damaged
// stream, from a real-time thread): written at most once a second, with the
// number of repeats held back since the last time. One thread at a time.

#include <cstdint>
#include <cstdio>

class TDiagnostic {
public:
    explicit TDiagnostic(const char* text, std::FILE* out = stderr) : m_text(text), m_out(out) {}

    void Say();
    // Say at `nowMicros` on a steady clock (tests give their own).
    void SayAt(std::int64_t nowMicros);

private:
    static constexpr std::int64_t kIntervalMicros = 1000000;

    const char* m_text;
    std::FILE* m_out;
    bool m_written = false;
    std::int64_t m_writtenAt = 0;
    std::uint64_t m_heldBack = 0;
};
