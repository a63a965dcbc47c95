#include "graph/graph_geometry.h"

#include <algorithm>
#include <limits>

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
    if (!v || !IsPosition(*v))
        return std::nullopt;
    return ValueY(*v);
}

int PictureWidth(int lastRowX, int boxWidth) { return boxWidth - 20 < lastRowX ? lastRowX + 20 : boxWidth - 20; }

std::vector<Tick> RowTicks(std::span<const int> xs, int firstRow)
{
    std::vector<Tick> ticks;
    for (size_t r = size_t((5 - (firstRow + 1) % 5) % 5); r < xs.size(); r += 5) {
        const int x = xs[r];
        ticks.push_back({QLine(x, 90, x, 109), QPoint(x - 5, 110), QString::number(firstRow + qsizetype(r) + 1)});
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

int StepOfRow(const MotionRows &rows, int row) { return RowStep(SpeedOfText(rows.FieldView(row, kSpeedColumn))); }

// Reaches of what is drawn around a row's x: squares two pixels, a row number to its right.
constexpr int kDrawReach = 256;

}  // namespace

void RowIndex::Rebuild(const MotionRows &rows)
{
    blocks_.clear();
    rowCount_ = 0;
    RebuildRange(rows, 0, 0, 0, int(rows.Size()));
    blocks_.shrink_to_fit();
}

void RowIndex::RebuildRange(const MotionRows &rows, size_t from, size_t to, int firstRow, int count)
{
    std::vector<Block> made;
    made.reserve(size_t(count / kBlockRows + 1));
    for (int start = firstRow; start < firstRow + count; start += kBlockRows) {
        Block block;
        block.rows = std::min(kBlockRows, firstRow + count - start);
        for (int r = start; r < start + block.rows; ++r)
            block.steps += StepOfRow(rows, r);
        // Only the last position counts: read from the block's end until every channel has one.
        int open = kChannelCount;
        for (int r = start + block.rows - 1; r >= start && open > 0; --r) {
            for (int ch = 0; ch < kChannelCount; ++ch) {
                if (block.y[size_t(ch)] != 0)
                    continue;
                if (const std::optional<int> y = PositionYOfText(rows.FieldView(r, kFirstChannelColumn + ch))) {
                    block.y[size_t(ch)] = uint8_t(*y);
                    --open;
                }
            }
        }
        made.push_back(block);
    }
    for (size_t b = from; b < to; ++b)
        rowCount_ -= blocks_[b].rows;
    rowCount_ += count;
    blocks_.erase(blocks_.begin() + qsizetype(from), blocks_.begin() + qsizetype(to));
    blocks_.insert(blocks_.begin() + qsizetype(from), made.begin(), made.end());
}

RowIndex::Place RowIndex::Locate(int row) const
{
    Place place{0, 0, 0};
    while (place.block < blocks_.size() && place.firstRow + blocks_[place.block].rows <= row) {
        place.firstRow += blocks_[place.block].rows;
        place.stepsBefore += blocks_[place.block].steps;
        ++place.block;
    }
    return place;
}

void RowIndex::Inserted(const MotionRows &rows, int first, int last)
{
    const int count = last - first + 1;
    if (count <= 0)
        return;
    // New rows join the block they land in (after the last row: the last block).
    Place place = Locate(first);
    if (place.block == blocks_.size() && place.block > 0) {
        --place.block;
        place.firstRow -= blocks_[place.block].rows;
    }
    const size_t to = std::min(place.block + 1, blocks_.size());
    const int old = place.block < blocks_.size() ? blocks_[place.block].rows : 0;
    RebuildRange(rows, place.block, to, place.firstRow, old + count);
}

void RowIndex::Removed(const MotionRows &rows, int first, int last)
{
    const int count = last - first + 1;
    if (count <= 0)
        return;
    const Place a = Locate(first);
    size_t to = a.block;
    int end = a.firstRow;  // one past the last row of the blocks touched, counted before the removal
    while (to < blocks_.size() && end <= last) {
        end += blocks_[to].rows;
        ++to;
    }
    RebuildRange(rows, a.block, to, a.firstRow, std::max(end - count - a.firstRow, 0));
}

void RowIndex::Changed(const MotionRows &rows, int first, int last)
{
    if (first > last)
        return;
    const Place a = Locate(first);
    size_t to = a.block;
    int end = a.firstRow;
    while (to < blocks_.size() && end <= last) {
        end += blocks_[to].rows;
        ++to;
    }
    RebuildRange(rows, a.block, to, a.firstRow, end - a.firstRow);
}

int RowIndex::FirstStep(const MotionRows &rows) const { return rowCount_ > 0 ? StepOfRow(rows, 0) : 0; }

int RowIndex::XOfRow(const MotionRows &rows, int row) const
{
    row = std::clamp(row, 0, std::max(rowCount_ - 1, 0));
    const Place place = Locate(row);
    int steps = place.stepsBefore;
    for (int r = place.firstRow; r <= row; ++r)
        steps += StepOfRow(rows, r);
    // The first row's own step moves nothing.
    return kFirstRowX + steps - FirstStep(rows);
}

int RowIndex::FirstRowFrom(const MotionRows &rows, int x) const
{
    if (x <= kFirstRowX)
        return 0;
    // Row r lies at kFirstRowX + (steps of rows 0..r) - first step.
    const int want = x - kFirstRowX + FirstStep(rows);
    int firstRow = 0;
    int steps = 0;
    size_t b = 0;
    while (b < blocks_.size() && steps + blocks_[b].steps < want) {
        steps += blocks_[b].steps;
        firstRow += blocks_[b].rows;
        ++b;
    }
    if (b == blocks_.size())
        return rowCount_;
    for (int r = firstRow;; ++r) {
        steps += StepOfRow(rows, r);
        if (steps >= want)
            return r;
    }
}

std::array<std::optional<int>, kChannelCount> RowIndex::CarriedYs(const MotionRows &rows, int row) const
{
    std::array<std::optional<int>, kChannelCount> ys{};
    if (row < 0 || rowCount_ == 0)
        return ys;
    row = std::min(row, rowCount_ - 1);
    const Place place = Locate(row);
    int open = kChannelCount;
    for (int r = row; r >= place.firstRow && open > 0; --r) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            if (ys[size_t(ch)])
                continue;
            if ((ys[size_t(ch)] = PositionYOfText(rows.FieldView(r, kFirstChannelColumn + ch))))
                --open;
        }
    }
    for (size_t b = place.block; b-- > 0 && open > 0;) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            if (!ys[size_t(ch)] && blocks_[b].y[size_t(ch)] != 0) {
                ys[size_t(ch)] = blocks_[b].y[size_t(ch)];
                --open;
            }
        }
    }
    return ys;
}

