#include "graph/graph_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace orvane;
using namespace orvane::graph;

namespace {

std::vector<std::optional<int>> Ys(std::initializer_list<int> values)
{
    std::vector<std::optional<int>> ys;
    for (int v : values)
        ys.push_back(v >= 0 && v <= 180 ? std::optional<int>(ValueY(v)) : std::nullopt);
    return ys;
}

MotionRows Rows(std::initializer_list<std::pair<const char16_t *, const char16_t *>> speedAndCh1)
{
    MotionRows rows;
    for (const auto &[speed, ch1] : speedAndCh1) {
        QStringList fields{u"1"_qs, u"DATA"_qs, QString::fromUtf16(speed), QString::fromUtf16(ch1)};
        rows.Append(fields);
    }
    return rows;
}

}  // namespace

TEST(GraphRows, StepDependsOnTheRowsOwnSpeed)
{
    const std::vector<int> speeds{0, 7, 0};
    EXPECT_EQ(RowXs(speeds), (std::vector<int>{10, 34, 37}));
    const std::vector<int> firstIgnored{7, 0, 1};
    EXPECT_EQ(RowXs(firstIgnored), (std::vector<int>{10, 13, 19}));
    EXPECT_TRUE(RowXs({}).empty());
    EXPECT_EQ(SpeedOfText(u"07"), 7);
    EXPECT_EQ(RowStep(SpeedOfText(u"fast")), 3);
    EXPECT_EQ(RowStep(99), 24);
}

TEST(GraphValues, OnlyZeroToOneEightyArePositions)
{
    EXPECT_EQ(PositionYOfText(u"0"), 190);
    EXPECT_EQ(PositionYOfText(u"90"), 100);
    EXPECT_EQ(PositionYOfText(u"180"), 10);
    EXPECT_FALSE(PositionYOfText(u"181"));
    EXPECT_FALSE(PositionYOfText(u"221"));
    EXPECT_FALSE(PositionYOfText(u"-1"));
    EXPECT_FALSE(PositionYOfText(u""));
    EXPECT_FALSE(PositionYOfText(u"-2147483648"));
}

TEST(GraphPicture, WidthFillsTheBoxOrGrowsWithTheRows)
{
    EXPECT_EQ(PictureWidth(10, 700), 680);
    EXPECT_EQ(PictureWidth(680, 700), 680);
    EXPECT_EQ(PictureWidth(681, 700), 701);

    const ChartLayout empty = LayoutChart(MotionRows(), 0, {}, 700);
    EXPECT_EQ(empty.width, 680);
    EXPECT_EQ(empty.frame, QRect(QPoint(4, 5), QPoint(674, 194)));
    EXPECT_EQ(empty.rowAxis, QLine(10, 6, 10, 194));
    EXPECT_EQ(empty.centreLine, QLine(5, 100, 674, 100));
    EXPECT_TRUE(empty.ticks.empty());
}

TEST(GraphPicture, EveryFifthRowGetsATickAndItsNumber)
{
    std::vector<int> speeds(11, 1);
    const std::vector<int> xs = RowXs(speeds);
    const std::vector<Tick> ticks = RowTicks(xs);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[0].line, QLine(34, 90, 34, 109));
    EXPECT_EQ(ticks[0].textAt, QPoint(29, 110));
    EXPECT_EQ(ticks[0].text, u"5"_qs);
    EXPECT_EQ(ticks[1].line.x1(), 64);
    EXPECT_EQ(ticks[1].text, u"10"_qs);
}

TEST(GraphCurves, ModeCodeAfterAPositionDrawsADottedLevelLine)
{
    const std::vector<int> xs{10, 13, 16};
    const auto segments = ChannelSegments(xs, Ys({90, 221, 221}));
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].from, QPoint(10, 100));
    EXPECT_EQ(segments[0].to, QPoint(13, 100));
    EXPECT_TRUE(segments[0].dotted);
    EXPECT_EQ(segments[1].from, QPoint(13, 100));
    EXPECT_EQ(segments[1].to, QPoint(16, 100));
    EXPECT_TRUE(segments[1].dotted);
    EXPECT_EQ(SquareAround(QPoint(13, 100)), QRect(11, 98, 5, 5));

    // Back to a position: a solid line from the carried level.
    const auto back = ChannelSegments(xs, Ys({90, 221, 80}));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_FALSE(back[1].dotted);
    EXPECT_EQ(back[1].from, QPoint(13, 100));
    EXPECT_EQ(back[1].to, QPoint(16, 110));
}

