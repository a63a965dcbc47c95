// A motion write of 100 rows through the motion editor to two line-paced virtual boards: wall time against
// the time the frames need on the line, and the longest stall of the event loop while it runs.

#include "bench_main.h"

#include "motion/motion_form.h"
#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "sim/virtual_boards.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int BenchPort = 951;
constexpr double ByteUs = 1e6 * 10 / 115200;

int ReplyLength(uint8_t command)
{
    switch (command) {
    case Cmd::GetMode:
    case Cmd::GetMotionLength: return 3;
    case Cmd::ReadMotionRow: return 15;
    default: return 2;  // acknowledge
    }
}

struct Run {
    double wallMs = 0;
    double lineMs = 0;
    double worstStallMs = 0;
    size_t frames = 0;
};

Run WriteOnce(orvane::sim::VirtualBoards &boards, TMotionForm &form)
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
    form.MOT_WRITE_BTN->click();
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
    TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
    form.show();
    for (int r = 0; r < 100; ++r) {
        QStringList values;
        for (int ch = 1; ch <= 24; ++ch)
            values << QString::number((r * 7 + ch) % 181);
        form.AppendPosition(QStringLiteral("P%1").arg(r), QString::number(r % 8), values);
    }

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(WriteOnce(boards, form));
    std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.wallMs < b.wallMs; });
    double worstStall = 0;
    for (const Run &r : all)
        worstStall = std::max(worstStall, r.worstStallMs);
    const Run &median = all[all.size() / 2];
    const bool stored = boards.Board(1).motionLengths[0] == 100 && boards.Board(0).mode == 0;

    std::printf("motion write through the editor, 100 rows to two paced boards, %d runs (%zu frames each):\n", runs,
                median.frames);
    std::printf("  line time %.1f ms; wall median %.1f ms (ratio %.3f), best %.1f ms (%.3f), worst %.1f ms (%.3f);"
                " goal ratio <= 1.15\n",
                median.lineMs, median.wallMs, median.wallMs / median.lineMs, all.front().wallMs,
                all.front().wallMs / all.front().lineMs, all.back().wallMs, all.back().wallMs / all.back().lineMs);
    std::printf("  longest event-loop stall %.2f ms over all runs (median run %.2f ms); goal <= 16 ms\n", worstStall,
                median.worstStallMs);
    std::printf("  slot written and sleep released: %s\n", stored ? "yes" : "NO");
    ReleasePort();
    return stored ? 0 : 1;
}
