// The graph window at 10,000, 100,000 and 1,000,000 rows with all 24 channels shown, speeds 0-7 mixed:
// a redraw after a change (a value in view, a speed at the first row), a scroll step (one click of the
// scroll bar and the repaint it causes) and the memory the chart takes (resident size it adds).
// Run: QT_QPA_PLATFORM=offscreen graph_bench [largest row count]

#include "bench_main.h"

#include "graph/graph_form.h"
#include "graph/graph_geometry.h"
#include "measure.h"
#include "motion/motion_data.h"
#include "widgets/color_btn.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kRuns = 21;

// The benches' main window, with a different bright colour per channel.
class ChartMain : public BenchMain {
public:
    uint32_t PanelColor(int channel) const override
    {
        return uint32_t(0x40 + channel * 7) | uint32_t(0xFF - channel * 9) << 8 | uint32_t(channel * 10) << 16;
    }
    bool Hold() const override { return true; }
};

// Smooth curves with a mode code now and then.
void Fill(orvane::MotionData &motion, int rows)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> speed(0, 7);
    std::uniform_int_distribution<int> mode(0, 40);
    orvane::MotionRows all;
    all.Reserve(rows);
    for (int r = 0; r < rows; ++r) {
        orvane::MotionRows::RowText row;
        row.AddNumber(r + 1);
        row.Add(u"DATA");
        row.AddNumber(speed(random));
        for (int ch = 1; ch <= orvane::kChannelCount; ++ch)
            row.AddNumber(mode(random) == 0 ? orvane::kValueFree : 90 + int(80 * std::sin(r * 0.05 + ch)));
        all.Append(std::move(row));
    }
    motion.ReplaceAll(orvane::DefaultMotionCaptions(), std::move(all));
}

double ResidentMB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / 1e6 : 0;
}

struct Figures {
    double min, median, max;
};

template <typename F>
Figures Time(F &&f)
{
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        f(i);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

void Print(const char *what, const Figures &f)
{
    std::printf("  %-34s %7.3f / %7.3f / %7.3f ms\n", what, f.min, f.median, f.max);
}

}  // namespace

int main(int argc, char **argv)
{
    UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    const int largest = argc > 1 ? std::atoi(argv[1]) : 1000000;

    ChartMain main;
    std::printf("24 channels shown, speeds 0-7 mixed, %d runs each (min / median / max)\n", kRuns);
    for (int rows : {10000, 100000, 1000000}) {
        if (rows > largest)
            break;
        orvane::MotionData motion;
        Fill(motion, rows);
        const double before = ResidentMB();
        QElapsedTimer first;
        first.start();
        TGraphForm form(nullptr, motion, main, {});
        form.show();
        std::printf("(first layout after a load: %.1f ms)\n", double(first.nsecsElapsed()) / 1e6);
        for (int n = 1; n <= orvane::kChannelCount; ++n)
            form.ENABLE1_BTNClick(form.ENABLE_BTN[n]);
        QApplication::processEvents();
        const double chartMB = ResidentMB() - before;

        QScrollBar *bar = form.ScrollBox1->horizontalScrollBar();
        bar->setValue(bar->maximum() / 2);
        form.Image1->repaint();
        const int middleRow = rows / 2;
        std::printf("%d rows: chart %d px wide, scroll bar 0..%d\n", rows, bar->maximum() + form.ScrollBox1->width(),
                    bar->maximum());
        Print("redraw after a value change in view", Time([&](int i) {
                  motion.SetField(middleRow, orvane::kFirstChannelColumn + 3, QString::number(40 + i));
                  form.Redraw(motion.Count());
              }));
        Print("redraw after a speed change at row 1", Time([&](int i) {
                  motion.SetField(0, orvane::kSpeedColumn, QString::number(i % 8));
                  form.Redraw(motion.Count());
              }));
        Print("scroll step (one click right)", Time([&](int) {
                  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                  form.Image1->repaint();
              }));
        Print("scroll step (one page right)", Time([&](int) {
                  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
                  form.Image1->repaint();
              }));
        std::printf("  chart memory (resident growth)     %7.1f MB; held by the chart %.2f MB\n", chartMB,
                    form.ChartBytes() / 1e6);
    }
    return 0;
}