ChartLayout LayoutChart(const MotionRows &rows, int rowCount, const std::array<bool, kChannelCount> &drawn,
                        int boxWidth)
{
    RowIndex index;
    index.Rebuild(rows);
    return LayoutChartPart(rows, index, rowCount, drawn, boxWidth, 0, std::numeric_limits<int>::max() - kDrawReach);
}

ChartLayout LayoutChartPart(const MotionRows &rows, const RowIndex &index, int rowCount,
                            const std::array<bool, kChannelCount> &drawn, int boxWidth, int left, int right)
{
    const int n = std::clamp<int>(rowCount, 0, index.size());
    ChartLayout chart;
    chart.width = PictureWidth(n > 0 ? index.XOfRow(rows, n - 1) : kFirstRowX, boxWidth);
    chart.frame = QRect(QPoint(4, 5), QPoint(chart.width - 6, 194));
    chart.rowAxis = QLine(10, 6, 10, 194);
    chart.centreLine = QLine(5, 100, chart.width - 6, 100);
    if (n == 0)
        return chart;
    // From the row before the first that reaches the columns, to the first row past them.
    const int first = std::clamp(index.FirstRowFrom(rows, left - kDrawReach) - 1, 0, n - 1);
    chart.firstRow = first;
    int x = index.XOfRow(rows, first);
    for (int r = first; r < n; ++r) {
        if (r > first)
            x += StepOfRow(rows, r);
        chart.xs.push_back(x);
        if (x >= right + kDrawReach)
            break;
    }
    chart.ticks = RowTicks(chart.xs, first);
    if (n < 2)
        return chart;
    const std::array<std::optional<int>, kChannelCount> carried = index.CarriedYs(rows, first);
    std::vector<std::optional<int>> ys(chart.xs.size());
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (!drawn[size_t(ch)])
            continue;
        ys[0] = carried[size_t(ch)];
        for (size_t i = 1; i < ys.size(); ++i)
            ys[i] = PositionYOfText(rows.FieldView(first + qsizetype(i), kFirstChannelColumn + ch));
        chart.curves[size_t(ch)] = ChannelSegments(chart.xs, ys);
    }
    return chart;
}

int RowAtClick(const MotionRows &rows, int mouseX)
{
    // Walk the rows and stop at the first in reach, as the click does.
    int x = kFirstRowX;
    for (qsizetype r = 0; r < rows.Size(); ++r) {
        if (r > 0)
            x += RowStep(SpeedOfText(rows.FieldView(r, kSpeedColumn)));
        if (x - 2 <= mouseX && mouseX <= x + 3)
            return int(r);
    }
    return -1;
}

}  // namespace orvane::graph
