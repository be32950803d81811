#pragma once
// The controller's notifications with the time each arrived, so that a tool
// measures up to the notification, not up to when it looked.

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <vector>

#include "engine/notify_sink.h"

class TNotifyLog : public INotifySink {
public:
    void Notify(WPARAM code, LPARAM lParam) override;
    void CloseProgressDialog() override {}

    // Where the next notification will be; pass it to TimeOf.
    size_t Mark() const;
    // av_gettime() microseconds of the first `code` at or after `mark`, or 0.
    std::int64_t TimeOf(WPARAM code, size_t mark) const;
    bool Seen(WPARAM code, size_t mark) const { return TimeOf(code, mark) != 0; }
    // What the last Opened carried, to take its telemetry table with
    // (TMediaPlayer::TakeTelemetry).
    LPARAM OpenedToken() const;
    // Every notification with its time, for looking into odd figures.
    void Print(std::FILE* out) const;

private:
    struct TEntry {
        WPARAM code;
        std::int64_t micros;
    };
    mutable std::mutex m_lock;
    std::vector<TEntry> m_entries;
    LPARAM m_openedToken = 0;
};
