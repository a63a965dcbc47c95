// Undo and redo in the motion editor: every change of the rows (and the captions a load brings) goes back
// exactly and comes again, with the count, the numbering and the graph following.

#include "fake_main.h"
#include "file_helpers.h"

#include "motion/motion_data.h"
#include "motion/motion_form.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

struct Snapshot {
    QList<QStringList> rows;
    QStringList captions;
    bool operator==(const Snapshot &) const = default;
};

QByteArray FileWith(const QByteArray &ch5, std::initializer_list<const char *> numbers)
{
    QByteArray bytes = "NO,DATA_NAME,SPEED";
    for (int n = 1; n <= 24; ++n)
        bytes += "," + (n == 5 ? ch5 : "CH" + QByteArray::number(n));
    bytes += "\r\n";
    for (const char *no : numbers)
        bytes += QByteArray(no) + ",F" + no + ",2" + QByteArray(",10").repeated(24) + "\r\n";
    return bytes;
}

class Undo : public ::testing::Test {
protected:
    void SetUp() override { main.folder = dir.path(); }
    Snapshot Take() const
    {
        Snapshot s;
        for (int r = 0; r < form.RowCount(); ++r)
            s.rows << form.model()->Fields(r);
        s.captions = form.model()->Captions();
        return s;
    }
    void Fill(int n)
    {
        for (int r = 1; r <= n; ++r)
            form.AppendPosition(QStringLiteral("R%1").arg(r), QString::number(r % 8),
                                QStringList(24, QString::number(r)));
    }
    void Select(std::initializer_list<int> rows)
    {
        form.PosList->clearSelection();
        for (int r : rows)
            form.PosList->selectionModel()->select(form.model()->index(r, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QString WriteFile(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("in%1.csv").arg(files++));
        WriteAll(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    FakeMain main;
    TMotionForm form{nullptr, main, dir.path(), MotionFormPlacement{}, QDate(2024, 5, 17)};
    int files = 0;
};

TEST_F(Undo, EveryChangeUndoneRestoresRowsAndCaptionsExactlyAndRedoneComesBack)
{
    // Numbers 10, 20, ... from a file: a renumbering change must give the old numbers back, not 1, 2, ...
    main.ownPrompt.files = {WriteFile(FileWith("CH5", {"10", "20", "30", "40", "50"}))};
    form.OPEN_BTN->click();
    ASSERT_EQ(form.RowCount(), 5);
    form.UndoStack()->clear();  // start from the loaded list; the load's own step is checked below

    const std::vector<std::pair<const char *, std::function<void()>>> changes{
        {"add", [&] { form.AppendPosition("added", "5", QStringList(24, "77")); }},
        {"overwrite",
         [&] {
             Select({1, 3});
             form.OverwriteSelected("over", "1", QStringList(24, "33"));
         }},
        {"cut",
         [&] {
             Select({0, 2});
             form.CUT_BTN->click();
         }},
        {"paste",
         [&] {
             Select({1});
             form.PASTE_BTN->click();
         }},
        {"insert",
         [&] {
             Select({2});
             form.INSERT_BTN->click();
         }},
        {"delete",
         [&] {
             Select({1, 4});
             form.DELETE_BTN->click();
         }},
        {"rename",
         [&] {
             Select({3});
             main.ownPrompt.inputs = {QStringLiteral("renamed")};
             form.RENAME_MENU->trigger();
         }},
        {"speed",
         [&] {
             Select({0, 1, 2});
             form.SP[6]->trigger();
         }},
        {"load",
         [&] {
             main.ownPrompt.files = {WriteFile(FileWith("Knee", {"7", "8"}))};
             form.OPEN_BTN->click();
         }},
        {"new", [&] { form.NEW_BTN->click(); }},
    };
    QSignalSpy graph(&form, &TMotionForm::GraphRedrawRequested);
    for (const auto &[name, change] : changes) {
        SCOPED_TRACE(name);
        const Snapshot before = Take();
        change();
        const Snapshot after = Take();
        ASSERT_NE(before, after);
        ASSERT_TRUE(form.UNDO_MENU->isEnabled());

        graph.clear();
        form.UNDO_MENU->trigger();
        EXPECT_EQ(Take(), before);
        EXPECT_EQ(form.POS_COUNT_LABEL->text(), QStringLiteral("DATA > %1").arg(before.rows.size()));
        ASSERT_EQ(graph.size(), 1);
        EXPECT_EQ(graph[0][0].toInt(), before.rows.size());
        EXPECT_TRUE(form.REDO_MENU->isEnabled());

        form.REDO_MENU->trigger();
        EXPECT_EQ(Take(), after);
        EXPECT_EQ(form.POS_COUNT_LABEL->text(), QStringLiteral("DATA > %1").arg(after.rows.size()));
        EXPECT_FALSE(form.REDO_MENU->isEnabled());
    }
    EXPECT_EQ(form.RowCount(), 0);
}

TEST_F(Undo, ALongMixedSequenceUndoneToTheStartGivesTheOriginalAndRedoneGivesTheEnd)
{
    Fill(12);
    form.UndoStack()->clear();
    const Snapshot original = Take();
    for (int round = 0; round < 15; ++round) {
        Select({round % form.RowCount(), (round * 5 + 3) % form.RowCount()});
        switch (round % 5) {
        case 0: form.COPY_BTN->click(); break;
        case 1: form.CUT_BTN->click(); break;
        case 2: form.PASTE_BTN->click(); break;
        case 3: form.INSERT_BTN->click(); break;
        case 4: form.SP[round % 8]->trigger(); break;
        }
        form.AppendPosition(QStringLiteral("A%1").arg(round), "2", QStringList(24, QString::number(round)));
    }
    const Snapshot end = Take();
    ASSERT_NE(end, original);
    // Undone part way, a new change drops what could be redone.
    while (form.UndoStack()->canUndo())
        form.UNDO_MENU->trigger();
    EXPECT_EQ(Take(), original);
    while (form.UndoStack()->canRedo())
        form.REDO_MENU->trigger();
    EXPECT_EQ(Take(), end);
}

TEST_F(Undo, KeysAndThePopupMenuReachUndoAndRedoAndNothingUnchangedIsRecorded)
{
    EXPECT_EQ(form.UNDO_MENU->shortcuts(), QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Z"))});
    EXPECT_EQ(form.REDO_MENU->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                                QKeySequence(QStringLiteral("Ctrl+Y"))}));
    EXPECT_EQ(form.UNDO_MENU->text(), QStringLiteral("元に戻す"));
    EXPECT_EQ(form.REDO_MENU->text(), QStringLiteral("やり直し"));
    // The old entries keep their places; undo and redo come last.
    const QList<QAction *> items = form.Popup1->actions();
    EXPECT_EQ(items.indexOf(form.DELETE_MENU), items.size() - 4);
    EXPECT_EQ(items.last(), form.REDO_MENU);
    EXPECT_FALSE(form.UNDO_MENU->isEnabled());

    Fill(3);
    Select({1});
    form.COPY_BTN->click();                          // copies, changes nothing
    main.ownPrompt.inputs = {QStringLiteral("R2")};  // renamed to the same name
    form.RENAME_MENU->trigger();
    main.ownPrompt.answers = {PromptAnswer::Cancel};
    form.NEW_BTN->click();
    EXPECT_EQ(form.UndoStack()->count(), 3);

    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.PosList->setFocus();
    QTest::keyClick(form.PosList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.RowCount(), 2);
    QTest::keyClick(form.PosList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.RowCount(), 1);
    QTest::keyClick(form.PosList, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form.RowCount(), 2);
    QTest::keyClick(form.PosList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form.RowCount(), 3);
    EXPECT_EQ(form.model()->Field(2, 1), QStringLiteral("R3"));
}

TEST_F(Undo, UndoOfADeleteOfManyRowsPutsBackTheirOwnNumbers)
{
    QList<QStringList> rows;
    for (int r = 0; r < 3000; ++r)
        rows << QStringList{QString::number(r * 2), QStringLiteral("N%1").arg(r), "3"} + QStringList(24, "90");
    form.model()->InsertRowsFields(0, rows);
    const Snapshot before = Take();
    Select({5});
    form.DELETE_BTN->click();
    EXPECT_EQ(form.model()->Field(5, 0), QStringLiteral("6"));  // renumbered
    form.UNDO_MENU->trigger();
    EXPECT_EQ(Take(), before);
    EXPECT_EQ(form.PosList->selectionModel()->selectedRows().size(), 2995);  // the rows it touched
}

}  // namespace
