#pragma once
// What the graph tests draw: motion rows and the colours they expect.

#include "motion/motion_data.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>

// Colour numbers are 0x00BBGGRR.
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kYellow = 0x00FFFF;
constexpr uint32_t kNavy = 0x800000;
constexpr QRgb kBlackRgb = 0xFF000000;
constexpr QRgb kWhiteRgb = 0xFFFFFFFF;
constexpr QRgb kGreyRgb = 0xFF808080;
constexpr QRgb kRedRgb = 0xFFFF0000;
constexpr QRgb kYellowRgb = 0xFFFFFF00;

// A motion row; channels not given stay at 90.
inline QStringList Row(int speed, std::initializer_list<int> channels, const QString &name = QStringLiteral("DATA"))
{
    QStringList fields{QStringLiteral("1"), name, QString::number(speed)};
    for (int v : channels)
        fields << QString::number(v);
    while (fields.size() < orvane::kMotionFieldCount)
        fields << QStringLiteral("90");
    return fields;
}
