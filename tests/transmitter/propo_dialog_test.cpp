// The assignment window and the key pattern dialog, driven without boards.

#include "fake_main.h"
#include "modal_wait.h"

#include "file_helpers.h"
#include "textfile/code_page.h"
#include "transmitter/assignment_file.h"
#include "transmitter/button_dialog.h"
#include "transmitter/propo_dialog.h"
#include "widgets/color_btn.h"

#include <QAction>
#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace orvane;

namespace {

const QString Warning = QStringLiteral("警告");

void FillLists(AssignmentDocument &a, int countOfSlot = 1)
{
    QList<SlotRow> scenes;
    for (int k = 0; k < kScenarioSlotCount; ++k)
        scenes.append(
            {"S" + QString::number(k), "dance" + QString::number(k), QString::number(k == 3 ? 0 : countOfSlot)});
    QList<SlotRow> motions;
    for (int k = 0; k < kMotionSlotCount; ++k)
        motions.append(
            {"M" + QString::number(k), "walk" + QString::number(k), QString::number(k == 9 ? 0 : countOfSlot)});
    a.ReplaceList(SlotListKind::Scenarios, scenes);
    a.ReplaceList(SlotListKind::Motions, motions);
}

class PropoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.SetButtonDialog(&keys);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    QString Cell(int row, int column) const { return form.KeyList->item(row, column)->text(); }
    QPoint CellCentre(int row, int column) const
    {
        return form.KeyList->visualItemRect(form.KeyList->item(row, column)).center();
    }
    // A drag of the given type moved over the cell and dropped there, as Qt delivers them.
    bool DragAndDrop(const QString &type, int row, int column)
    {
        QMimeData data;
        data.setData(type, "0");
        const QPoint at = CellCentre(row, column);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.KeyList->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.KeyList->viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.KeyList->viewport(), &drop);
        return true;
    }
    void SelectListRow(QTreeWidget *list, int row) { list->setCurrentItem(list->topLevelItem(row)); }
    void Prepare()
    {
        FillLists(form.Document());
        form.ShowLists();
        form.RedrawCells();
    }

    FakeMain main;
    TButtonDialog keys;
    TPropoDialog form{nullptr, main};
};

}  // namespace

TEST_F(PropoWindow, ControlsGridAndTextsAtCreation)
{
    for (const char *name :
         {"OPEN_BTN", "SAVE_BTN", "DEF_SCR_BTN", "PCM_WRITE_BTN", "PCM_READ_BTN", "PCM_FORMAT_BTN", "DELETE_BTN"})
        EXPECT_NE(form.findChild<QToolButton *>(QLatin1String(name)), nullptr) << name;
    EXPECT_NE(form.findChild<QTreeWidget *>(QStringLiteral("SceList")), nullptr);
    EXPECT_NE(form.findChild<QTreeWidget *>(QStringLiteral("MotList")), nullptr);
    EXPECT_NE(form.findChild<QTableWidget *>(QStringLiteral("KeyList")), nullptr);
    EXPECT_NE(form.findChild<QProgressBar *>(QStringLiteral("COMM_GAUGE")), nullptr);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("外部コントローラーの設定"));
    EXPECT_EQ(form.PCM_READ_BTN->toolTip(), QStringLiteral("シナリオ・モーション・コントロール割付を読み込む"));
    EXPECT_EQ(form.DELETE_BTN->toolTip(), QStringLiteral("選択しているコントロール割付を削除する"));

    ASSERT_EQ(form.KeyList->rowCount(), 33);
    ASSERT_EQ(form.KeyList->columnCount(), 6);
    const QStringList header{"No", "シフトなし", "シフト１", "シフト２", "シフト３", "シフト４"};
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(Cell(0, c), header[c]);
    EXPECT_EQ(Cell(1, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(32, 0), QStringLiteral("32"));
    EXPECT_EQ(form.KeyList->columnWidth(0), 32);
    EXPECT_EQ(form.KeyList->columnWidth(5), 80);
    EXPECT_EQ(form.KeyList->rowHeight(7), 15);
    for (int e = 0; e < kAssignmentEntryCount; ++e)
        ASSERT_TRUE(Cell(RowOfEntry(e), ColumnOfEntry(e)).isEmpty());
    // At its first size the window shows the whole grid.
    EXPECT_FALSE(form.KeyList->horizontalScrollBar()->isVisible()) << form.KeyList->width() << " " << form.width();
    EXPECT_FALSE(form.KeyList->verticalScrollBar()->isVisible()) << form.KeyList->height();
    // Fixed cells cannot be selected.
    EXPECT_FALSE(form.KeyList->item(0, 3)->flags() & Qt::ItemIsSelectable);
    EXPECT_FALSE(form.KeyList->item(4, 0)->flags() & Qt::ItemIsSelectable);

    form.KeyList->setColumnWidth(2, 200);
    form.SceList->setColumnWidth(1, 10);
    form.DEF_SCR_BTN->click();
    EXPECT_EQ(form.KeyList->columnWidth(2), 80);
    EXPECT_EQ(form.SceList->columnWidth(0), 50);
    EXPECT_EQ(form.SceList->columnWidth(1), 80);
    EXPECT_EQ(form.MotList->columnWidth(2), 55);
}

