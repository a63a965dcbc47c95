#pragma once
// Where a window restored from ORV.ini goes.

#include <QPoint>
#include <QSize>

namespace orvane {

// A saved top-left counts only when it lies on the primary screen, at least 10 pixels short of its
// right and bottom edges; -1 (never saved) never counts.
bool SavedPlaceOnScreen(int top, int left);

// The top-left that centres a window of this size on the primary screen's desktop.
QPoint CentredOnScreen(QSize size);

}  // namespace orvane
