// The chart seen through its scroll box: only the part in view is drawn, and it must be exactly the
// whole chart's pixels at the same columns, however far the view is and whatever changed before.
#include "fake_main.h"
#include "graph/graph_form.h"
#include "graph_rows.h"
#include "motion/motion_data.h"
#include "widgets/color_btn.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using orvane::MotionData;

namespace {

class GraphView : public ::testing::Test {
protected:
    TGraphForm &Make()
    {
        form = std::make_unique<TGraphForm>(nullptr, motion, main, GraphPlacement{true, 20, 30, 700});
        return *form;
    }
    void Click(int channel) { QTest::mouseClick(form->ENABLE_BTN[channel], Qt::LeftButton); }
    void ClickChart(int x, int y = 50) { QTest::mouseClick(form->Image1, Qt::LeftButton, {}, QPoint(x, y)); }
    QScrollBar *Bar() const { return form->ScrollBox1->horizontalScrollBar(); }

    FakeMain main;
    MotionData motion;
    std::unique_ptr<TGraphForm> form;
};
// Mixed speeds, a mode code now and then and long runs of codes, so that carried levels cross views.
void FillLong(MotionData &motion, int rows)
{
    for (int r = 0; r < rows; ++r) {
        const int speed = (r * 7 + r / 3) % 8;
        const int a = (r / 50) % 4 == 3 ? 221 : 20 + (r * 13) % 140;
        const int b = r % 17 == 0 ? 222 : 170 - (r * 5) % 160;
        motion.AppendRowFields(Row(speed, {a, b}, QStringLiteral("row %1").arg(r + 1)));
    }
}

// Compares what Image1 shows with the whole chart at the same chart columns.
testing::AssertionResult ViewMatchesChart(TGraphForm &form)
{
    QApplication::processEvents();
    const QImage shown = form.Image1->grab().toImage();
    const QImage whole = form.Picture();
    const int left = form.ScrollBox1->horizontalScrollBar()->value();
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != whole.pixel(left + x, y))
                return testing::AssertionFailure() << "view at " << left << " differs at " << x << "," << y;
    return testing::AssertionSuccess();
}

}  // namespace

TEST_F(GraphView, AScrolledViewShowsTheChartsOwnPixelsBeforeAndAfterChanges)
{
    main.panelColor[1] = kRed;
    main.panelColor[2] = kYellow;
    FillLong(motion, 3000);
    Make();
    ASSERT_TRUE(form->isVisible());
    Click(1);
    Click(2);
    QScrollBar *bar = form->ScrollBox1->horizontalScrollBar();
    ASSERT_EQ(bar->maximum(), form->ChartWidth() - form->ScrollBox1->width());
    EXPECT_LE(form->Image1->width(), form->ScrollBox1->width());

    for (int at : {0, 20, 30000, 30020, 30700, 12345, bar->maximum() - 5, bar->maximum()}) {
        bar->setValue(at);
        EXPECT_TRUE(ViewMatchesChart(*form));
    }
    // A change far to the left moves everything in view; a code in view carries a level.
    bar->setValue(30000);
    motion.SetField(3, orvane::kSpeedColumn, QStringLiteral("0"));
    motion.DeleteRow(10);
    motion.InsertRowFields(5, Row(7, {221, 221}));
    const std::vector<int> xs = orvane::graph::LayoutChart(motion.Rows(), motion.Count(), {}, 700).xs;
    const int inView = int(std::lower_bound(xs.begin(), xs.end(), 30300) - xs.begin());
    motion.SetField(inView, orvane::kFirstChannelColumn, QStringLiteral("45"));
    form->Redraw(motion.Count());
    EXPECT_TRUE(ViewMatchesChart(*form));
    for (int r = 1200; r < 1300; ++r)
        motion.SetField(r, orvane::kFirstChannelColumn, QStringLiteral("221"));
    form->Redraw(motion.Count());
    EXPECT_TRUE(ViewMatchesChart(*form));
    motion.DeleteRows({0, 1, 2});
    form->Redraw(motion.Count());
    EXPECT_TRUE(ViewMatchesChart(*form));
}

TEST_F(GraphView, AClickInAScrolledViewNamesTheRowUnderTheMouse)
{
    FillLong(motion, 3000);
    Make();
    form->Redraw(motion.Count());
    form->ScrollBox1->horizontalScrollBar()->setValue(20000);
    const std::vector<int> xs = orvane::graph::LayoutChart(motion.Rows(), motion.Count(), {}, 700).xs;
    const auto first = std::lower_bound(xs.begin(), xs.end(), 20100);
    const int row = int(first - xs.begin());
    ClickChart(*first + 3 - 20000);
    EXPECT_EQ(form->DATA_NUM->text(), QString::number(row + 1));
    EXPECT_EQ(form->DATA_LABEL->text(), QStringLiteral("row %1").arg(row + 1));
}

TEST_F(GraphView, AChartWiderThanAnyWidgetScrollsToItsEndInLittleMemory)
{
    main.panelColor[1] = kRed;
    orvane::MotionRows rows;
    constexpr int kCount = 800000;  // 19,200,000 pixels at speed 7
    for (int r = 0; r < kCount; ++r) {
        orvane::MotionRows::RowText row;
        row.AddNumber(r + 1);
        row.Add(u"DATA");
        row.AddNumber(7);
        row.AddNumber(r % 2 ? 0 : 180);
        rows.Append(std::move(row));
    }
    motion.ReplaceAll(orvane::DefaultMotionCaptions(), std::move(rows));
    Make();
    Click(1);

    const int last = 10 + (kCount - 1) * 24;
    ASSERT_EQ(form->ChartWidth(), last + 20);
    QScrollBar *bar = form->ScrollBox1->horizontalScrollBar();
    bar->setValue(bar->maximum());
    EXPECT_EQ(bar->value(), last + 20 - form->ScrollBox1->width());
    QApplication::processEvents();
    const QImage shown = form->Image1->grab().toImage();
    const int local = last - bar->value();
    EXPECT_EQ(shown.pixel(local - 2, 188), kRedRgb);     // the last row's square, at value 0
    EXPECT_EQ(shown.pixel(local, 99), kGreyRgb);         // its tick: row 800000
    EXPECT_EQ(shown.pixel(local + 14, 194), kWhiteRgb);  // the frame's right edge
    EXPECT_LT(form->ChartBytes(), 4u << 20);

    ClickChart(local + 3);
    EXPECT_EQ(form->DATA_NUM->text(), QString::number(kCount));
}
