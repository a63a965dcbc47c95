// Undo in the motion editor on a list of 100,000 rows: a delete of every row and of one row near the top
// (which renumbers all after it), then its undo and redo, each through the editor's own commands with the
// list view attached. Run: QT_QPA_PLATFORM=offscreen motion_undo_bench

#include "bench_main.h"

#include "motion/motion_data.h"
#include "motion/motion_form.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTableView>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
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

template <typename F>
double Ms(F &&f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

void Report(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("  %-12s %8.2f / %8.2f / %8.2f ms\n", what, ms.front(), ms[ms.size() / 2], ms.back());
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchMain main;
    TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
    form.show();
    Fill(*form.model());
    QApplication::processEvents();

    std::printf("%d rows, %d runs each (min / median / max)\n", kRows, kRuns);
    const struct {
        const char *name;
        bool all;
    } cases[] = {{"delete of every row", true}, {"delete of row 2 (renumbers the rest)", false}};
    for (const auto &c : cases) {
        std::vector<double> del, undo, redo;
        for (int i = 0; i < kRuns; ++i) {
            if (c.all)
                form.PosList->selectAll();
            else
                form.PosList->selectRow(1);
            del.push_back(Ms([&] { form.DELETE_BTN->click(); }));
            undo.push_back(Ms([&] { form.UNDO_MENU->trigger(); }));
            redo.push_back(Ms([&] { form.REDO_MENU->trigger(); }));
            form.UNDO_MENU->trigger();
            if (form.RowCount() != kRows) {
                std::printf("undo did not restore the rows\n");
                return 1;
            }
        }
        std::printf("%s:\n", c.name);
        Report("delete", del);
        Report("undo", undo);
        Report("redo", redo);
    }
    return 0;
}
