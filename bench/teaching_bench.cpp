// Hands on the robot. Sampling with 24 FREE channels on two line-paced virtual boards (goal at least 100
// samples a second, the window served all along), the rows a smooth 10 s movement by hand becomes at 2
// degrees (goal at most a tenth of its samples), and the reduction of a 60 s trace at 100 samples a second
// (goal under 20 ms).

#include "bench_main.h"

#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "teaching/teaching_session.h"
#include "teaching/trace_reduction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kBenchPort = 954;
constexpr int kSweepChannels[] = {1, 5, 9, 13, 17, 21};

double Sweep(int index, double seconds) { return 90 + 45 * std::sin(2 * M_PI * seconds / (4.0 + 0.8 * index) + index); }

// Every channel FREE; the rows handed over are counted.
class FreeMain : public BenchMain {
public:
    int ValueCode(int) const override { return orvane::kValueFree; }
    QString ValueText(int) const override { return QString::number(orvane::kValueFree); }
    void AddPositions(const QList<QStringList> &rows) override { added += int(rows.size()); }
    int added = 0;
};

orvane::sim::HandScript SweepScript(int seconds)
{
    orvane::sim::HandScript script;
    for (int ms = 0; ms <= seconds * 1000; ms += 20)
        for (int i = 0; i < 6; ++i)
            script.Add(ms, kSweepChannels[i], int(std::lround(Sweep(i, ms / 1000.0))));
    return script;
}

void Sampling()
{
    orvane::sim::Options options;
    options.ids = {0, 1};
    options.paced = true;
    options.hand = SweepScript(10);
    orvane::sim::VirtualBoards boards(options);
    for (std::uint8_t id : {0, 1})
        boards.EditBoard(id, [](orvane::sim::BoardMemory &m) { m.positions.fill(orvane::kValueFree); });
    SetDevicePath(kBenchPort, QString::fromStdString(boards.SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(kBenchPort, 115200);
    SerialPort->Open();

    FreeMain main;
    orvane::TeachingSession session(main);
    session.SetTolerance(2);

    // How long the event loop goes unserved: a 2 ms timer notes the longest gap between its ticks.
    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    int gapsOverAFrame = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 gap = sinceTick.elapsed();
        longestGap = std::max(longestGap, gap);
        gapsOverAFrame += gap > 16 ? 1 : 0;
        sinceTick.restart();
    });

    QObject::connect(&session, &orvane::TeachingSession::SamplingLost,
                     [](int mask) { std::printf("sampling lost a board (failure mask %d)\n", mask); });
    if (!session.StartRecording()) {
        std::printf("sampling did not start\n");
        return;
    }
    sinceTick.start();
    ticker.start(2);
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    ticker.stop();
    session.StopSampling();

    const orvane::Trace &trace = session.LastTrace();
    const double seconds = trace.empty() ? 0 : double(trace.back().ms) / 1000;
    const double rate = seconds > 0 ? double(trace.size() - 1) / seconds : 0;
    std::printf("sampling, 24 FREE channels, two paced boards: %zu samples in %.2f s = %.1f samples/s "
                "(goal >= 100; the line allows about 300)\n",
                trace.size(), seconds, rate);
    std::printf("  longest time the event loop went unserved while sampling: %lld ms; %d times over 16 ms\n",
                static_cast<long long>(longestGap), gapsOverAFrame);
    std::printf("  board lateness against the line: %.1f ms\n", double(boards.Lateness().count()) / 1e6);
    std::printf("smooth 10 s movement by hand (sine sweeps on six channels) at 2 degrees: %d rows of %zu samples "
                "= 1/%.1f (goal at most 1/10)\n",
                main.added, trace.size(), main.added > 0 ? double(trace.size()) / main.added : 0.0);
    ReleasePort();
}

void Reduction()
{
    // 60 s at 100 samples a second, six channels swept, rounded as a board reports them, with a hand's jitter.
    std::mt19937 random(11);
    orvane::Trace trace;
    for (int k = 0; k < 6000; ++k) {
        orvane::TraceSample s{qint64(k) * 10, {}};
        s.values.fill(90);
        for (int i = 0; i < 6; ++i)
            s.values[size_t(kSweepChannels[i] - 1)] = int(std::lround(Sweep(i, k / 100.0))) + int(random() % 3) - 1;
        trace.push_back(s);
    }
    std::vector<double> times;
    size_t rows = 0;
    for (int run = 0; run < 20; ++run) {
        const auto start = std::chrono::steady_clock::now();
        rows = orvane::ReduceTrace(trace, 2).size();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("reduction of a 60 s trace at 100 samples/s (6000 samples, 2 degrees): median %.2f ms, worst %.2f ms "
                "of 20 runs (goal < 20 ms); %zu rows\n",
                times[times.size() / 2], times.back(), rows);

    // The same movement without the jitter, the case the 10 s recording measures.
    for (orvane::TraceSample &s : trace)
        for (int i = 0; i < 6; ++i)
            s.values[size_t(kSweepChannels[i] - 1)] = int(std::lround(Sweep(i, s.ms / 1000.0)));
    std::printf("  without jitter: %zu rows of 6000 samples\n", orvane::ReduceTrace(trace, 2).size());
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Reduction();
    Sampling();
    return 0;
}
