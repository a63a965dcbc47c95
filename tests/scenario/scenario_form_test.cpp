// The scenario editor's commands on its lists, its files, its keys and drops; no boards involved.

#include "fake_main.h"

#include "file_helpers.h"
#include "motion/motion_form.h"
#include "scenario/scenario_data.h"
#include "scenario/scenario_form.h"
#include "tool_bar_look.h"

#include <QAction>
#include <QComboBox>
#include <QDrag>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

using namespace orvane;

const QString Confirm = QStringLiteral("確認");
const QString Warning = QStringLiteral("警告");

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.ids = {255, 255};
        main.folder = dir.path();
    }
    // A full motion list: slot k named "m<k>" with k % 3 positions.
    void FillMotions()
    {
        QList<SlotRow> rows;
        for (int k = 0; k < 40; ++k)
            rows.append({QStringLiteral("M%1").arg(k), QStringLiteral("m%1").arg(k), QString::number(k % 3)});
        form.Motions()->Replace(rows);
    }
    void FillScenario(std::initializer_list<int> motions)
    {
        QList<ScenarioRow> rows;
        for (int m : motions)
            rows.append({QStringLiteral("M%1").arg(m), QStringLiteral("m%1").arg(m)});
        form.Scenario()->Replace(rows);
    }
    QStringList Column(int column) const
    {
        QStringList out;
        const ScenarioModel &model = *form.Scenario();
        for (int r = 0; r < model.rowCount(); ++r)
            out << model.data(model.index(r, column), Qt::DisplayRole).toString();
        return out;
    }
    QStringList Motions() const { return Column(ScenarioModel::MotionColumn); }
    void Select(std::initializer_list<int> rows)
    {
        form.FileList->clearSelection();
        for (int r : rows) {
            form.FileList->selectionModel()->select(form.Scenario()->index(r, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
            form.FileList->selectionModel()->setCurrentIndex(form.Scenario()->index(r, 0),
                                                             QItemSelectionModel::NoUpdate);
        }
    }
    void SelectMotion(int k)
    {
        form.MotList->selectionModel()->select(form.Motions()->index(k, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    // Drag events as a drag from `source` would deliver them at `pos` of the scenario list.
    bool DropAt(const char *type, QPoint pos)
    {
        QMimeData mime;
        mime.setData(QLatin1String(type), "0");
        QWidget *target = form.FileList->viewport();
        QDragEnterEvent enter(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(pos, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(QPointF(pos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }
    QPoint RowPoint(int row) const { return form.FileList->visualRect(form.Scenario()->index(row, 1)).center(); }

    QTemporaryDir dir;
    FakeMain main;
    TFileDialog form{nullptr, main, dir.path(), QDate(2024, 5, 17)};
};

TEST_F(Editor, StartsWithItsTextsNamesAndEmptyLists)
{
    EXPECT_EQ(form.windowTitle(), "シナリオデータの編集");
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 0");
    EXPECT_EQ(form.MotListLabel->text(), "モーションデータ一覧");
    EXPECT_EQ(form.FileListLabel->text(), "シナリオデータ");
    ASSERT_EQ(form.FILE_NUM->count(), 4);
    EXPECT_EQ(form.FILE_NUM->currentText(), "S0");
    EXPECT_EQ(form.FILE_NUM->itemText(3), "S3");
    EXPECT_EQ(form.FILE_NUM->toolTip(), "シナリオ番号");
    EXPECT_EQ(form.MOT_READ_BTN->toolTip(), "モーションデータの設定状態を読み込む");
    EXPECT_EQ(form.FILE_FORMAT_BTN->toolTip(), "シナリオデータをクリアする");
    EXPECT_EQ(form.FILE_UP_BTN->toolTip(), "上に移動");
    EXPECT_EQ(form.MOV_DOWN_MENU->text(), "下に移動");
    EXPECT_EQ(form.MotList->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(form.FileList->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form.FileList->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(form.Scenario()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "MOTION");
    const char *const names[] = {"MOT_READ_BTN",   "NEW_BTN",       "OPEN_BTN",        "SAVE_BTN",         "COPY_BTN",
                                 "CUT_BTN",        "PASTE_BTN",     "FILE_DOWN_BTN",   "FILE_UP_BTN",      "DELETE_BTN",
                                 "FILE_WRITE_BTN", "FILE_READ_BTN", "FILE_FORMAT_BTN", "FILE_BTN",         "FILE_NUM",
                                 "MotList",        "FileList",      "COMM_GAUGE",      "FILE_COUNT_LABEL", "Popup1"};
    for (const char *name : names)
        EXPECT_NE(form.findChild<QObject *>(QLatin1String(name)), nullptr) << name;
    for (const char *name : {"MOV_UP_MENU", "MOV_DOWN_MENU", "CUT_MENU", "COPY_MENU", "PASTE_MENU", "DELETE_MENU"})
        EXPECT_NE(form.Popup1->findChild<QAction *>(QLatin1String(name)), nullptr) << name;
}

TEST_F(Editor, PasteOfThreeRowsAtTheLastRowAsksWhereToGo)
{
    FillScenario({0, 1, 2, 3, 4});
    Select({1, 2, 3});
    form.COPY_BTN->click();
    ASSERT_EQ(form.ClipboardRows().size(), 3);

    Select({4});
    main.ownPrompt.answers = {PromptAnswer::Yes};
    form.PASTE_BTN->click();
    EXPECT_EQ(Motions(), (QStringList{"M0", "M1", "M2", "M3", "M4", "M1", "M2", "M3"}));
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes[0].text, "追加貼付けにいたしましょうか？");
    EXPECT_EQ(main.ownPrompt.boxes[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(main.ownPrompt.boxes[0].title, Confirm);

    Select({7});
    main.ownPrompt.answers = {PromptAnswer::No};
    form.PASTE_BTN->click();
    EXPECT_EQ(Motions(), (QStringList{"M0", "M1", "M2", "M3", "M4", "M1", "M2", "M1", "M2", "M3", "M3"}));
    EXPECT_EQ(Column(ScenarioModel::NumberColumn).last(), "11");
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 11");

    // Before a middle row without a question; with nothing selected at the end; the clipboard stays.
    Select({0});
    form.PASTE_BTN->click();
    EXPECT_EQ(Motions().mid(0, 4), (QStringList{"M1", "M2", "M3", "M0"}));
    form.FileList->clearSelection();
    form.PASTE_BTN->click();
    EXPECT_EQ(Motions().mid(14), (QStringList{"M1", "M2", "M3"}));
    EXPECT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_EQ(form.ClipboardRows().size(), 3);
}

TEST_F(Editor, PasteIntoAnEmptyScenarioAsksAndPastesEitherWay)
{
    FillScenario({5, 6});
    Select({0, 1});
    form.CUT_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 0);
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 0");
    for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
        form.Scenario()->Clear();
        main.ownPrompt.answers = {answer};
        form.PASTE_BTN->click();
        EXPECT_EQ(Motions(), (QStringList{"M5", "M6"}));
        EXPECT_EQ(Column(ScenarioModel::NameColumn), (QStringList{"m5", "m6"}));
    }
    EXPECT_EQ(main.ownPrompt.boxes.size(), 2u);
}

TEST_F(Editor, MoveExchangesTextsKeepsNumbersAndCarriesTheSelection)
{
    FillScenario({0, 1, 2});
    Select({0});
    form.FILE_UP_BTN->click();  // first row up: nothing
    Select({2});
    form.FILE_DOWN_BTN->click();  // last row down: nothing
    EXPECT_EQ(Motions(), (QStringList{"M0", "M1", "M2"}));
    Select({0, 1});
    form.FILE_DOWN_BTN->click();  // two rows: nothing
    EXPECT_EQ(Motions(), (QStringList{"M0", "M1", "M2"}));

    Select({0});
    form.FILE_DOWN_BTN->click();
    form.FILE_DOWN_BTN->click();
    EXPECT_EQ(Motions(), (QStringList{"M1", "M2", "M0"}));
    EXPECT_EQ(Column(ScenarioModel::NameColumn), (QStringList{"m1", "m2", "m0"}));
    EXPECT_EQ(Column(ScenarioModel::NumberColumn), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(form.SelectedRows(), QList<int>{2});
    form.MOV_UP_MENU->trigger();
    EXPECT_EQ(Motions(), (QStringList{"M1", "M0", "M2"}));
    EXPECT_EQ(form.SelectedRows(), QList<int>{1});
}

TEST_F(Editor, DeleteAsksNothingAndRenumbersFromTheFirstDeletedRow)
{
    FillScenario({0, 1, 2, 3, 4, 5});
    Select({1, 3, 4});
    form.DELETE_BTN->click();
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
    EXPECT_EQ(Motions(), (QStringList{"M0", "M2", "M5"}));
    EXPECT_EQ(Column(ScenarioModel::NumberColumn), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 3");
    form.FileList->clearSelection();
    form.DELETE_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 3);
}

TEST_F(Editor, KeysActOnlyWithExactlyTheirModifier)
{
    FillScenario({0, 1, 2});
    form.show();
    form.FileList->setFocus();
    Select({1});
    QTest::keyClick(form.FileList, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(form.ClipboardRows().isEmpty());
    QTest::keyClick(form.FileList, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(form.ClipboardRows(), (QList<ScenarioRow>{{"M1", "m1"}}));
    QTest::keyClick(form.FileList, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(form.Scenario()->Count(), 3);
    Select({1});
    QTest::keyClick(form.FileList, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Motions(), (QStringList{"M0", "M2"}));
    Select({0});
    QTest::keyClick(form.FileList, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Motions(), (QStringList{"M1", "M0", "M2"}));
    Select({2});
    QTest::keyClick(form.FileList, Qt::Key_Delete);
    EXPECT_EQ(Motions(), (QStringList{"M1", "M0"}));
}

TEST_F(Editor, PopupEnablesItsItemsBySelection)
{
    FillScenario({0, 1});
    auto enabled = [this] {
        form.Popup1Popup();
        return QList<bool>{form.MOV_UP_MENU->isEnabled(), form.MOV_DOWN_MENU->isEnabled(),
                           form.CUT_MENU->isEnabled(),    form.COPY_MENU->isEnabled(),
                           form.PASTE_MENU->isEnabled(),  form.DELETE_MENU->isEnabled()};
    };
    form.FileList->clearSelection();
    EXPECT_EQ(enabled(), (QList<bool>{false, false, false, false, true, false}));
    Select({0});
    EXPECT_EQ(enabled(), (QList<bool>{true, true, true, true, true, true}));
    Select({0, 1});
    EXPECT_EQ(enabled(), (QList<bool>{false, false, true, true, true, true}));
}

TEST_F(Editor, NewAsksAndKeepsTheMotionListAndClipboard)
{
    FillMotions();
    FillScenario({1, 2});
    Select({0});
    form.COPY_BTN->click();
    main.ownPrompt.answers = {PromptAnswer::No};
    form.NEW_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 2);
    form.NEW_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 0);
    EXPECT_EQ(form.Motions()->Count(), 40);
    EXPECT_EQ(form.ClipboardRows().size(), 1);
    EXPECT_EQ(main.ownPrompt.boxes[0].text, "現在のデータが消えてしまいますが\r\nよろしいですか？");
    EXPECT_EQ(main.ownPrompt.boxes[0].buttons, PromptButtons::YesNo);
}

TEST_F(Editor, DropOfAMotionGoesBeforeTheRowUnderItOrAtTheEnd)
{
    FillMotions();
    FillScenario({0, 1});
    form.show();
    SelectMotion(7);
    EXPECT_TRUE(DropAt(kMotListMime, RowPoint(1)));
    EXPECT_EQ(Motions(), (QStringList{"M0", "M7", "M1"}));
    EXPECT_EQ(Column(ScenarioModel::NameColumn)[1], "m7");
    SelectMotion(0);  // an empty slot goes in just the same
    EXPECT_TRUE(DropAt(kMotListMime, QPoint(5, form.FileList->viewport()->height() - 3)));
    EXPECT_EQ(Motions(), (QStringList{"M0", "M7", "M1", "M0"}));
    EXPECT_EQ(Column(ScenarioModel::NumberColumn), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 4");

    // Rows of the scenario itself and foreign data are refused.
    EXPECT_FALSE(DropAt(kFileListMime, RowPoint(0)));
    EXPECT_FALSE(DropAt("text/plain", RowPoint(0)));
    EXPECT_FALSE(form.MotListDragOver(form.MotList, nullptr));
    EXPECT_EQ(form.Scenario()->Count(), 4);
    form.MotList->clearSelection();
    DropAt(kMotListMime, RowPoint(0));
    EXPECT_EQ(form.Scenario()->Count(), 4);
}

TEST_F(Editor, RenameByDoubleClickOnlyForSlotsWithDataAndRefreshesTheScenario)
{
    FillMotions();
    FillScenario({1, 3, 1, 2});
    form.Scenario()->SetName(3, "own");
    SelectMotion(3);  // COUNT 0
    form.MotListDblClick();
    EXPECT_TRUE(main.ownPrompt.dialogs.isEmpty());
    SelectMotion(1);
    main.ownPrompt.inputs = {QStringLiteral("turn right")};
    form.MotListDblClick();
    EXPECT_EQ(main.ownPrompt.dialogs, QStringList{"DATA NAMEの入力"});
    EXPECT_EQ(form.Motions()->Row(1).name, "turn right");
    EXPECT_EQ(Column(ScenarioModel::NameColumn), (QStringList{"turn right", "m3", "turn right", "m2"}));
    main.ownPrompt.inputs = {QString()};  // Cancel
    form.MotListDblClick();
    EXPECT_EQ(form.Motions()->Row(1).name, "turn right");
}

TEST_F(Editor, SaveAndOpenGoThroughTheFileDialogsAndKeepTheListsOnRejection)
{
    // Refused without a full motion list or without rows; no dialog shown.
    FillScenario({1});
    form.SAVE_BTN->click();
    FillMotions();
    form.Scenario()->Clear();
    form.SAVE_BTN->click();
    EXPECT_EQ(main.ownPrompt.Texts(), (QStringList{"保存するデータがありません", "保存するデータがありません"}));
    EXPECT_TRUE(main.ownPrompt.dialogs.isEmpty());

    FillScenario({1, 2});
    main.ownPrompt.files = {dir.filePath("walk")};
    form.SAVE_BTN->click();
    EXPECT_EQ(main.ownPrompt.dialogs.last(), "シナリオデータに名前を付けて保存する");
    const QByteArray saved = ReadAll(dir.filePath("walk.csv"));
    EXPECT_TRUE(saved.startsWith("\"MOTION_NAME\",\"COUNT\"\r\nm0,0\r\n"));
    EXPECT_TRUE(saved.endsWith("\"MOTION_NUMBER\",\"FILE_NAME\"\r\nM1,m1\r\nM2,m2\r\n"));

    // A rejected file: both lists stay.
    const QString bad = dir.filePath("bad.csv");
    WriteAll(bad, QByteArray(saved).replace("M2,m2", "M40,m2"));
    form.Motions()->SetName(0, "changed");
    main.ownPrompt.boxes.clear();
    main.ownPrompt.files = {bad};
    form.OPEN_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_EQ(main.ownPrompt.boxes[0].text, "現在のデータが消えてしまいますが\r\nよろしいですか？");
    EXPECT_EQ(main.ownPrompt.boxes[1].text, "指定のファイルは使用できません");
    EXPECT_EQ(main.ownPrompt.boxes[1].icon, PromptIcon::Warning);
    EXPECT_EQ(main.ownPrompt.boxes[1].title, Warning);
    EXPECT_EQ(form.Motions()->Row(0).name, "changed");
    EXPECT_EQ(Motions(), (QStringList{"M1", "M2"}));

    // The saved file comes back; numbering goes on from it.
    main.ownPrompt.files = {dir.filePath("walk.csv")};
    form.OPEN_BTN->click();
    EXPECT_EQ(main.ownPrompt.dialogs.last(), "シナリオデータを開く");
    EXPECT_EQ(form.Motions()->Row(0).name, "m0");
    form.Scenario()->Append({"M5", "m5"});
    EXPECT_EQ(Column(ScenarioModel::NumberColumn), (QStringList{"1", "2", "3"}));

    // Answering No to the question, or cancelling the dialog, changes nothing.
    main.ownPrompt.answers = {PromptAnswer::No};
    form.OPEN_BTN->click();
    main.ownPrompt.files.clear();
    form.OPEN_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 3);
}

TEST_F(Editor, SaveThatCannotWriteSaysSoAndKeepsTheOldFile)
{
    FillMotions();
    FillScenario({1});
    const QString path = dir.filePath("old.csv");
    WriteAll(path, "old");
    main.ownPrompt.files = {path};
    {
        FileSizeLimit limit(100);
        form.SAVE_BTN->click();
    }
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_TRUE(main.ownPrompt.boxes[0].text.startsWith("シナリオデータを保存できませんでした\r\n"));
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(form.Scenario()->Count(), 1);
}

TEST_F(Editor, UndoAndRedoFromTheMenuAndTheKeysAnywhereInTheWindow)
{
    EXPECT_EQ(form.UNDO_MENU->text(), "元に戻す");
    EXPECT_EQ(form.REDO_MENU->text(), "やり直し");
    for (QAction *item : {form.UNDO_MENU, form.REDO_MENU}) {
        EXPECT_TRUE(form.Popup1->actions().contains(item));
        EXPECT_TRUE(form.actions().contains(item));  // the keys work without the menu
    }
    EXPECT_EQ(form.findChild<QAction *>("UNDO_MENU"), form.UNDO_MENU);
    EXPECT_EQ(form.findChild<QAction *>("REDO_MENU"), form.REDO_MENU);

    FillMotions();
    FillScenario({0, 1, 2, 3});
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.FileList->setFocus();
    form.Popup1Popup();
    EXPECT_FALSE(form.UNDO_MENU->isEnabled());

    Select({1, 2});
    QTest::keyClick(form.FileList, Qt::Key_Delete);
    EXPECT_EQ(Motions(), (QStringList{"M0", "M3"}));
    form.Popup1Popup();
    EXPECT_TRUE(form.UNDO_MENU->isEnabled());
    EXPECT_FALSE(form.REDO_MENU->isEnabled());
    QTest::keyClick(form.FileList, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Motions(), (QStringList{"M0", "M1", "M2", "M3"}));
    EXPECT_EQ(Column(ScenarioModel::NumberColumn), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 4");
    EXPECT_EQ(form.SelectedRows(), (QList<int>{1, 2}));  // the rows that came back
    QTest::keyClick(form.FileList, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Motions(), (QStringList{"M0", "M3"}));
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 2");
    QTest::keyClick(form.FileList, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(form.FileList, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Motions(), (QStringList{"M0", "M3"}));

    // A rename, its refreshed rows and the drop that followed go back one by one, from the menu too.
    SelectMotion(1);
    main.ownPrompt.inputs = {QStringLiteral("walk")};
    form.MotListDblClick();
    SelectMotion(1);
    ASSERT_TRUE(DropAt(kMotListMime, RowPoint(0)));
    EXPECT_EQ(form.Scenario()->Rows(), (QList<ScenarioRow>{{"M1", "walk"}, {"M0", "m0"}, {"M3", "m3"}}));
    form.UNDO_MENU->trigger();
    form.UNDO_MENU->trigger();
    EXPECT_EQ(form.Motions()->Row(1).name, "m1");
    EXPECT_EQ(form.Scenario()->Rows(), (QList<ScenarioRow>{{"M0", "m0"}, {"M3", "m3"}}));
    form.REDO_MENU->trigger();
    EXPECT_EQ(form.Motions()->Row(1).name, "walk");
    EXPECT_EQ(form.Scenario()->Count(), 2);
}

TEST_F(Editor, ToolBarShowsItsHintsAndOnePicturePerActionInBothEditors)
{
    ExpectToolBarLook(form.ToolBar, {{"MOT_READ_BTN", "モーションデータの設定状態を読み込む"},
                                     {"NEW_BTN", "新規作成"},
                                     {"OPEN_BTN", "シナリオデータを開く"},
                                     {"SAVE_BTN", "シナリオデータに名前を付けて保存する"},
                                     {"COPY_BTN", "コピー"},
                                     {"CUT_BTN", "カット"},
                                     {"PASTE_BTN", "貼り付け"},
                                     {"FILE_DOWN_BTN", "下に移動"},
                                     {"FILE_UP_BTN", "上に移動"},
                                     {"DELETE_BTN", "削除"},
                                     {"FILE_WRITE_BTN", "シナリオデータを書き込む"},
                                     {"FILE_READ_BTN", "シナリオデータを読込む"},
                                     {"FILE_FORMAT_BTN", "シナリオデータをクリアする"},
                                     {"FILE_BTN", "シナリオデータを再生する"}});

    // What both editors do alike looks alike; a slot of the other kind, or the whole motion list, does not.
    TMotionForm motions(nullptr, main, QString(), {});
    for (const char *same : {"NEW_BTN", "OPEN_BTN", "SAVE_BTN", "COPY_BTN", "CUT_BTN", "PASTE_BTN", "DELETE_BTN"})
        EXPECT_EQ(ToolPicture(form, same), ToolPicture(motions, same)) << same;
    const std::pair<const char *, const char *> unlike[] = {{"MOT_READ_BTN", "MOT_READ_BTN"},
                                                            {"FILE_WRITE_BTN", "MOT_WRITE_BTN"},
                                                            {"FILE_READ_BTN", "MOT_READ_BTN"},
                                                            {"FILE_FORMAT_BTN", "MOT_FORMAT_BTN"},
                                                            {"FILE_BTN", "RUN_BTN"}};
    for (const auto &[scenario, motion] : unlike) {
        ASSERT_FALSE(ToolPicture(motions, motion).isNull()) << motion;
        EXPECT_NE(ToolPicture(form, scenario), ToolPicture(motions, motion)) << scenario;
    }
}

}  // namespace
