#include "graph/graph_geometry.h"

#include <gtest/gtest.h>

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
        rows.append(fields);
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
