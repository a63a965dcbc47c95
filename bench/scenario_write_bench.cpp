// A scenario write of 200 items through the scenario editor to two line-paced virtual boards: wall time
// against the time the frames need on the line, and the longest stall of the event loop while it runs.

#include "bench_main.h"
#include "write_timing.h"

#include "measure.h"
#include "protocol/commands.h"
#include "scenario/scenario_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QToolButton>

#include <ctime>

int main(int argc, char **argv)
{
    PacedWriteBench bench(argc, argv, 952);
    orvane::sim::VirtualBoards &boards = bench.boards;
    TFileDialog form(nullptr, bench.main, QString());
    form.show();
    QList<orvane::ScenarioRow> rows;
    for (int i = 0; i < 200; ++i)
        rows.append({QStringLiteral("M%1").arg(i * 7 % 40), QStringLiteral("row %1").arg(i)});
    form.Document()->ReplaceScenario(rows);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<WriteRun> all;
    std::vector<double> lateMs, cpuMs;
    for (int i = 0; i < runs; ++i) {
        const auto late = boards.Lateness();
        const double cpu = ThreadCpuMs();
        all.push_back(TimeWrite(boards, form.FILE_WRITE_BTN));
        cpuMs.push_back(ThreadCpuMs() - cpu);
        lateMs.push_back(double((boards.Lateness() - late).count()) / 1e6);
    }
    const orvane::sim::BoardMemory second = boards.Board(1);
    const bool stored =
        second.scenarioLengths[0] == 200 && second.scenarios[0][199] == 199 * 7 % 40 && boards.Board(0).mode == 0;

    std::vector<double> bare, bareCpu;
    double bareLine = 0;
    for (int i = 0; i < runs; ++i) {
        boards.ClearFrames();
        QElapsedTimer clock;
        clock.start();
        const double cpu = ThreadCpuMs();
        for (int item = 0; item < 200; ++item)
            for (std::uint8_t id : {0, 1}) {
                int retry = RetryCount;
                WriteScenarioItem(retry, id, 0, std::uint8_t(item), std::uint8_t(item * 7 % 40));
            }
        bare.push_back(double(clock.nsecsElapsed()) / 1e6);
        bareCpu.push_back(ThreadCpuMs() - cpu);
        bareLine = LineTimeOf(boards).ms;
    }
    std::sort(bare.begin(), bare.end());

    PrintWriteRuns("scenario write through the editor, 200 items to two paced boards", all, 1.10);
    std::printf("  boards late against their line timing: median %.1f ms per run\n", Median(lateMs));
    std::printf("  the 400 item frames sent bare: line %.1f ms, wall median %.1f ms (ratio %.3f), best %.1f ms\n",
                bareLine, bare[bare.size() / 2], bare[bare.size() / 2] / bareLine, bare.front());
    std::printf("  user-interface thread CPU per run: through the editor %.1f ms, bare %.1f ms\n", Median(cpuMs),
                Median(bareCpu));
    std::printf("  slot written and sleep released: %s\n", stored ? "yes" : "NO");
    ReleasePort();
    return stored ? 0 : 1;
}