TEST_F(PropoWindow, DropOfAScenarioRowSetsTheTargetAndKeepsThePattern)
{
    Prepare();
    form.Document().SetPattern(68, 5);
    SelectListRow(form.SceList, 2);
    ASSERT_TRUE(DragAndDrop(TPropoDialog::SceneRowMimeType, 5, 3));
    EXPECT_EQ(form.Assignment().Entry(68), (AssignmentEntry{5, 102}));
    EXPECT_EQ(Cell(5, 3), QStringLiteral("[↑→:S2:dance2]"));
    EXPECT_EQ(form.KeyList->currentRow(), 5);
    EXPECT_EQ(form.KeyList->currentColumn(), 3);

    // A motion row on an empty cell: no pattern yet.
    SelectListRow(form.MotList, 7);
    ASSERT_TRUE(DragAndDrop(TPropoDialog::MotionRowMimeType, 1, 1));
    EXPECT_EQ(Cell(1, 1), QStringLiteral("[None:M7:walk7]"));
}

TEST_F(PropoWindow, DropOutsideTheEntryCellsOrOfAForeignTypeChangesNothing)
{
    Prepare();
    SelectListRow(form.SceList, 1);
    const AssignmentTable before = form.Assignment().Table();
    EXPECT_FALSE(DragAndDrop(TPropoDialog::SceneRowMimeType, 5, 0));
    EXPECT_FALSE(DragAndDrop(TPropoDialog::SceneRowMimeType, 0, 3));
    EXPECT_FALSE(DragAndDrop(QStringLiteral("text/plain"), 5, 3));
    // The drop alone, without an accepted move, is checked again.
    QMimeData data;
    data.setData(TPropoDialog::SceneRowMimeType, "1");
    QDropEvent drop(QPointF(CellCentre(0, 2)), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.KeyList->viewport(), &drop);
    EXPECT_EQ(form.Assignment().Table(), before);
    EXPECT_EQ(Cell(0, 2), QStringLiteral("シフト１"));

    // No row selected in the source list.
    form.SceList->clearSelection();
    form.SceList->setCurrentItem(nullptr);
    EXPECT_TRUE(DragAndDrop(TPropoDialog::SceneRowMimeType, 5, 3));
    EXPECT_EQ(form.Assignment().Table(), before);
}

