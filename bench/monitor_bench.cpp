// The line monitor's cost. (1) A 100-row motion write to two line-paced boards with the monitor closed and
// open, runs interleaved in this one binary. (2) The monitor holding 100,000 transactions: the memory it
// takes, a scroll step of its list, and a refresh that pushes the oldest out.
//
//   monitor_bench [write runs] [transactions]

#include "bench_main.h"
#include "write_timing.h"

#include "measure.h"
#include "monitor/line_monitor.h"
#include "motion/motion_form.h"
#include "motion_rows.h"
#include "protocol/transaction.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <random>
#include <time.h>
#include <vector>

namespace {

constexpr int kBenchPort = 954;

// Resident memory of this process in KiB.
long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// A session's worth of traffic: mostly answered at once, some retried, a few never answered.
LineTransaction Typical(int i, double &clock)
{
    LineTransaction t;
    const uint8_t id = uint8_t(i % 2);
    t.frame = QByteArray::fromHex("F900000000000000000000000000000000");
    t.frame[1] = char(id);
    t.frame[3] = char(i % 100);
    AppendChecksum(t.frame);
    t.expected = 2;
    t.allowed = RetryCount;
    const QByteArray ack = QByteArray(1, char(id)) + '\x06';
    const int kind = i % 100;
    const int tries = kind < 95 ? 1 : kind < 99 ? 2 : RetryCount;
    for (int k = 0; k < tries; ++k) {
        const bool last = k == tries - 1;
        const bool answered = last && tries < RetryCount;
        t.tries.push_back({clock, answered ? 1.8 : 30.4, answered ? ack : QByteArray(),
                           answered ? LineVerdict::Ok : LineVerdict::NoReply});
        clock += answered ? 2.0 : 30.5;
    }
    return t;
}

void WriteBench(int runs)
{
    orvane::sim::VirtualBoards boards(PacedBoards());
    OpenPortOn(boards, kBenchPort);
    BenchMain main;
    TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
    form.show();
    FillMotionRows(form, 100);
    TLineMonitor monitor(nullptr, main, MonitorPlacement{});

    std::vector<WriteRun> closed, open;
    std::vector<double> closedCpu, openCpu;
    TimeWrite(boards, form.MOT_WRITE_BTN);  // warm up
    for (int i = 0; i < runs; ++i) {
        // Alternate which goes first, so that a drift of the machine weighs on both alike.
        for (int k = 0; k < 2; ++k) {
            const bool withMonitor = (i + k) % 2 == 1;
            monitor.setVisible(withMonitor);
            if (withMonitor)
                monitor.Log().Clear();
            // A window just shown paints itself whole once: that belongs to opening it, not to the write.
            for (int settle = 0; settle < 5; ++settle)
                QApplication::processEvents();
            if (withMonitor)
                monitor.repaint();
            const double cpu = ThreadCpuMs();
            (withMonitor ? open : closed).push_back(TimeWrite(boards, form.MOT_WRITE_BTN));
            (withMonitor ? openCpu : closedCpu).push_back(ThreadCpuMs() - cpu);
        }
    }
    monitor.Refresh();
    const int shown = monitor.Log().rowCount();
    monitor.hide();

    PrintWriteRuns("100-row motion write, monitor closed", closed, 1.15);
    PrintWriteRuns("100-row motion write, monitor open", open, 1.15);
    std::vector<double> c, o;
    for (const WriteRun &r : closed)
        c.push_back(r.wallMs);
    for (const WriteRun &r : open)
        o.push_back(r.wallMs);
    const double mc = Median(c), mo = Median(o);
    // The runs of one round ran back to back: their difference leaves out most of the machine's drift.
    std::vector<double> paired;
    for (std::size_t i = 0; i < std::min(c.size(), o.size()); ++i)
        paired.push_back(100.0 * (o[i] - c[i]) / c[i]);
    std::printf("  open against closed: median %.1f ms vs %.1f ms, %+.2f %%; median of the rounds' differences "
                "%+.2f %% (goal within 2 %%); lines in the last open run: %d\n",
                mo, mc, 100.0 * (mo - mc) / mc, Median(paired), shown);
    const double cc = Median(closedCpu), co = Median(openCpu);
    std::printf("  user-interface thread CPU a write: closed %.1f ms, open %.1f ms; the monitor adds %.1f ms, %.2f %% "
                "of the closed wall time (goal within 2 %%)\n",
                cc, co, co - cc, 100.0 * (co - cc) / mc);
    ReleasePort();
}

// What one refresh costs while a write runs: ten new lines at the end, followed, painted, the counters shown.
void RefreshBench()
{
    BenchMain main;
    TLineMonitor monitor(nullptr, main, MonitorPlacement{});
    monitor.resize(TLineMonitor::kDefaultWidth, TLineMonitor::kDefaultHeight);
    monitor.show();
    QApplication::processEvents();
    double clock = 0;
    std::vector<double> costs;
    QElapsedTimer step;
    for (int i = 0; i < 40; ++i) {
        for (int k = 0; k < 10; ++k)
            monitor.Log().TransactionDone(Typical(i * 10 + k, clock));
        step.start();
        monitor.Refresh();
        QApplication::processEvents();  // the paint it asked for
        costs.push_back(step.nsecsElapsed() / 1e6);
    }
    std::sort(costs.begin(), costs.end());
    std::printf("one refresh during a write (10 new lines, followed and painted, counters shown): median %.2f ms, "
                "worst %.2f ms\n",
                costs[costs.size() / 2], costs.back());
    monitor.hide();
}

void HoldBench(int count)
{
    BenchMain main;
    const long before = ResidentKiB();
    TLineMonitor monitor(nullptr, main, MonitorPlacement{});
    monitor.resize(TLineMonitor::kDefaultWidth, TLineMonitor::kDefaultHeight);
    monitor.show();
    QApplication::processEvents();
    const long shownEmpty = ResidentKiB();

    double clock = 0;
    QElapsedTimer feed;
    feed.start();
    for (int i = 0; i < count; ++i) {
        monitor.Log().TransactionDone(Typical(i, clock));
        if (i % 1000 == 999)
            monitor.Refresh();  // as the 50 ms timer would, in bigger steps
    }
    monitor.Refresh();
    const double feedMs = feed.nsecsElapsed() / 1e6;
    QApplication::processEvents();
    monitor.MONITOR_LIST->viewport()->repaint();
    const long full = ResidentKiB();

    // Scroll steps: a few lines, a page, and jumps, each painted before the next.
    QScrollBar *bar = monitor.MONITOR_LIST->verticalScrollBar();
    std::mt19937 random(7);
    std::vector<double> steps;
    QElapsedTimer step;
    for (int i = 0; i < 300; ++i) {
        const int kind = i % 3;
        int to = kind == 0   ? bar->value() - 3
                 : kind == 1 ? bar->value() - bar->pageStep()
                             : int(random() % uint32_t(bar->maximum() + 1));
        to = std::clamp(to, 0, bar->maximum());
        step.start();
        bar->setValue(to);
        monitor.MONITOR_LIST->viewport()->repaint();
        steps.push_back(step.nsecsElapsed() / 1e6);
    }
    // Unfolding a retried transaction somewhere in the middle.
    step.start();
    for (int r = count / 2; r < count / 2 + 200; ++r)
        if (monitor.Log().rowCount(monitor.Log().index(r, 0)) > 0) {
            monitor.MONITOR_LIST->expand(monitor.Log().index(r, 0));
            monitor.MONITOR_LIST->scrollTo(monitor.Log().index(r, 0));
            monitor.MONITOR_LIST->viewport()->repaint();
            break;
        }
    const double unfoldMs = step.nsecsElapsed() / 1e6;

    // Full: every refresh pushes the oldest out. 25 transactions are what 50 ms of traffic bring at most.
    bar->setValue(bar->maximum());
    std::vector<double> refreshes;
    for (int i = 0; i < 60; ++i) {
        for (int k = 0; k < 25; ++k)
            monitor.Log().TransactionDone(Typical(count + i * 25 + k, clock));
        step.start();
        monitor.Refresh();
        monitor.MONITOR_LIST->viewport()->repaint();
        refreshes.push_back(step.nsecsElapsed() / 1e6);
    }

    std::sort(steps.begin(), steps.end());
    std::sort(refreshes.begin(), refreshes.end());
    std::printf("monitor holding %d transactions (%zu kept, 5 %% retried, 1 %% never answered):\n", count,
                monitor.Log().Size());
    std::printf("  memory: %.1f MiB over the empty window (%.1f MiB with it); goal < 30 MiB\n",
                (full - shownEmpty) / 1024.0, (full - before) / 1024.0);
    std::printf("  fed and shown in %.0f ms (%.2f us a transaction)\n", feedMs, 1000.0 * feedMs / count);
    std::printf("  scroll step painted: median %.2f ms, 99 %% %.2f ms, worst %.2f ms over %zu steps; goal < 16 ms\n",
                steps[steps.size() / 2], steps[steps.size() * 99 / 100], steps.back(), steps.size());
    std::printf("  unfolding a retried line in the middle: %.2f ms\n", unfoldMs);
    std::printf("  refresh with the ring full (25 in, 25 out, painted): median %.2f ms, worst %.2f ms\n",
                refreshes[refreshes.size() / 2], refreshes.back());
    monitor.hide();
}

}  // namespace

int main(int argc, char **argv)
{
    UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(0, std::atoi(argv[1])) : 9;
    const int count = argc > 2 ? std::max(1000, std::atoi(argv[2])) : 100000;
    RefreshBench();
    if (runs > 0)
        WriteBench(runs);
    HoldBench(count);
    return 0;
}
