#pragma once
// Collects what the render threads report of each picture, per channel.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "engine/gl_view.h"

// A picture shown more than this long after it was due counts as late.
inline constexpr double kLateSeconds = 0.010;

struct TChannelFigures {
    std::int64_t shown = 0;
    std::int64_t late = 0;
    double meanErrorMs = 0.0;
    double maxErrorMs = 0.0;
    // Where the error comes from: the pass starting after the due time,
    // and the drawing itself (upload, draw, swap).
    double meanStartLateMs = 0.0;
    double meanDrawMs = 0.0;
    double maxDrawMs = 0.0;
};

class TPictureStats : public IPictureObserver {
public:
    // With `drawnOnly`, pictures a view did not draw are not counted (a
    // windowed run); without, every picture taken at its time counts.
    explicit TPictureStats(bool drawnOnly) : m_drawnOnly(drawnOnly) {}

    void PictureShown(const TShownPicture& shown) override;
    // Counting starts and stops here; the first picture is noted regardless.
    void SetCounting(bool on) { m_counting = on; }
    // av_gettime() microseconds of the first picture of channel 0, or 0.
    std::int64_t FirstPictureMicros() const { return m_firstPicture; }
    TChannelFigures Figures(int slot) const;

private:
    struct TSums {
        std::int64_t shown = 0;
        std::int64_t late = 0;
        double errorSum = 0.0;
        double errorMax = 0.0;
        double startLateSum = 0.0;
        double drawSum = 0.0;
        double drawMax = 0.0;
    };
    const bool m_drawnOnly;
    std::atomic<bool> m_counting{false};
    std::atomic<std::int64_t> m_firstPicture{0};
    mutable std::mutex m_lock;
    TSums m_sums[2];
};