TEST_F(PropoWindow, KeyPatternByDoubleClickCancelKeepsOkTakes)
{
    Prepare();
    form.Document().SetEntry(36, {3, 5});
    form.RedrawCells();
    const QPoint at = CellCentre(5, 2);
    bool shownWithPattern = false;
    WhenModal([&](QWidget *) {
        shownWithPattern = keys.Pattern() == 3 && TButtonDialog::ShowsPressed(keys.COMMAND[1]);
        keys.COMMAND[7]->click();
        keys.COMMAND[0]->click();
        keys.CancelButton->click();
    });
    QTest::mouseClick(form.KeyList->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(form.KeyList->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(shownWithPattern);
    EXPECT_EQ(form.Assignment().Entry(36), (AssignmentEntry{3, 5}));

    WhenModal([&](QWidget *) {
        // The clicks of the cancelled opening are gone.
        shownWithPattern =
            !TButtonDialog::ShowsPressed(keys.COMMAND[7]) && TButtonDialog::ShowsPressed(keys.COMMAND[0]);
        keys.COMMAND[7]->click();
        keys.COMMAND[0]->click();
        keys.OkButton->click();
    });
    QTest::mouseDClick(form.KeyList->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(shownWithPattern);
    EXPECT_EQ(form.Assignment().Entry(36), (AssignmentEntry{130, 5}));
    EXPECT_EQ(Cell(5, 2), QStringLiteral("[↓□:M5:walk5]"));
}

TEST_F(PropoWindow, DeleteButtonAndKeyEmptyTheSelectedEntryWithoutAsking)
{
    Prepare();
    form.Document().SetEntry(0, {1, 0});
    form.Document().SetEntry(33, {2, 101});
    form.RedrawCells();
    form.KeyList->setCurrentCell(1, 1);
    form.DELETE_BTN->click();
    EXPECT_TRUE(form.Assignment().Entry(0).IsEmpty());
    EXPECT_TRUE(Cell(1, 1).isEmpty());
    form.KeyList->setCurrentCell(2, 2);
    QTest::keyClick(form.KeyList, Qt::Key_Delete);
    EXPECT_TRUE(form.Assignment().Entry(33).IsEmpty());
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
}

TEST_F(PropoWindow, RenameOnlyForSlotsWithDataAndEveryCellFollows)
{
    Prepare();
    form.Document().SetEntry(10, {1, 102});
    form.Document().SetEntry(100, {2, 102});
    form.Document().SetEntry(11, {1, 9});
    form.RedrawCells();

    SelectListRow(form.MotList, 9);  // COUNT 0
    main.ownPrompt.inputs = {QStringLiteral("never")};
    form.MotListDblClick();
    EXPECT_TRUE(main.ownPrompt.dialogs.isEmpty());

    SelectListRow(form.SceList, 2);
    main.ownPrompt.inputs = {QStringLiteral("jump, high")};
    form.SceListDblClick();
    EXPECT_EQ(main.ownPrompt.dialogs, QStringList{QStringLiteral("DATA NAMEの入力")});
    EXPECT_EQ(form.Assignment().Scenarios().Row(2).name, QStringLiteral("jump, high"));
    EXPECT_EQ(form.SceList->topLevelItem(2)->text(1), QStringLiteral("jump, high"));
    EXPECT_EQ(Cell(11, 1), QStringLiteral("[↑:S2:jump, high]"));
    EXPECT_EQ(Cell(5, 4), QStringLiteral("[↓:S2:jump, high]"));

    main.ownPrompt.inputs = {QString()};  // Cancel
    form.SceListDblClick();
    EXPECT_EQ(form.Assignment().Scenarios().Row(2).name, QStringLiteral("jump, high"));
}

TEST_F(PropoWindow, SaveWaitsForBothListsThenReplacesTheFileNamed)
{
    form.SAVE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes[0].icon, PromptIcon::Error);
    EXPECT_EQ(main.ownPrompt.boxes[0].title, Warning);
    EXPECT_EQ(main.ownPrompt.boxes[0].text, QStringLiteral("保存するデータがありません"));
    EXPECT_TRUE(main.ownPrompt.dialogs.isEmpty());

    Prepare();
    form.Document().SetEntry(4, {9, 39});
    QTemporaryDir dir;
    const QString bare = dir.filePath(QStringLiteral("keys"));
    WriteAll(bare + ".csv", "older file");
    main.ownPrompt.files = {bare};
    form.SAVE_BTN->click();
    EXPECT_EQ(main.ownPrompt.replacingSaves, QStringList{QStringLiteral("コントロール割付をファイルに保存する")});
    EXPECT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(ReadAll(bare + ".csv"), EncodeText(AssignmentFileText(form.Assignment())));
    EXPECT_FALSE(QFile::exists(bare));

    // A folder that is not there: said, and nothing else changes.
    main.ownPrompt.files = {dir.filePath(QStringLiteral("missing/keys.csv"))};
    form.SAVE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_TRUE(main.ownPrompt.boxes[1].text.startsWith(QStringLiteral("コントロール割付を保存できませんでした")));
}

TEST_F(PropoWindow, OpenRejectsABadFileKeepingEverythingAndLoadsAGoodOne)
{
    Prepare();
    form.Document().SetEntry(7, {4, 103});
    form.RedrawCells();
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.csv"));
    AssignmentDocument other;
    FillLists(other, 5);
    other.Rename(SlotListKind::Motions, 0, QStringLiteral("run"));
    other.SetEntry(7, {16, 0});
    ASSERT_TRUE(SaveAssignmentFile(good, other.Assignment(), nullptr));
    QByteArray text = ReadAll(good);
    const QString bad = dir.filePath(QStringLiteral("bad.csv"));
    WriteAll(bad, text.replace("7,16,0", "7,16,40"));

    main.ownPrompt.files = {bad};
    form.OPEN_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_EQ(main.ownPrompt.boxes[0].text, QStringLiteral("指定のファイルは使用できません"));
    EXPECT_EQ(form.Assignment().Entry(7), (AssignmentEntry{4, 103}));
    EXPECT_EQ(form.MotList->topLevelItem(0)->text(1), QStringLiteral("walk0"));

    main.ownPrompt.files = {good};
    form.OPEN_BTN->click();
    EXPECT_EQ(main.ownPrompt.dialogs.last(), QStringLiteral("コントロール割付のファイルを開く"));
    EXPECT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(form.Assignment().Entry(7), (AssignmentEntry{16, 0}));
    EXPECT_EQ(Cell(8, 1), QStringLiteral("[△:M0:run]"));
    EXPECT_EQ(form.MotList->topLevelItem(0)->text(2), QStringLiteral("5"));
}

TEST_F(PropoWindow, UndoAndRedoFollowEveryEditByActionAndKeys)
{
    EXPECT_EQ(form.findChild<QAction *>(QStringLiteral("UNDO_MENU")), form.UNDO_MENU);
    EXPECT_EQ(form.findChild<QAction *>(QStringLiteral("REDO_MENU")), form.REDO_MENU);
    EXPECT_EQ(form.UNDO_MENU->text(), QStringLiteral("元に戻す"));
    EXPECT_EQ(form.REDO_MENU->text(), QStringLiteral("やり直し"));
    EXPECT_TRUE(form.actions().contains(form.UNDO_MENU));
    EXPECT_FALSE(form.UNDO_MENU->isEnabled());

    Prepare();
    SelectListRow(form.SceList, 2);
    ASSERT_TRUE(DragAndDrop(TPropoDialog::SceneRowMimeType, 5, 3));
    SelectListRow(form.SceList, 1);
    main.ownPrompt.inputs = {QStringLiteral("hop")};
    form.SceListDblClick();
    form.KeyList->setCurrentCell(5, 3);
    form.DELETE_BTN->click();
    EXPECT_TRUE(Cell(5, 3).isEmpty());

    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.KeyList->setFocus();
    QTest::keyClick(form.KeyList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Cell(5, 3), QStringLiteral("[None:S2:dance2]"));
    QTest::keyClick(form.KeyList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.SceList->topLevelItem(1)->text(1), QStringLiteral("dance1"));
    EXPECT_EQ(form.Assignment().Scenarios().Row(1).name, QStringLiteral("dance1"));
    form.UNDO_MENU->trigger();
    EXPECT_TRUE(Cell(5, 3).isEmpty());
    EXPECT_EQ(form.Assignment().Entry(68), AssignmentEntry{});
    QTest::keyClick(form.KeyList, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Cell(5, 3), QStringLiteral("[None:S2:dance2]"));
    QTest::keyClick(form.KeyList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form.SceList->topLevelItem(1)->text(1), QStringLiteral("hop"));
    form.REDO_MENU->trigger();
    EXPECT_TRUE(Cell(5, 3).isEmpty());
    EXPECT_FALSE(form.REDO_MENU->isEnabled());
}

TEST_F(PropoWindow, UndoOfALoadPutsBackTableAndListsAsOneStep)
{
    Prepare();
    form.Document().SetEntry(7, {4, 103});
    const ControlAssignment before = form.Assignment();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.csv"));
    AssignmentDocument other;
    FillLists(other, 5);
    other.Rename(SlotListKind::Motions, 0, QStringLiteral("run"));
    other.SetEntry(7, {16, 0});
    ASSERT_TRUE(SaveAssignmentFile(path, other.Assignment(), nullptr));
    main.ownPrompt.files = {path};
    form.OPEN_BTN->click();
    ASSERT_EQ(Cell(8, 1), QStringLiteral("[△:M0:run]"));

    form.UNDO_MENU->trigger();
    EXPECT_EQ(form.Assignment().Table(), before.Table());
    EXPECT_EQ(form.Assignment().Motions().Rows(), before.Motions().Rows());
    EXPECT_EQ(Cell(8, 1), QStringLiteral("[→:S3:dance3]"));
    EXPECT_EQ(form.MotList->topLevelItem(0)->text(1), QStringLiteral("walk0"));
    form.REDO_MENU->trigger();
    EXPECT_EQ(form.Assignment().Table(), other.Assignment().Table());
    EXPECT_EQ(form.MotList->topLevelItem(0)->text(1), QStringLiteral("run"));
}

TEST_F(PropoWindow, ARowDraggedWithShiftHeldIsCopiedNotMoved)
{
    Prepare();
    SelectListRow(form.SceList, 2);
    QMimeData data;
    data.setData(TPropoDialog::SceneRowMimeType, "2");
    const QPoint at = CellCentre(5, 3);
    // Shift asks for a move; the grid takes a copy all the same, so the list keeps its row.
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(form.KeyList->viewport(), &enter);
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    move.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(form.KeyList->viewport(), &move);
    ASSERT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(form.KeyList->viewport(), &drop);
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_EQ(form.Assignment().Entry(68).target, 102);
    EXPECT_EQ(form.SceList->topLevelItemCount(), 4);
}

TEST_F(PropoWindow, OpenAndSaveDialogsEachStartFromTheirOwnLastName)
{
    struct NamingPrompt : ScriptedPrompt {
        QStringList starts;
        QString OpenFile(const QString &title, const QString &filter, const QString &initial) override
        {
            starts << QStringLiteral("open:") + initial;
            return ScriptedPrompt::OpenFile(title, filter, initial);
        }
        QString SaveFileReplacing(const QString &title, const QString &filter, const QString &initial) override
        {
            starts << QStringLiteral("save:") + initial;
            return ScriptedPrompt::SaveFileReplacing(title, filter, initial);
        }
    } prompt;
    main.prompt = &prompt;
    Prepare();
    QTemporaryDir dir;
    const QString opened = dir.filePath(QStringLiteral("opened.csv"));
    const QString saved = dir.filePath(QStringLiteral("saved"));
    ASSERT_TRUE(SaveAssignmentFile(opened, form.Assignment(), nullptr));

    prompt.files = {opened};
    form.OPEN_BTN->click();
    prompt.files = {saved};
    form.SAVE_BTN->click();
    form.OPEN_BTN->click();  // cancelled
    form.SAVE_BTN->click();  // cancelled
    EXPECT_EQ(prompt.starts, (QStringList{"open:", "save:", "open:" + opened, "save:" + saved + ".csv"}));
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(PropoWindow, FixedRowAndColumnStayInPlaceAndTakeNoCursor)
{
    auto *fixedRow = form.KeyList->findChild<QHeaderView *>(QStringLiteral("FixedRow"));
    auto *fixedColumn = form.KeyList->findChild<QHeaderView *>(QStringLiteral("FixedColumn"));
    ASSERT_NE(fixedRow, nullptr);
    ASSERT_NE(fixedColumn, nullptr);
    const QRect view = form.KeyList->viewport()->geometry();
    EXPECT_EQ(fixedRow->geometry(), QRect(view.topLeft(), QSize(view.width(), 15)));
    EXPECT_EQ(fixedColumn->geometry(), QRect(view.topLeft(), QSize(32, view.height())));
    EXPECT_EQ(fixedRow->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("シフト１"));
    EXPECT_EQ(fixedColumn->model()->headerData(32, Qt::Vertical).toString(), QStringLiteral("32"));
    // The strips' sections lie over the grid's own rows and columns.
    for (int r : {1, 20, 32})
        EXPECT_EQ(fixedColumn->sectionViewportPosition(r), form.KeyList->rowViewportPosition(r)) << r;
    for (int c : {1, 5})
        EXPECT_EQ(fixedRow->sectionViewportPosition(c), form.KeyList->columnViewportPosition(c)) << c;

    // The cursor keys stop at row 1 and column 1.
    form.KeyList->setFocus();
    form.KeyList->setCurrentCell(1, 1);
    QTest::keyClick(form.KeyList, Qt::Key_Up);
    QTest::keyClick(form.KeyList, Qt::Key_Left);
    EXPECT_EQ(form.KeyList->currentRow(), 1);
    EXPECT_EQ(form.KeyList->currentColumn(), 1);
    form.KeyList->setCurrentCell(6, 4);
    QTest::keyClick(form.KeyList, Qt::Key_Home);
    EXPECT_EQ(form.KeyList->currentColumn(), 1);
    QTest::keyClick(form.KeyList, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(form.KeyList->currentRow(), 1);
    EXPECT_EQ(form.KeyList->currentColumn(), 1);
    // A click on the fixed column does not move it either.
    QTest::mouseClick(fixedColumn->viewport(), Qt::LeftButton, {}, QPoint(10, 6 * 15 + 7));
    EXPECT_EQ(form.KeyList->currentRow(), 1);

    // The user widens a column by its edge on the fixed row.
    const int edge = fixedRow->sectionViewportPosition(2) + fixedRow->sectionSize(2) - 1;
    QTest::mousePress(fixedRow->viewport(), Qt::LeftButton, {}, QPoint(edge, 7));
    QTest::mouseMove(fixedRow->viewport(), QPoint(edge + 250, 7));
    QTest::mouseMove(fixedRow->viewport(), QPoint(edge + 500, 7));
    QTest::mouseRelease(fixedRow->viewport(), Qt::LeftButton, {}, QPoint(edge + 500, 7));
    EXPECT_EQ(form.KeyList->columnWidth(2), 580);

    // The keys scroll the cells; the fixed row follows sideways and the fixed column stays.
    QScrollBar *bar = form.KeyList->horizontalScrollBar();
    for (int i = 0; i < 50 && bar->maximum() == 0; ++i)
        QTest::qWait(10);  // the grid takes in new widths on its next turn
    ASSERT_GT(bar->maximum(), 0);
    QTest::keyClick(form.KeyList, Qt::Key_End);
    EXPECT_EQ(form.KeyList->currentColumn(), 5);
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(fixedRow->offset(), bar->value());
    EXPECT_EQ(fixedColumn->geometry().topLeft(), form.KeyList->viewport()->geometry().topLeft());
    EXPECT_TRUE(fixedColumn->isVisible());
    QTest::keyClick(form.KeyList, Qt::Key_Home);
    EXPECT_EQ(form.KeyList->currentColumn(), 1);
    // Column 1 comes out whole from under the fixed column.
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(fixedRow->offset(), 0);
}

TEST(KeyPatternDialog, LayoutCaptionsAndPatterns)
{
    TButtonDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("入力パターンの設定"));
    EXPECT_EQ(dialog.size(), QSize(233, 140));
    const QStringList captions{"↑", "↓", "→", "←", "△", "×", "○", "□"};
    for (int n = 0; n < 8; ++n) {
        TColorBtn *key = dialog.findChild<TColorBtn *>(QStringLiteral("COMMAND_%1").arg(n + 1));
        ASSERT_EQ(key, dialog.COMMAND[n]);
        EXPECT_EQ(key->size(), QSize(25, 25));
        EXPECT_EQ(key->text(), captions[n]);
    }
    // Up keys of the two pads, 128 apart.
    EXPECT_EQ(dialog.COMMAND[4]->x() - dialog.COMMAND[0]->x(), 128);
    EXPECT_EQ(dialog.OkButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.CancelButton->text(), QStringLiteral("Cancel"));

    dialog.SetPattern(255);
    for (TColorBtn *key : dialog.COMMAND)
        EXPECT_EQ(key->Color(), QColor(255, 0, 0));
    EXPECT_EQ(dialog.PatternText(255), QStringLiteral("↑↓←→△×□○"));
    EXPECT_EQ(dialog.PatternText(0), QStringLiteral("None"));

    dialog.SetPattern(0);
    dialog.COMMAND[2]->click();
    dialog.COMMAND[6]->click();
    dialog.COMMAND[6]->click();
    EXPECT_EQ(dialog.Pattern(), 0);  // clicks change the stored pattern only through GetPattern
    EXPECT_EQ(dialog.GetPattern(), 4);
    EXPECT_EQ(dialog.Pattern(), 4);

    WhenModal([&](QWidget *) { dialog.close(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}
