#pragma once

#include "motion/motion_data.h"

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// Where the graph window's chart puts things, in pixels of its 200-pixel-high
// picture. The window paints what these return and computes nothing itself.
// Lines are given by their two end points.
namespace orvane::graph {

constexpr int kPictureHeight = 200;
constexpr int kFirstRowX = 10;

// A row lies 3 x (its own speed + 1) pixels right of the row before it. A speed
// text that is no integer counts as 0, one outside 0..7 is held to that range.
int RowStep(int speed);
int SpeedOfText(QStringView text);
std::vector<int> RowXs(std::span<const int> speeds);

// y = 190 - v; only 10..190 is a position, so every mode code is none.
int ValueY(int value);
bool IsPositionY(int y);
// The y of a channel value text, or none for a code or a text that is no number.
std::optional<int> PositionYOfText(QStringView text);

// The chart fills the scroll box less 20 pixels and grows past it with the rows.
int PictureWidth(int lastRowX, int boxWidth);

struct Tick {
    QLine line;     // grey tick through the centre line
    QPoint textAt;  // top left of the row number
    QString text;   // the row number, 1-based
};
// A tick and number under every fifth row (rows 5, 10, ...); xs[0] is row `firstRow`.
std::vector<Tick> RowTicks(std::span<const int> xs, int firstRow = 0);

struct Segment {
    QPoint from;
    QPoint to;
    bool dotted = false;
};
// The curve of one channel from the x of every row and the y of its value in
// that row (none: a mode code). A segment starts only at a position; where the
// next row holds none, the line stays level, dotted, and that level carries on
// as the next row's point until a position comes back. Each segment's ends get
// a square (SquareAround) drawn before the line.
std::vector<Segment> ChannelSegments(std::span<const int> xs, std::span<const std::optional<int>> ys);

// The 5 x 5 square outline around a curve point, black inside.
QRect SquareAround(QPoint p);

// The row a click at mouse x names: the first row with x - 2 <= mouseX <= x + 3,
// or -1. The mouse y plays no part.
int RowAtX(std::span<const int> xs, int mouseX);

// The x of every row and the last position of every channel, kept in blocks of
// rows so that a long motion is found in without walking all of it, and a change
// costs a block's worth of parsing. Follows the rows by being told of each change
// (the rows are then already changed); holds nothing per row.
class RowIndex {
public:
    static constexpr int kBlockRows = 256;

    void Rebuild(const MotionRows &rows);
    void Inserted(const MotionRows &rows, int first, int last);
    void Removed(const MotionRows &rows, int first, int last);
    void Changed(const MotionRows &rows, int first, int last);

    int size() const { return rowCount_; }
    int XOfRow(const MotionRows &rows, int row) const;
    // The first row whose x is at least `x` (size() when there is none).
    int FirstRowFrom(const MotionRows &rows, int x) const;
    // Per channel the y of the last position in rows 0..row, or none.
    std::array<std::optional<int>, kChannelCount> CarriedYs(const MotionRows &rows, int row) const;
    size_t MemoryBytes() const { return blocks_.capacity() * sizeof(Block); }

private:
    struct Block {
        int rows = 0;
        int steps = 0;                           // sum of the rows' steps
        std::array<uint8_t, kChannelCount> y{};  // last position's y per channel, 0 for none
    };
    // Replaces blocks [from, to) with blocks built from rows [firstRow, firstRow + count).
    void RebuildRange(const MotionRows &rows, size_t from, size_t to, int firstRow, int count);
    // The block holding `row`, its first row and the steps before it.
    struct Place {
        size_t block;
        int firstRow;
        int stepsBefore;
    };
    Place Locate(int row) const;
    int FirstStep(const MotionRows &rows) const;

    std::vector<Block> blocks_;
    int rowCount_ = 0;
};

struct ChartLayout {
    int width = 0;        // picture width
    QRect frame;          // white frame; right() and bottom() are its last pixels
    QLine rowAxis;        // grey vertical line at x = 10
    QLine centreLine;     // grey line at position 90
    int firstRow = 0;     // the row of xs[0]
    std::vector<int> xs;  // x of every charted row from firstRow on
    std::vector<Tick> ticks;
    // One curve per channel 1 to 24, empty for channels not drawn.
    std::array<std::vector<Segment>, kChannelCount> curves;
};

// The chart of the first `rowCount` rows (held to the rows present). A channel
// is charted when `drawn` says so: the window sets it for channels that are
// shown and whose colour is not black. Curves need two rows or more.
ChartLayout LayoutChart(const MotionRows &rows, int rowCount, const std::array<bool, kChannelCount> &drawn,
                        int boxWidth);
// The same chart, but with rows, ticks and curves only where they may reach into
// columns [left, right): what a view of part of a long chart needs. `index`
// follows `rows`.
ChartLayout LayoutChartPart(const MotionRows &rows, const RowIndex &index, int rowCount,
                            const std::array<bool, kChannelCount> &drawn, int boxWidth, int left, int right);

// The row a click names, for all rows of the motion data (-1 for none).
int RowAtClick(const MotionRows &rows, int mouseX);

}  // namespace orvane::graph
