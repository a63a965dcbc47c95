#pragma once
// One click that runs a whole write to line-paced virtual boards: its wall time against the time its frames
// and their replies need on the line, and the longest stall of the event loop meanwhile (a 1 ms timer that
// should keep firing).

#include "bench_main.h"
#include "line_time.h"
#include "measure.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

struct WriteRun {
    double wallMs = 0;
    double lineMs = 0;
    double worstStallMs = 0;
    size_t frames = 0;
};

// Boards 0 and 1 paced like the real line, behind the program's port `portNo`.
inline orvane::sim::Options PacedBoards()
{
    orvane::sim::Options options;
    options.ids = {0, 1};
    options.paced = true;
    return options;
}

inline void OpenPortOn(orvane::sim::VirtualBoards &boards, int portNo)
{
    SetDevicePath(portNo, QString::fromStdString(boards.SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(portNo, 115200);
    SerialPort->Open();
}

// What a write benchmark runs in: no display unless one is chosen, boards 0 and 1 paced like the real line
// behind the program's port `portNo`, and the main window's stand-in.
struct PacedWriteBench {
    PacedWriteBench(int &argc, char **argv, int portNo) : app((UseOffscreenUnlessSet(), argc), argv)
    {
        OpenPortOn(boards, portNo);
    }
    QApplication app;
    orvane::sim::VirtualBoards boards{PacedBoards()};
    BenchMain main;
};

inline WriteRun TimeWrite(orvane::sim::VirtualBoards &boards, QAbstractButton *button)
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
    button->click();
    const double wallMs = clock.nsecsElapsed() / 1e6;
    tick.stop();
    worstMs = std::max(worstMs, wallMs - lastTickMs);

    WriteRun run;
    run.wallMs = wallMs;
    run.worstStallMs = worstMs;
    const LineTime line = LineTimeOf(boards);
    run.lineMs = line.ms;
    run.frames = line.frames;
    return run;
}

// Prints the wall-time and stall lines of `all` (sorted here) under `title`.
inline void PrintWriteRuns(const char *title, std::vector<WriteRun> &all, double goalRatio)
{
    std::sort(all.begin(), all.end(), [](const WriteRun &a, const WriteRun &b) { return a.wallMs < b.wallMs; });
    double worstStall = 0;
    for (const WriteRun &r : all)
        worstStall = std::max(worstStall, r.worstStallMs);
    const WriteRun &median = all[all.size() / 2];
    std::printf("%s, %zu runs (%zu frames each):\n", title, all.size(), median.frames);
    std::printf("  line time %.1f ms; wall median %.1f ms (ratio %.3f), best %.1f ms (%.3f), worst %.1f ms (%.3f);"
                " goal ratio <= %.2f\n",
                median.lineMs, median.wallMs, median.wallMs / median.lineMs, all.front().wallMs,
                all.front().wallMs / all.front().lineMs, all.back().wallMs, all.back().wallMs / all.back().lineMs,
                goalRatio);
    std::printf("  longest event-loop stall %.2f ms over all runs (median run %.2f ms); goal <= 16 ms\n", worstStall,
                median.worstStallMs);
}
