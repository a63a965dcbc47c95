#include "fake_main.h"
#include "graph/graph_form.h"
#include "graph_rows.h"
#include "motion/motion_data.h"
#include "widgets/color_btn.h"

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

#include <memory>

using orvane::MotionData;

namespace {

class GraphForm : public ::testing::Test {
protected:
    TGraphForm &Make(const GraphPlacement &placement = {})
    {
        form = std::make_unique<TGraphForm>(nullptr, motion, main, placement);
        return *form;
    }
    QRgb Pixel(int x, int y) const { return form->Picture().pixel(x, y); }
    void Click(int channel) { QTest::mouseClick(form->ENABLE_BTN[channel], Qt::LeftButton); }
    void ClickChart(int x, int y = 50) { QTest::mouseClick(form->Image1, Qt::LeftButton, {}, QPoint(x, y)); }
    int Count(QRgb rgb) const
    {
        int n = 0;
        const QImage &p = form->Picture();
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                n += p.pixel(x, y) == rgb;
        return n;
    }

    FakeMain main;
    MotionData motion;
    std::unique_ptr<TGraphForm> form;
};

TEST_F(GraphForm, WithoutRowsThePictureIsTheFrameAndTheTwoGreyLinesOnly)
{
    Make();
    for (int n = 1; n <= 24; ++n)
        Click(n);
    form->Redraw(5);  // more rows than there are

    const QImage &p = form->Picture();
    ASSERT_EQ(p.height(), 200);
    const int w = form->ScrollBox1->width() - 20;
    ASSERT_EQ(p.width(), w);
    EXPECT_EQ(Pixel(4, 5), kWhiteRgb);
    EXPECT_EQ(Pixel(w - 6, 194), kWhiteRgb);
    EXPECT_EQ(Pixel(w - 5, 194), kBlackRgb);
    EXPECT_EQ(Pixel(10, 6), kGreyRgb);
    EXPECT_EQ(Pixel(5, 100), kGreyRgb);
    // Frame 4..w-6 by 5..194; axis 6..193; centre line 5..w-7, crossing the axis once.
    EXPECT_EQ(Count(kWhiteRgb), 2 * (w - 9) + 2 * 188);
    EXPECT_EQ(Count(kGreyRgb), 188 + (w - 11) - 1);
    EXPECT_EQ(Count(kBlackRgb), w * 200 - Count(kWhiteRgb) - Count(kGreyRgb));
}

TEST_F(GraphForm, SquaresAndLinesFollowTheDrawingOrderAndABlackChannelIsNeverDrawn)
{
    main.panelColor[1] = 0;  // black
    main.panelColor[2] = kRed;
    // x = 10, 34, 58; channel 1 at y 40, channel 2 at y 160
    motion.AppendRowFields(Row(7, {150, 30}));
    motion.AppendRowFields(Row(7, {150, 30}));
    motion.AppendRowFields(Row(7, {150, 30}));
    Make();
    Click(1);
    Click(2);
    ASSERT_TRUE(form->ChannelShown(1));

    for (int y = 30; y <= 50; ++y)
        for (int x = 11; x < form->Picture().width() - 6; ++x)
            ASSERT_EQ(Pixel(x, y), kBlackRgb) << x << "," << y;

    EXPECT_EQ(Pixel(8, 158), kRedRgb);   // square corners
    EXPECT_EQ(Pixel(10, 160), kRedRgb);  // a line starts in the middle of its square
    // Row 2's square is drawn again after the line that ends in it: black inside but for the next line.
    EXPECT_EQ(Pixel(33, 160), kBlackRgb);
    EXPECT_EQ(Pixel(34, 160), kRedRgb);
    EXPECT_EQ(Pixel(35, 160), kRedRgb);
    EXPECT_EQ(Pixel(35, 161), kBlackRgb);
    // The last square comes before the line that ends in it, which stops short of its centre.
    EXPECT_EQ(Pixel(57, 160), kRedRgb);
    EXPECT_EQ(Pixel(58, 160), kBlackRgb);
}

TEST_F(GraphForm, AModeCodeAfterAPositionDrawsADottedLevelLineWithSquaresAtEveryPoint)
{
    main.panelColor[3] = kRed;
    motion.AppendRowFields(Row(7, {90, 90, 150}));
    motion.AppendRowFields(Row(7, {90, 90, 221}));
    motion.AppendRowFields(Row(7, {90, 90, 221}));
    Make();
    Click(3);

    for (int x : {10, 34, 58})
        EXPECT_EQ(Pixel(x - 2, 38), kRedRgb) << x;
    int lit = 0;
    for (int x = 13; x <= 31; ++x)
        lit += Pixel(x, 40) == kRedRgb;
    EXPECT_GT(lit, 5);
    EXPECT_LT(lit, 19);
}

TEST_F(GraphForm, ChartsWiderThanPainterCoordinatesAreDrawnToTheEnd)
{
    main.panelColor[1] = kRed;
    for (int r = 0; r < 1500; ++r)
        motion.AppendRowFields(Row(7, {r % 2 ? 0 : 180}));
    Make();
    Click(1);

    const int last = 10 + 1499 * 24;  // row 1500, at value 0
    ASSERT_EQ(form->Picture().width(), last + 20);
    EXPECT_EQ(Pixel(last - 2, 188), kRedRgb);
    EXPECT_EQ(Pixel(last + 2, 192), kRedRgb);
    EXPECT_EQ(Pixel(last, 99), kGreyRgb);  // tick of row 1500
    bool number = false;
    for (int y = 110; y < 130; ++y)
        for (int x = last - 5; x < last + 10; ++x)
            number = number || (Pixel(x, y) != kBlackRgb && qRed(Pixel(x, y)) == qGreen(Pixel(x, y)));
    EXPECT_TRUE(number);
}

TEST_F(GraphForm, ButtonsTakeThePanelColourWithContrastTextAndBlackWhenOff)
{
    main.panelColor[3] = kYellow;
    main.panelColor[4] = kNavy;
    main.panelColor[5] = 0x808080;
    Make();
    for (int n = 1; n <= 24; ++n) {
        EXPECT_EQ(form->ENABLE_BTN[n]->objectName(), QStringLiteral("ENABLE%1_BTN").arg(n));
        EXPECT_EQ(form->ENABLE_BTN[n]->text(), QString::number(n));
        EXPECT_EQ(form->ENABLE_BTN[n]->Color(), QColor(Qt::black));
        EXPECT_EQ(form->ENABLE_BTN[n]->FontColor(), QColor(Qt::white));
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("グラフ"));

    Click(3);
    Click(4);
    Click(5);
    EXPECT_EQ(form->ENABLE_BTN[3]->Color(), QColor(255, 255, 0));
    EXPECT_EQ(form->ENABLE_BTN[3]->FontColor(), QColor(Qt::black));
    EXPECT_EQ(form->ENABLE_BTN[4]->Color(), QColor(0, 0, 128));
    EXPECT_EQ(form->ENABLE_BTN[4]->FontColor(), QColor(Qt::white));
    EXPECT_EQ(form->ENABLE_BTN[5]->FontColor(), QColor(Qt::white));

    Click(3);
    EXPECT_FALSE(form->ChannelShown(3));
    EXPECT_EQ(form->ENABLE_BTN[3]->Color(), QColor(Qt::black));
    EXPECT_EQ(form->ENABLE_BTN[3]->FontColor(), QColor(Qt::white));
}

TEST_F(GraphForm, PushedLooksChangeOnlyShownChannelsAndRedrawWithTheNewColour)
{
    main.panelColor[7] = kRed;
    main.panelColor[8] = kRed;
    motion.AppendRowFields(Row(7, {90, 90, 90, 90, 90, 90, 150, 30}));
    motion.AppendRowFields(Row(7, {90, 90, 90, 90, 90, 90, 150, 30}));
    Make();
    Click(7);
    ASSERT_EQ(Pixel(8, 38), kRedRgb);

    // The main window changes its panels first, then tells its listeners.
    main.panelColor[7] = kYellow;
    main.panelColor[8] = kYellow;
    form->ChannelLookChanged(7, QStringLiteral("Arm"), kYellow, 0x000000);
    form->ChannelLookChanged(8, QStringLiteral("Leg"), kYellow, 0x000000);
    EXPECT_EQ(form->ENABLE_BTN[7]->Color(), QColor(255, 255, 0));
    EXPECT_EQ(form->ENABLE_BTN[7]->FontColor(), QColor(Qt::black));
    EXPECT_EQ(Pixel(8, 38), kYellowRgb);
    EXPECT_EQ(form->ENABLE_BTN[8]->Color(), QColor(Qt::black));
    EXPECT_EQ(form->ENABLE_BTN[8]->FontColor(), QColor(Qt::white));
    EXPECT_EQ(Pixel(8, 158), kBlackRgb);
}

TEST_F(GraphForm, AClickNamesTheFirstRowWithinTwoLeftAndThreeRight)
{
    // x = 10, 34, 37
    motion.AppendRowFields(Row(0, {}, QStringLiteral("stand")));
    motion.AppendRowFields(Row(7, {}, QStringLiteral("bow")));
    motion.AppendRowFields(Row(0, {}, QStringLiteral("rise up")));
    Make();
    form->show();
    const auto shows = [&](const char *num, const char *label) {
        return form->DATA_NUM->text() == QLatin1String(num) && form->DATA_LABEL->text() == QString::fromUtf8(label);
    };
    EXPECT_TRUE(shows("----", "-------------------"));

    ClickChart(13);
    EXPECT_TRUE(shows("1", "stand"));
    ClickChart(14);
    EXPECT_TRUE(shows("----", "-------------------"));
    ClickChart(36, 190);
    EXPECT_TRUE(shows("2", "bow"));
    ClickChart(40);
    EXPECT_TRUE(shows("3", "rise up"));

    motion.ClearRows();
    ClickChart(13);
    EXPECT_TRUE(shows("3", "rise up"));
}

TEST_F(GraphForm, PlacementComesFromTheSavedKeysAndTheOuterHeightStaysFixed)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();

    Make({true, -1, 30, 640});
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->pos(), QPoint((screen.width() - 640) / 2, (screen.height() - 277) / 2));
    GraphPlacement saved = form->Placement();
    EXPECT_EQ(saved.width, 640);
    EXPECT_FALSE(saved.view);

    Make({true, 20, screen.width() - 10, 640});
    EXPECT_FALSE(form->isVisible());

    Make({false, -1, -1, 0});  // a width no one could use
    EXPECT_EQ(form->Placement().width, 100);

    Make({false, screen.height() - 11, 30, 700});
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->pos(), QPoint(30, screen.height() - 11));

    Make({true, 20, 30, 700});
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->frameGeometry().width(), 700);
    form->resize(900, 500);  // the client area
    const QMargins frame = form->windowHandle()->frameMargins();
    saved = form->Placement();
    EXPECT_TRUE(saved.view);
    EXPECT_EQ(saved.top, 20);
    EXPECT_EQ(saved.left, 30);
    EXPECT_EQ(saved.width, 900 + frame.left() + frame.right());
    EXPECT_EQ(form->frameGeometry().height(), 277);
    EXPECT_EQ(form->Picture().width(), form->ScrollBox1->width() - 20);
}

}  // namespace
