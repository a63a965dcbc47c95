// A scenario write of 200 items through the scenario editor to two line-paced virtual boards: wall time
// against the time the frames need on the line, and the longest stall of the event loop while it runs.

#include "bench_main.h"
#include "write_timing.h"

#include "scenario/scenario_form.h"

#include <QApplication>
#include <QToolButton>

namespace {

constexpr int kBenchPort = 952;

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    orvane::sim::VirtualBoards boards(PacedBoards());
    OpenPortOn(boards, kBenchPort);

    BenchMain main;
    TFileDialog form(nullptr, main, QString());
    form.show();
    QList<orvane::ScenarioRow> rows;
    for (int i = 0; i < 200; ++i)
        rows.append({QStringLiteral("M%1").arg(i * 7 % 40), QStringLiteral("row %1").arg(i)});
    form.Document()->ReplaceScenario(rows);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<WriteRun> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(TimeWrite(boards, form.FILE_WRITE_BTN));
    const orvane::sim::BoardMemory second = boards.Board(1);
    const bool stored =
        second.scenarioLengths[0] == 200 && second.scenarios[0][199] == 199 * 7 % 40 && boards.Board(0).mode == 0;

    PrintWriteRuns("scenario write through the editor, 200 items to two paced boards", all, 1.10);
    std::printf("  slot written and sleep released: %s\n", stored ? "yes" : "NO");
    ReleasePort();
    return stored ? 0 : 1;
}
