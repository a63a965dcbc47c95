// Saves and loads a scenario file of 100,000 rows, through the document and through the editor window with
// its list on screen, and takes the load back; the goal is under a second for a load and for a save. Then
// what history costs on that list: 1,000 one-row deletes, and the undo of a delete of every row.
// Run: scenario_file_bench [rows] [folder]

#include "bench_main.h"

#include "measure.h"
#include "scenario/scenario_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace orvane;

namespace {

// Every question answered Yes, every file dialog answered with `path`.
class FilePrompt : public AgreeingPrompt {
public:
    QString OpenFile(const QString &, const QString &, const QString &) override { return path; }
    QString SaveFile(const QString &, const QString &, const QString &) override { return path; }
    QString path;
};

// Heap in use: freed blocks that the process keeps would hide a growth from its resident size.
double HeapMb() { return double(mallinfo2().uordblks) / 1e6; }

}  // namespace

int main(int argc, char **argv)
{
    UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100'000;
    QTemporaryDir tmp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/scenario-bench-XXXXXX")
                               : QString());
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    constexpr int kRuns = 5;

    for (const bool japanese : {false, true}) {
        QList<SlotRow> motions;
        for (int k = 0; k < kMotionSlotCount; ++k)
            motions.append({QStringLiteral("M%1").arg(k),
                            japanese ? QStringLiteral("歩く %1").arg(k) : QStringLiteral("walk%1").arg(k),
                            QString::number(k % 101)});
        QList<ScenarioRow> rows;
        rows.reserve(count);
        for (int i = 0; i < count; ++i) {
            const int m = (i * 7) % kMotionSlotCount;
            rows.append({QStringLiteral("M%1").arg(m), motions[m].name});
        }
        const QString path = tmp.filePath(japanese ? QStringLiteral("jp.csv") : QStringLiteral("ascii.csv"));
        bool ok = true;

        ScenarioDocument doc;
        doc.Motions()->Replace(motions);
        doc.ReplaceScenario(rows);
        const double save = MedianMs(kRuns, [&] { ok &= doc.SaveFile(path, nullptr); });
        ScenarioDocument loaded;
        const double load = MedianMs(kRuns, [&] {
            loaded.Scenario()->Clear();
            ok &= loaded.LoadFile(path).ok();
        });
        ok &= loaded.RowCount() == count && loaded.Scenario()->Rows() == rows;

        // Through the window: the open button with the list on screen, the save button, and the load taken
        // back and done again.
        BenchMain main;
        FilePrompt prompt;
        prompt.path = path;
        main.Use(&prompt);
        TFileDialog form(nullptr, main, tmp.path());
        form.show();
        form.Document()->Motions()->Replace(motions);
        const double open = MedianMs(kRuns, [&] {
            form.Document()->ReplaceScenario({});
            QApplication::processEvents();
            form.OPEN_BTN->click();
            QApplication::processEvents();
        });
        ok &= form.Document()->RowCount() == count;
        const double saveButton = MedianMs(kRuns, [&] { form.SAVE_BTN->click(); });
        const double undo = MedianMs(kRuns, [&] {
            form.UNDO_MENU->trigger();
            QApplication::processEvents();
            form.REDO_MENU->trigger();
            QApplication::processEvents();
        });
        ok &= form.Document()->RowCount() == count;

        std::printf("%s names, %d rows, %.1f MB file%s\n", japanese ? "Japanese (CP932)" : "ASCII", count,
                    double(QFileInfo(path).size()) / 1e6, ok ? "" : "  ** FAILED **");
        std::printf("  save (document)          %8.1f ms\n", save);
        std::printf("  load (document)          %8.1f ms\n", load);
        std::printf("  open button, list shown  %8.1f ms\n", open);
        std::printf("  save button              %8.1f ms\n", saveButton);
        std::printf("  undo + redo of the load  %8.1f ms\n", undo);
        std::printf("  goal: load and save under 1000 ms each\n");
        if (!ok)
            return 1;

        if (japanese)
            continue;
        // History on the same list: each delete of one row near the top keeps that row only.
        form.Document()->UndoStack()->clear();
        QApplication::processEvents();
        const double before = HeapMb();
        QElapsedTimer deletes;
        deletes.start();
        for (int i = 0; i < 1000; ++i) {
            form.FileList->selectRow(1 + i % 50);
            form.DELETE_BTN->click();
        }
        const double deleteMs = double(deletes.nsecsElapsed()) / 1e6;
        QApplication::processEvents();
        const double grown = HeapMb() - before;
        ok &= form.Document()->RowCount() == count - 1000 && form.Document()->UndoStack()->count() == 1000;
        std::vector<double> undoTimes;
        for (int i = 0; i < kRuns; ++i) {
            form.FileList->selectAll();
            form.DELETE_BTN->click();
            QApplication::processEvents();
            undoTimes.push_back(MedianMs(1, [&] {
                form.UNDO_MENU->trigger();
                QApplication::processEvents();
            }));
        }
        std::sort(undoTimes.begin(), undoTimes.end());
        const double undoAll = undoTimes[undoTimes.size() / 2];
        ok &= form.Document()->RowCount() == count - 1000;
        std::printf("History on %d rows%s\n", count, ok ? "" : "  ** FAILED **");
        std::printf("  1,000 one-row deletes    %8.1f ms, heap grown by %.2f MB (goal under 20 MB)\n", deleteMs, grown);
        std::printf("  undo of a delete of every row, list shown %8.1f ms (goal under 100 ms)\n", undoAll);
        if (!ok)
            return 1;
    }
    return 0;
}
