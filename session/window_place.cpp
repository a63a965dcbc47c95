#include "session/window_place.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>

namespace orvane {

namespace {
const QRect kNoScreen(0, 0, 1024, 768);
}  // namespace

bool SavedPlaceOnScreen(int top, int left)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : kNoScreen;
    return top >= 0 && top < area.height() - 10 && left >= 0 && left < area.width() - 10;
}

QPoint CentredOnScreen(QSize size)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->availableGeometry() : kNoScreen;
    return {desk.left() + (desk.width() - size.width()) / 2, desk.top() + (desk.height() - size.height()) / 2};
}

}  // namespace orvane
