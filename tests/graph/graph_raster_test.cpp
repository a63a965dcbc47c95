// The chart painted into its picture, pixel by pixel, without a window.

#include "graph/graph_raster.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cstring>

using namespace orvane;
using namespace orvane::graph;

namespace {

const QRgb Black = qRgb(0, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRgb Grey = qRgb(128, 128, 128);
const QRgb Red = qRgb(255, 0, 0);

// Rows of (speed, CH1 value text).
MotionRows Rows(const std::vector<std::pair<int, QString>> &rows)
{
    MotionRows out;
    for (const auto &[speed, ch1] : rows)
        out.Append(QStringList{QStringLiteral("1"), QStringLiteral("DATA"), QString::number(speed), ch1});
    return out;
}

QImage Paint(const ChartLayout &chart, const std::array<bool, kChannelCount> &drawn, int origin = 0, int width = -1)
{
    std::array<QRgb, kChannelCount> colors{};
    colors[0] = Red;
    QImage image(width < 0 ? chart.width : width, kPictureHeight, QImage::Format_Indexed8);
    image.setColorTable(ChartColors(colors));
    image.fill(kWhiteIndex);  // every pixel must be painted
    ChartRaster(QGuiApplication::font()).Draw(image, origin, chart, drawn);
    return image;
}

}  // namespace

TEST(ChartRaster, EmptyChartIsTheFrameAndTwoGreyLinesOnBlack)
{
    const ChartLayout chart = LayoutChart(MotionRows{}, 0, {}, 320);
    ASSERT_EQ(chart.width, 300);
    const QImage image = Paint(chart, {});
    // Frame from (4, 5) to (295, 195), the right and bottom edges exclusive.
    EXPECT_EQ(image.pixel(4, 5), White);
    EXPECT_EQ(image.pixel(294, 194), White);
    EXPECT_EQ(image.pixel(295, 194), Black);
    EXPECT_EQ(image.pixel(294, 195), Black);
    EXPECT_EQ(image.pixel(3, 5), Black);
    EXPECT_EQ(image.pixel(4, 4), Black);
    // Row axis x = 10 from y = 6 to 194, the centre line y = 100 from x = 5 to 294, both last points left out.
    EXPECT_EQ(image.pixel(10, 5), White);
    EXPECT_EQ(image.pixel(10, 6), Grey);
    EXPECT_EQ(image.pixel(10, 193), Grey);
    EXPECT_EQ(image.pixel(10, 194), White);
    EXPECT_EQ(image.pixel(5, 100), Grey);
    EXPECT_EQ(image.pixel(293, 100), Grey);
    EXPECT_EQ(image.pixel(294, 100), White);
    EXPECT_EQ(image.pixel(150, 50), Black);

    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += image.pixel(x, y) != Black;
    // The frame's outline, the axis, and the centre line less its crossing with the axis.
    EXPECT_EQ(lit, 2 * 291 + 2 * 188 + 188 + 288);
}

TEST(ChartRaster, DottedLevelLineAfterAPositionWithSquaresBlackInside)
{
    // Speeds 0, 7, 0 put the rows at x = 10, 34, 37; CH1 at 90 and then FREE twice.
    const MotionRows rows = Rows({{0, "90"}, {7, "221"}, {0, "221"}});
    std::array<bool, kChannelCount> drawn{};
    drawn[0] = true;
    const QImage image = Paint(LayoutChart(rows, 3, drawn, 320), drawn);

    // The square around (10, 100) hides the grey axis and centre line inside it.
    EXPECT_EQ(image.pixel(8, 98), Red);
    EXPECT_EQ(image.pixel(12, 102), Red);
    EXPECT_EQ(image.pixel(10, 99), Black);
    EXPECT_EQ(image.pixel(9, 100), Black);
    // Dotted: two pixels on, two off, the grey centre line showing through the gaps.
    EXPECT_EQ(image.pixel(10, 100), Red);
    EXPECT_EQ(image.pixel(11, 100), Red);
    EXPECT_EQ(image.pixel(13, 100), Grey);
    EXPECT_EQ(image.pixel(14, 100), Red);
    EXPECT_EQ(image.pixel(16, 100), Grey);
    EXPECT_EQ(image.pixel(31, 100), Red);
    // The last square is drawn after the one at 34, so its black inside covers that square's right edge.
    EXPECT_EQ(image.pixel(32, 98), Red);
    EXPECT_EQ(image.pixel(36, 98), Red);
    EXPECT_EQ(image.pixel(36, 100), Black);
    EXPECT_EQ(image.pixel(39, 102), Red);
    EXPECT_EQ(image.pixel(40, 100), Grey);
    // No curve where the channel is not drawn.
    const QImage plain = Paint(LayoutChart(rows, 3, {}, 320), {});
    EXPECT_EQ(plain.pixel(8, 98), Black);
    EXPECT_EQ(plain.pixel(14, 100), Grey);
}

TEST(ChartRaster, TickUnderEveryFifthRow)
{
    const MotionRows rows = Rows({{0, "0"}, {0, "0"}, {0, "0"}, {0, "0"}, {0, "0"}});
    const QImage image = Paint(LayoutChart(rows, 5, {}, 320), {});
    // Row 5 lies at x = 22; its tick runs from y = 90 to 108.
    EXPECT_EQ(image.pixel(22, 89), Black);
    EXPECT_EQ(image.pixel(22, 90), Grey);
    EXPECT_EQ(image.pixel(22, 108), Grey);
    EXPECT_EQ(image.pixel(19, 95), Black);
    // The number "5" somewhere in its cell below, grey shades only.
    int ink = 0;
    for (int y = 110; y < 130; ++y) {
        for (int x = 17; x < 30; ++x) {
            const QRgb c = image.pixel(x, y);
            ink += c != Black;
            EXPECT_TRUE(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) <= 128) << x << "," << y;
        }
    }
    EXPECT_GT(ink, 3);
}

TEST(ChartRaster, PartAtAnOriginEqualsTheSameColumnsOfTheWholePicture)
{
    // Wide enough to cross the strips the painter works in.
    std::vector<std::pair<int, QString>> data;
    for (int r = 0; r < 700; ++r)
        data.push_back({r % 8, r % 9 == 4 ? QStringLiteral("221") : QString::number((r * 37) % 181)});
    const MotionRows rows = Rows(data);
    std::array<bool, kChannelCount> drawn{};
    drawn[0] = true;
    const ChartLayout chart = LayoutChart(rows, int(data.size()), drawn, 320);
    ASSERT_GT(chart.width, 9000);
    const QImage whole = Paint(chart, drawn);
    const int origin = 3001;
    const QImage part = Paint(chart, drawn, origin, 2600);
    for (int y = 0; y < kPictureHeight; ++y)
        ASSERT_EQ(std::memcmp(part.constScanLine(y), whole.constScanLine(y) + origin, size_t(part.width())), 0)
            << "row " << y;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
