// What undo history costs in the motion editor on a motion of 100,000 rows, through the editor's own
// commands with the list view attached:
//  1. memory: N single-row deletes of row 2 (each renumbers every row after it), growth of the resident set
//     (VmRSS) and of the heap in use (mallinfo2) over all N; goal under 20 MB for N = 1,000;
//  2. time: undo of a delete of every row; goal under 100 ms.
// Run: QT_QPA_PLATFORM=offscreen motion_undo_bench [N]

#include "bench_main.h"

#include "measure.h"
#include "motion/motion_data.h"
#include "motion/motion_form.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kRuns = 7;

void Fill(orvane::MotionData &data)
{
    orvane::MotionRows rows;
    rows.Reserve(kRows);
    for (int r = 0; r < kRows; ++r) {
        orvane::MotionRows::RowText row;
        row.AddNumber(r + 1);
        row.Add(u"DATA");
        row.AddNumber(r % 8);
        for (int ch = 0; ch < 24; ++ch)
            row.AddNumber((r + ch) % 181);
        rows.Append(std::move(row));
    }
    data.ReplaceAll(orvane::DefaultMotionCaptions(), std::move(rows));
}

double ResidentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

double HeapMb() { return double(mallinfo2().uordblks) / (1024.0 * 1024.0); }

template <typename F>
double Ms(F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

}  // namespace

int main(int argc, char **argv)
{
    UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    const int deletes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    BenchMain main;

    {
        TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
        form.show();
        Fill(*form.model());
        form.UndoStack()->clear();
        QApplication::processEvents();
        const double rss0 = ResidentMb(), heap0 = HeapMb();
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < deletes; ++i) {
            form.PosList->selectRow(1);
            form.DELETE_BTN->click();
        }
        QApplication::processEvents();
        const double seconds = double(timer.elapsed()) / 1000.0;
        if (form.RowCount() != kRows - deletes || form.UndoStack()->count() != deletes) {
            std::printf("the deletes did not all happen\n");
            return 1;
        }
        const double rss = ResidentMb() - rss0, heap = HeapMb() - heap0;
        std::printf("%d single-row deletes of row 2 in %d rows (%.1f s):\n", deletes, kRows, seconds);
        std::printf("  resident set grew %8.2f MB (%.3f MB a step)\n", rss, rss / deletes);
        std::printf("  heap in use grew  %8.2f MB (%.3f MB a step)\n", heap, heap / deletes);
    }

    TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
    form.show();
    Fill(*form.model());
    QApplication::processEvents();
    std::vector<double> del, undo, redo;
    for (int i = 0; i < kRuns; ++i) {
        form.PosList->selectAll();
        del.push_back(Ms([&] { form.DELETE_BTN->click(); }));
        undo.push_back(Ms([&] { form.UNDO_MENU->trigger(); }));
        if (form.RowCount() != kRows) {
            std::printf("undo did not restore the rows\n");
            return 1;
        }
        redo.push_back(Ms([&] { form.REDO_MENU->trigger(); }));
        form.UNDO_MENU->trigger();
        QApplication::processEvents();
    }
    const auto report = [](const char *what, std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        std::printf("  %-8s %8.2f / %8.2f / %8.2f ms\n", what, ms.front(), ms[ms.size() / 2], ms.back());
    };
    std::printf("delete of all %d rows, %d runs (min / median / max):\n", kRows, kRuns);
    report("delete", del);
    report("undo", undo);
    report("redo", redo);
    return 0;
}
