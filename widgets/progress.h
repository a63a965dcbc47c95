#pragma once
// A transfer's progress on its bar. QProgressBar::setValue repaints on the spot whenever the percentage
// shown changes, which costs a transfer a good part of its line time; the bar is painted instead when the
// transfer next serves the event loop.

#include <QProgressBar>

#include <algorithm>

inline void ShowProgress(QProgressBar *bar, int maximum, int value)
{
    const bool updates = bar->updatesEnabled();
    bar->setUpdatesEnabled(false);
    // A range of 0 to 0 would turn the bar into a busy indicator.
    bar->setRange(0, std::max(maximum, 1));
    bar->setValue(value);
    bar->setUpdatesEnabled(updates);
}