TEST(GraphCurves, NothingIsDrawnBeforeTheFirstPositionOrWithOneRow)
{
    const std::vector<int> xs{10, 13, 16, 19};
    const auto segments = ChannelSegments(xs, Ys({221, 227, 90, 80}));
    ASSERT_EQ(segments.size(), 1u);
    EXPECT_EQ(segments[0].from, QPoint(16, 100));
    EXPECT_FALSE(segments[0].dotted);
    EXPECT_TRUE(ChannelSegments(std::vector<int>{10}, Ys({90})).empty());
}

TEST(GraphCurves, LayoutChartsOnlyTheChannelsAskedForAndTheRowsPresent)
{
    const MotionRows rows = Rows({{u"0", u"90"}, {u"7", u"221"}, {u"0", u"0"}});
    std::array<bool, kChannelCount> drawn{};
    drawn[0] = true;
    drawn[1] = true;  // CH2 is empty in every row: no position, no curve
    const ChartLayout chart = LayoutChart(rows, 50, drawn, 100);
    EXPECT_EQ(chart.xs, (std::vector<int>{10, 34, 37}));
    EXPECT_EQ(chart.width, 80);
    ASSERT_EQ(chart.curves[0].size(), 2u);
    EXPECT_TRUE(chart.curves[0][0].dotted);
    EXPECT_EQ(chart.curves[0][1].to, QPoint(37, 190));
    EXPECT_TRUE(chart.curves[1].empty());
    EXPECT_TRUE(chart.curves[2].empty());

    const ChartLayout one = LayoutChart(rows, 1, drawn, 100);
    EXPECT_EQ(one.xs.size(), 1u);
    EXPECT_TRUE(one.curves[0].empty());
}

TEST(GraphClick, ReachIsTwoLeftAndThreeRightAndTheFirstRowWins)
{
    const std::vector<int> xs{10, 34, 37};
    EXPECT_EQ(RowAtX(xs, 13), 0);
    EXPECT_EQ(RowAtX(xs, 8), 0);
    EXPECT_EQ(RowAtX(xs, 14), -1);
    EXPECT_EQ(RowAtX(xs, 7), -1);
    EXPECT_EQ(RowAtX(xs, 35), 1);  // rows 1 and 2 both in reach
    EXPECT_EQ(RowAtX(xs, 37), 1);
    EXPECT_EQ(RowAtX(xs, 38), 2);
    EXPECT_EQ(RowAtX(xs, 40), 2);
    EXPECT_EQ(RowAtX(xs, 41), -1);
    EXPECT_EQ(RowAtX({}, 10), -1);

    const MotionRows rows = Rows({{u"0", u"90"}, {u"7", u"90"}, {u"0", u"90"}});
    EXPECT_EQ(RowAtClick(rows, 39), 2);
    EXPECT_EQ(RowAtClick(rows, 14), -1);
    EXPECT_EQ(RowAtClick(MotionRows(), 10), -1);
}

namespace {

// Rows with speeds and a channel 1 that holds long runs of codes, so carried levels cross blocks.
QStringList IndexRow(std::mt19937 &random)
{
    std::uniform_int_distribution<int> speed(0, 9);
    std::uniform_int_distribution<int> value(0, 200);
    const int v = value(random);
    QStringList fields{u"1"_qs, u"DATA"_qs, QString::number(speed(random))};
    fields << QString::number(v < 150 ? 221 : v - 20);
    for (int ch = 2; ch <= kChannelCount; ++ch)
        fields << QString::number(ch == 24 ? 221 : value(random));
    return fields;
}

// What the index must answer, worked out by walking every row.
void ExpectIndexMatchesRows(const RowIndex &index, const MotionRows &rows)
{
    ASSERT_EQ(index.size(), rows.Size());
    std::vector<int> speeds;
    for (qsizetype r = 0; r < rows.Size(); ++r)
        speeds.push_back(SpeedOfText(rows.FieldView(r, kSpeedColumn)));
    const std::vector<int> xs = RowXs(speeds);
    std::array<std::optional<int>, kChannelCount> carried{};
    for (int r = 0; r < int(xs.size()); ++r) {
        ASSERT_EQ(index.XOfRow(rows, r), xs[size_t(r)]) << r;
        ASSERT_EQ(index.FirstRowFrom(rows, xs[size_t(r)]), r);
        ASSERT_EQ(index.FirstRowFrom(rows, xs[size_t(r)] - 1), r);
        for (int ch = 0; ch < kChannelCount; ++ch)
            if (const auto y = PositionYOfText(rows.FieldView(r, kFirstChannelColumn + ch)))
                carried[size_t(ch)] = y;
        if (r % 37 == 0 || r + 1 == int(xs.size())) {
            ASSERT_EQ(index.CarriedYs(rows, r), carried) << r;
        }
    }
    EXPECT_EQ(index.FirstRowFrom(rows, xs.empty() ? 11 : xs.back() + 1), rows.Size());
}

}  // namespace

