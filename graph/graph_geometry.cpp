#include "graph/graph_geometry.h"

#include <algorithm>

namespace orvane::graph {

int RowStep(int speed) { return 3 * (std::clamp(speed, 0, 7) + 1); }

int SpeedOfText(QStringView text) { return ParseDecimal(text).value_or(0); }

std::vector<int> RowXs(std::span<const int> speeds)
{
    std::vector<int> xs;
    xs.reserve(speeds.size());
    int x = kFirstRowX;
    for (size_t r = 0; r < speeds.size(); ++r) {
        if (r > 0)
            x += RowStep(speeds[r]);
        xs.push_back(x);
    }
    return xs;
}

int ValueY(int value) { return 190 - value; }

bool IsPositionY(int y) { return y >= 10 && y <= 190; }

std::optional<int> PositionYOfText(QStringView text)
{
    const std::optional<int> v = ParseDecimal(text);
    // Far-off numbers must not overflow on their way to a y.
    if (!v || *v < 0 || *v > 180)
        return std::nullopt;
    return ValueY(*v);
}

int PictureWidth(int lastRowX, int boxWidth) { return boxWidth - 20 < lastRowX ? lastRowX + 20 : boxWidth - 20; }

std::vector<Tick> RowTicks(std::span<const int> xs)
{
    std::vector<Tick> ticks;
    for (size_t r = 4; r < xs.size(); r += 5) {
        const int x = xs[r];
        ticks.push_back({QLine(x, 90, x, 109), QPoint(x - 5, 110), QString::number(r + 1)});
    }
    return ticks;
}

std::vector<Segment> ChannelSegments(std::span<const int> xs, std::span<const std::optional<int>> ys)
{
    std::vector<Segment> segments;
    const size_t n = std::min(xs.size(), ys.size());
    if (n < 2)
        return segments;
    std::optional<int> y1 = ys[0];
    for (size_t r = 0; r + 1 < n; ++r) {
        std::optional<int> y2 = ys[r + 1];
        if (y1) {
            const bool dotted = !y2;
            if (dotted)
                y2 = y1;
            segments.push_back({QPoint(xs[r], *y1), QPoint(xs[r + 1], *y2), dotted});
        }
        y1 = y2;
    }
    return segments;
}

QRect SquareAround(QPoint p) { return QRect(p.x() - 2, p.y() - 2, 5, 5); }

int RowAtX(std::span<const int> xs, int mouseX)
{
    for (size_t r = 0; r < xs.size(); ++r) {
        if (xs[r] - 2 <= mouseX && mouseX <= xs[r] + 3)
            return int(r);
    }
    return -1;
}

namespace {

std::vector<int> XsOfRows(const MotionRows &rows, int count)
{
    std::vector<int> speeds;
    speeds.reserve(size_t(count));
    for (int r = 0; r < count; ++r)
        speeds.push_back(SpeedOfText(rows.fieldView(r, kSpeedColumn)));
    return RowXs(speeds);
}

}  // namespace

ChartLayout LayoutChart(const MotionRows &rows, int rowCount, const std::array<bool, kChannelCount> &drawn,
                        int boxWidth)
{
    const int n = std::clamp<int>(rowCount, 0, int(rows.size()));
    ChartLayout chart;
    chart.xs = XsOfRows(rows, n);
    chart.width = PictureWidth(chart.xs.empty() ? kFirstRowX : chart.xs.back(), boxWidth);
    chart.frame = QRect(QPoint(4, 5), QPoint(chart.width - 6, 194));
    chart.rowAxis = QLine(10, 6, 10, 194);
    chart.centreLine = QLine(5, 100, chart.width - 6, 100);
    chart.ticks = RowTicks(chart.xs);
    if (n < 2)
        return chart;
    std::vector<std::optional<int>> ys(static_cast<size_t>(n));
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (!drawn[size_t(ch)])
            continue;
        for (int r = 0; r < n; ++r)
            ys[size_t(r)] = PositionYOfText(rows.fieldView(r, kFirstChannelColumn + ch));
        chart.curves[size_t(ch)] = ChannelSegments(chart.xs, ys);
    }
    return chart;
}

int RowAtClick(const MotionRows &rows, int mouseX)
{
    // Walk the rows and stop at the first in reach, as the click does.
    int x = kFirstRowX;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        if (r > 0)
            x += RowStep(SpeedOfText(rows.fieldView(r, kSpeedColumn)));
        if (x - 2 <= mouseX && mouseX <= x + 3)
            return int(r);
    }
    return -1;
}

}  // namespace orvane::graph
