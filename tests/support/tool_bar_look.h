#pragma once
// A list editor's tool bar as the user sees it: its picture buttons in their order, each with its hint, each
// picture firm (nothing faint enough to look disabled) and unlike every other picture on the same bar.

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

struct ToolHint {
    const char *name;
    const char *hint;  // UTF-8
};

// The picture of the button `name` of `window` as a 20-pixel tool bar shows it; null when there is no button.
inline QImage ToolPicture(const QWidget &window, const char *name)
{
    const auto *button = window.findChild<QToolButton *>(QLatin1String(name));
    if (!button)
        return {};
    return button->icon().pixmap(QSize(20, 20)).toImage().convertToFormat(QImage::Format_ARGB32);
}

inline void ExpectToolBarLook(const QToolBar *bar, const std::vector<ToolHint> &buttons)
{
    ASSERT_NE(bar, nullptr);
    QStringList order;
    for (QAction *action : bar->actions())
        if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(action)))
            order << button->objectName();
    QStringList expected;
    for (const ToolHint &button : buttons)
        expected << QLatin1String(button.name);
    EXPECT_EQ(order, expected);

    const QWidget &window = *bar->window();
    std::vector<QImage> seen;
    for (const ToolHint &button : buttons) {
        const auto *widget = window.findChild<QToolButton *>(QLatin1String(button.name));
        ASSERT_NE(widget, nullptr) << button.name;
        EXPECT_EQ(widget->toolTip(), QString::fromUtf8(button.hint)) << button.name;
        const QImage picture = ToolPicture(window, button.name);
        int dark = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (c.alpha() > 200 && c.lightness() < 110)
                    ++dark;
            }
        EXPECT_GE(dark, 15) << button.name << " has no firm outline";
        for (size_t i = 0; i < seen.size(); ++i)
            EXPECT_NE(picture, seen[i]) << button.name << " looks like " << buttons[i].name;
        seen.push_back(picture);
    }
}