TEST(GraphIndex, FollowsInsertsRemovesAndChangesLikeAFreshWalk)
{
    std::mt19937 random(12);
    MotionRows rows;
    RowIndex index;
    index.Rebuild(rows);
    ExpectIndexMatchesRows(index, rows);

    const auto insert = [&](int pos, int count) {
        QList<QStringList> made;
        for (int i = 0; i < count; ++i)
            made << IndexRow(random);
        rows.Insert(pos, made);
        index.Inserted(rows, pos, pos + count - 1);
    };
    insert(0, 1);    // into nothing
    insert(1, 700);  // at the end, several blocks
    insert(0, 3);    // at the start
    insert(256, 1);  // on a block's edge
    insert(300, 600);
    ExpectIndexMatchesRows(index, rows);

    rows.Remove(250, 20);  // across a block edge
    index.Removed(rows, 250, 269);
    rows.Remove(0, 1);
    index.Removed(rows, 0, 0);
    const int tail = int(rows.Size()) - 5;
    rows.Remove(tail, 5);
    index.Removed(rows, tail, tail + 4);
    ExpectIndexMatchesRows(index, rows);

    rows.SetField(0, kSpeedColumn, u"7");  // the first row's step moves nothing
    rows.SetField(600, kSpeedColumn, u"0");
    rows.SetField(900, kFirstChannelColumn, u"180");
    index.Changed(rows, 0, 0);
    index.Changed(rows, 600, 600);
    index.Changed(rows, 900, 900);
    for (int r = 100; r < 700; ++r)
        rows.SetField(r, kFirstChannelColumn, u"221");  // a run of codes over whole blocks
    index.Changed(rows, 100, 699);
    ExpectIndexMatchesRows(index, rows);

    const int all = int(rows.Size());
    rows.Remove(0, all);
    index.Removed(rows, 0, all - 1);
    EXPECT_EQ(index.size(), 0);
}

TEST(GraphIndex, APartOfTheChartHasTheWholeChartsCurvesAndTicksWhereItReaches)
{
    std::mt19937 random(3);
    MotionRows rows;
    for (int r = 0; r < 2000; ++r)
        rows.Append(IndexRow(random));
    RowIndex index;
    index.Rebuild(rows);
    std::array<bool, kChannelCount> drawn{};
    drawn.fill(true);
    const ChartLayout whole = LayoutChart(rows, 1900, drawn, 700);
    for (const auto &[left, right] :
         {std::pair{0, 700}, {9000, 10400}, {20000, 21000}, {whole.width - 300, whole.width}}) {
        const ChartLayout part = LayoutChartPart(rows, index, 1900, drawn, 700, left, right);
        EXPECT_EQ(part.width, whole.width);
        EXPECT_EQ(part.frame, whole.frame);
        EXPECT_EQ(part.centreLine, whole.centreLine);
        ASSERT_FALSE(part.xs.empty());
        EXPECT_TRUE(part.xs.front() <= left - 2 || part.firstRow == 0);
        EXPECT_TRUE(part.xs.back() >= right + 2 || part.firstRow + int(part.xs.size()) == 1900);
        EXPECT_TRUE(std::equal(part.xs.begin(), part.xs.end(), whole.xs.begin() + part.firstRow)) << left;
        for (const Tick &t : part.ticks) {
            const auto same = std::find_if(whole.ticks.begin(), whole.ticks.end(),
                                           [&](const Tick &w) { return w.textAt == t.textAt; });
            ASSERT_NE(same, whole.ticks.end());
            EXPECT_EQ(same->text, t.text);
        }
        // Every segment of the whole chart that reaches the columns is in the part, the same.
        for (int ch = 0; ch < kChannelCount; ++ch) {
            for (const Segment &s : whole.curves[size_t(ch)]) {
                if (s.to.x() + 3 < left || s.from.x() - 2 >= right)
                    continue;
                const auto &curve = part.curves[size_t(ch)];
                const bool found = std::any_of(curve.begin(), curve.end(), [&](const Segment &p) {
                    return p.from == s.from && p.to == s.to && p.dotted == s.dotted;
                });
                ASSERT_TRUE(found) << ch << " at " << s.from.x();
            }
        }
    }
}
