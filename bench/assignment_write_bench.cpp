// A write of all 160 assignment entries through the assignment window to two line-paced virtual boards: wall
// time against the time the frames need on the line, the longest stall of the event loop while it runs, and
// the redraw of all 160 cells that follows a rename.

#include "bench_main.h"

#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "transmitter/propo_dialog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int BenchPort = 953;
constexpr double ByteUs = 1e6 * 10 / 115200;

int ReplyLength(uint8_t command)
{
    switch (command) {
    case Cmd::GetMode: return 3;
    default: return 2;  // acknowledge
    }
}

struct Run {
    double wallMs = 0;
    double lineMs = 0;
    double worstStallMs = 0;
    size_t frames = 0;
};

Run WriteOnce(orvane::sim::VirtualBoards &boards, TPropoDialog &form)
{
    boards.SetBoard(0, orvane::sim::BoardMemory(0));
    boards.SetBoard(1, orvane::sim::BoardMemory(1));
    boards.ClearFrames();

    QElapsedTimer clock;
    double lastTickMs = 0, worstMs = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        worstMs = std::max(worstMs, now - lastTickMs);
        lastTickMs = now;
    });
    tick.start(1);
    clock.start();
    form.PCM_WRITE_BTN->click();
    const double wallMs = clock.nsecsElapsed() / 1e6;
    tick.stop();
    worstMs = std::max(worstMs, wallMs - lastTickMs);

    Run run;
    run.wallMs = wallMs;
    run.worstStallMs = worstMs;
    double bytes = 0;
    for (const auto &frame : boards.Frames()) {
        bytes += double(frame.size()) + ReplyLength(frame[0]);
        ++run.frames;
    }
    run.lineMs = bytes * ByteUs / 1000;
    return run;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    orvane::sim::Options options;
    options.ids = {0, 1};
    options.paced = true;
    orvane::sim::VirtualBoards boards(options);
    SetDevicePath(BenchPort, QString::fromStdString(boards.SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(BenchPort, 115200);
    SerialPort->Open();

    BenchMain main;
    TPropoDialog form(nullptr, main);
    form.show();
    QList<orvane::SlotRow> motions;
    for (int k = 0; k < orvane::kMotionSlotCount; ++k)
        motions.append({QStringLiteral("M%1").arg(k), QStringLiteral("walk%1").arg(k), QStringLiteral("5")});
    form.Assignment().Motions().Assign(motions);
    for (int e = 0; e < orvane::kEntryCount; ++e)
        form.Assignment().SetEntry(e, {uint8_t(e), uint8_t(e % 40)});
    form.ShowLists();

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(WriteOnce(boards, form));
    std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.wallMs < b.wallMs; });
    double worstStall = 0;
    for (const Run &r : all)
        worstStall = std::max(worstStall, r.worstStallMs);
    const Run &median = all[all.size() / 2];
    const bool stored =
        boards.Board(1).assignments[159] == orvane::sim::Assignment{159, 159 % 40} && boards.Board(0).mode == 0;

    std::vector<double> redrawUs;
    for (int i = 0; i < 200; ++i) {
        form.Assignment().Motions().SetName(i % 40, QStringLiteral("renamed%1").arg(i));
        QElapsedTimer clock;
        clock.start();
        form.RedrawCells();
        redrawUs.push_back(clock.nsecsElapsed() / 1e3);
    }
    std::sort(redrawUs.begin(), redrawUs.end());

    std::printf("assignment write through the window, 160 entries to two paced boards, %d runs (%zu frames each):\n",
                runs, median.frames);
    std::printf("  line time %.1f ms; wall median %.1f ms (ratio %.3f), best %.1f ms (%.3f), worst %.1f ms (%.3f);"
                " goal ratio <= 1.10\n",
                median.lineMs, median.wallMs, median.wallMs / median.lineMs, all.front().wallMs,
                all.front().wallMs / all.front().lineMs, all.back().wallMs, all.back().wallMs / all.back().lineMs);
    std::printf("  longest event-loop stall %.2f ms over all runs (median run %.2f ms); goal <= 16 ms\n", worstStall,
                median.worstStallMs);
    std::printf("  redraw of 160 cells after a rename: median %.0f us, worst %.0f us; goal < 2000 us\n",
                redrawUs[redrawUs.size() / 2], redrawUs.back());
    std::printf("  table written and sleep released: %s\n", stored ? "yes" : "NO");
    ReleasePort();
    return stored ? 0 : 1;
}
