// Redraw of the graph window: 10,000 rows with all 24 channels shown. Prints the layout (points and
// segments) and the whole redraw (layout, drawing, hand-over) for three speed mixes.
// Run: QT_QPA_PLATFORM=offscreen graph_bench

#include "graph/graph_form.h"
#include "graph/graph_geometry.h"
#include "motion/motion_data.h"
#include "widgets/color_btn.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollArea>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int Rows = 10000;
constexpr int Runs = 15;

class BenchMain : public MainOperations {
public:
    void SetChannel(int, int, int) override {}
    void SetValueCode(int, int) override {}
    void ShowChannelValue(int) override {}
    bool SendBoardPositions(int, int) override { return true; }
    bool ReadBoardPositions() override { return true; }
    void ShowLinkStatus(int) override {}
    void ShowBoardMode(int) override {}
    bool EnterSleep() override { return true; }
    bool ReleaseSleep() override { return true; }
    bool EnsureSleep() override { return true; }
    void ReturnToHome() override {}
    void AddCurrentPosition() override {}
    void OverwriteSelectedPositions() override {}
    int BoardId(int) const override { return 0; }
    void SetBoardId(int, int) override {}
    bool SyncMode() const override { return false; }
    int Speed() const override { return 7; }
    void SetSpeed(int) override {}
    int ValueCode(int) const override { return 90; }
    QString ValueText(int) const override { return QStringLiteral("90"); }
    int HomeValue(int) const override { return 90; }
    void SetHomeValue(int, int) override {}
    QString ProgramFolder() const override { return {}; }
    Prompt &UserPrompt() override { std::abort(); }
    QString ChannelName(int channel) const override { return QStringLiteral("CH%1").arg(channel); }
    // A different bright colour per channel.
    uint32_t PanelColor(int channel) const override
    {
        return uint32_t(0x40 + channel * 7) | uint32_t(0xFF - channel * 9) << 8 | uint32_t(channel * 10) << 16;
    }
    uint32_t NameColor(int) const override { return 0; }
    bool PanelVisible(int) const override { return true; }
    bool Hold() const override { return true; }
    void SetChannelLook(int, const QString &, uint32_t, uint32_t, bool) override {}
    void SetHold(bool) override {}
    void AddChannelLookListener(ChannelLookListener *) override {}
};

// Smooth curves with a mode code now and then; speeds from the given range.
void Fill(orvane::MotionData &motion, int minSpeed, int maxSpeed)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> speed(minSpeed, maxSpeed);
    std::uniform_int_distribution<int> mode(0, 40);
    motion.clearRows();
    QList<QStringList> rows;
    for (int r = 0; r < Rows; ++r) {
        QStringList fields{QString::number(r + 1), QStringLiteral("DATA"), QString::number(speed(random))};
        for (int ch = 1; ch <= 24; ++ch) {
            const int v = 90 + int(80 * std::sin(r * 0.05 + ch));
            fields << QString::number(mode(random) == 0 ? 221 : v);
        }
        rows << fields;
    }
    motion.insertRowsFields(-1, rows);
}

struct Figures {
    double min, median, max;
};

template <typename F>
Figures Time(F &&f)
{
    std::vector<double> ms;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    BenchMain main;
    orvane::MotionData motion;
    TGraphForm form(nullptr, motion, main, {});
    for (int n = 1; n <= 24; ++n)
        form.ENABLE1_BTNClick(form.ENABLE_BTN[n]);

    std::array<bool, orvane::kChannelCount> all{};
    all.fill(true);
    std::printf("%d rows, 24 channels shown, %d runs each (ms: min / median / max)\n", Rows, Runs);
    const struct {
        const char *name;
        int minSpeed, maxSpeed;
    } mixes[] = {{"speed 0 only", 0, 0}, {"speeds 0-7 mixed", 0, 7}, {"speed 7 only", 7, 7}};
    for (const auto &mix : mixes) {
        Fill(motion, mix.minSpeed, mix.maxSpeed);
        form.Redraw(Rows);  // first allocation of both pictures
        form.Redraw(Rows);
        const Figures layout =
            Time([&] { orvane::graph::LayoutChart(motion.rows(), Rows, all, form.ScrollBox1->width()); });
        const Figures redraw = Time([&] { form.Redraw(Rows); });
        std::printf(
            "%-17s picture %6d px wide (%5.1f MB)  layout %6.2f / %6.2f / %6.2f  redraw %6.2f / %6.2f / %6.2f\n",
            mix.name, form.Picture().width(), form.Picture().sizeInBytes() / 1e6, layout.min, layout.median, layout.max,
            redraw.min, redraw.median, redraw.max);
    }
    return 0;
}
