#pragma once

#include "app/settings.h"

#include <QDate>
#include <QLatin1String>
#include <QList>
#include <QString>

#include <array>

namespace orvane {

// A home position file (.vpd) is INI text: section [HOME_POSITION] with keys
// CH1..CH24, each a channel value code in decimal.
inline constexpr QLatin1String kHomeSection{"HOME_POSITION"};
inline constexpr QLatin1String kHomeExtension{".vpd"};
inline constexpr int kDefaultHomeValue = 90;

using HomePosition = std::array<int, kChannelCount>;  // index = channel - 1

inline QString HomeKey(int channel) { return QStringLiteral("CH%1").arg(channel); }

struct HomeFileContent {
    HomePosition values = detail::Filled<kChannelCount>(kDefaultHomeValue);
    // Channels whose value was a number but no channel value code. They read
    // as 90 like a missing key rather than being sent to a board cut to a byte.
    QList<int> outOfRange;
};

// Only [HOME_POSITION] CH1..CH24 count; a missing key or a value that is not a
// number gives 90. Fails (nothing read) when the file cannot be read.
bool ReadHomeFile(const QString &path, HomeFileContent *content, QString *error);

// Writes CH1..CH24 into [HOME_POSITION] of `path`, keeping everything else an
// existing file holds; creates the file otherwise. Saved atomically.
bool SaveHomeFile(const QString &path, const HomePosition &home, QString *error);

// "pose" becomes "pose.vpd"; a name that has any extension is kept.
QString WithHomeFileExtension(const QString &name);

// "04_07_15_HOME.vpd" for 15 July 2004.
QString HomeFileStartName(const QDate &date);
QString HomeFileStartPath(const QString &folder, const QDate &date);

}  // namespace orvane
