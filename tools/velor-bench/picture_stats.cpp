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
    const double draw = shown.shownSeconds - shown.drawSeconds;
    sums.startLateSum += shown.drawSeconds - shown.dueSeconds;
    sums.drawSum += draw;
    sums.drawMax = std::max(sums.drawMax, draw);
}

TChannelFigures TPictureStats::Figures(int slot) const {
    std::lock_guard guard(m_lock);
    const TSums& sums = m_sums[slot];
    TChannelFigures figures;
    figures.shown = sums.shown;
    figures.late = sums.late;
    if (sums.shown > 0) {
        const double count = static_cast<double>(sums.shown);
        figures.meanErrorMs = sums.errorSum / count * 1000.0;
        figures.meanStartLateMs = sums.startLateSum / count * 1000.0;
        figures.meanDrawMs = sums.drawSum / count * 1000.0;
    }
    figures.maxErrorMs = sums.errorMax * 1000.0;
    figures.maxDrawMs = sums.drawMax * 1000.0;
    return figures;
}
