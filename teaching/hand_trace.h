#pragma once
// A movement made by hand as the boards reported it: samples of the 24 channel values with the time they
// were taken, and its file form (CSV: a header line, then the time in ms and the 24 values per line).

#include "protocol/board_facts.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace orvane {

// Values of channels 1 to 24, channel 1 first.
using PoseValues = std::array<int, kChannelCount>;

struct TraceSample {
    qint64 ms = 0;  // since the recording began
    PoseValues values{};
    bool operator==(const TraceSample &) const = default;
};
using Trace = std::vector<TraceSample>;

QByteArray TraceToCsv(const Trace &trace);
// Lines of another shape, values outside 0-255, times below 0 or running backwards: false, and `error` says
// which line and why; `trace` is then left as it was. A first line that does not start with a number is the
// header.
bool TraceFromCsv(const QByteArray &text, Trace &trace, QString *error);

bool SaveTrace(const QString &path, const Trace &trace, QString *error);
bool LoadTrace(const QString &path, Trace &trace, QString *error);

}  // namespace orvane
