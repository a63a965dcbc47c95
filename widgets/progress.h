#pragma once
// A transfer's progress on its bar. QProgressBar::setValue repaints on the spot whenever the percentage
// shown changes, which costs a transfer a good part of its line time; the bar is painted instead when the
// transfer next serves the event loop, and at most once a display frame: a styled bar takes longer to paint
// than a short command takes on the line. The value is always exact; the picture follows within a frame, and
// at once for the first and the last position.

#include <QProgressBar>
#include <QTimer>

#include <algorithm>
#include <chrono>

namespace progress_detail {

constexpr auto kFrame = std::chrono::milliseconds(16);

inline qint64 NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline void Paint(QProgressBar *bar)
{
    bar->setProperty("progressPaintedMs", NowMs());
    bar->setProperty("progressPaintDue", false);
    bar->setUpdatesEnabled(true);
}

}  // namespace progress_detail

inline void ShowProgress(QProgressBar *bar, int maximum, int value)
{
    using namespace progress_detail;
    bar->setUpdatesEnabled(false);
    // A range of 0 to 0 would turn the bar into a busy indicator.
    bar->setRange(0, std::max(maximum, 1));
    bar->setValue(value);
    const qint64 since = NowMs() - bar->property("progressPaintedMs").toLongLong();
    if (value <= 0 || value >= maximum || since >= kFrame.count()) {
        Paint(bar);
    } else if (!bar->property("progressPaintDue").toBool()) {
        bar->setProperty("progressPaintDue", true);
        QTimer::singleShot(std::chrono::milliseconds(kFrame.count() - since), bar, [bar] { Paint(bar); });
    }
}
