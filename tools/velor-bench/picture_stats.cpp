#include "tools/velor-bench/picture_stats.h"

#include <algorithm>
#include <cmath>

void TPictureStats::PictureShown(const TShownPicture& shown) {
    if (shown.slot < 0 || shown.slot > 1)
        return;
    if (m_drawnOnly && !shown.drawn)
        return;
    if (shown.slot == 0 && m_firstPicture == 0)
        m_firstPicture = static_cast<std::int64_t>(shown.shownSeconds * 1000000.0);
    if (!m_counting)
        return;
    const double error = std::fabs(shown.shownSeconds - shown.dueSeconds);
    std::lock_guard guard(m_lock);
    TSums& sums = m_sums[shown.slot];
    ++sums.shown;
    if (shown.shownSeconds - shown.dueSeconds > kLateSeconds)
        ++sums.late;
    sums.errorSum += error;
    sums.errorMax = std::max(sums.errorMax, error);
}

TChannelFigures TPictureStats::Figures(int slot) const {
    std::lock_guard guard(m_lock);
    const TSums& sums = m_sums[slot];
    TChannelFigures figures;
    figures.shown = sums.shown;
    figures.late = sums.late;
    if (sums.shown > 0)
        figures.meanErrorMs = sums.errorSum / static_cast<double>(sums.shown) * 1000.0;
    figures.maxErrorMs = sums.errorMax * 1000.0;
    return figures;
}
