// A motion write of 100 rows through the motion editor to two line-paced virtual boards: wall time against
// the time the frames need on the line, and the longest stall of the event loop while it runs.

#include "bench_main.h"
#include "write_timing.h"

#include "measure.h"
#include "motion/motion_form.h"
#include "motion_rows.h"

#include <QApplication>
#include <QToolButton>

int main(int argc, char **argv)
{
    PacedWriteBench bench(argc, argv, 951);
    orvane::sim::VirtualBoards &boards = bench.boards;
    TMotionForm form(nullptr, bench.main, QString(), MotionFormPlacement{});
    form.show();
    FillMotionRows(form, 100);

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<WriteRun> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(TimeWrite(boards, form.MOT_WRITE_BTN));
    const bool stored = boards.Board(1).motionLengths[0] == 100 && boards.Board(0).mode == 0;

    PrintWriteRuns("motion write through the editor, 100 rows to two paced boards", all, 1.15);
    std::printf("  slot written and sleep released: %s\n", stored ? "yes" : "NO");
    ReleasePort();
    return stored ? 0 : 1;
}
