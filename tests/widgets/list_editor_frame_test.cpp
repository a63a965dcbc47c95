// The list editors' shared frame: its dialogs' memory, its list keys, its undo and redo, its transfer hooks.

#include "fake_main.h"

#include "widgets/list_editor_frame.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

enum Entry { Confirm, Warning, UndoCaption, RedoCaption, HintA, ItemB };

QString Text(int entry)
{
    static const char *const texts[] = {"確認", "警告", "元に戻す", "やり直し", "ヒント", "項目"};
    return QString::fromUtf8(texts[entry]);
}

// Records the name each file dialog starts with.
class StartNames : public ScriptedPrompt {
public:
    QString OpenFile(const QString &title, const QString &filter, const QString &initial) override
    {
        starts << QStringLiteral("open ") + initial;
        return ScriptedPrompt::OpenFile(title, filter, initial);
    }
    QString SaveFile(const QString &title, const QString &filter, const QString &initial) override
    {
        starts << QStringLiteral("save ") + initial;
        return ScriptedPrompt::SaveFile(title, filter, initial);
    }
    QStringList starts;
};

QString WithCsv(const QString &path) { return path.endsWith(QLatin1String(".csv")) ? path : path + ".csv"; }

class Frame : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.prompt = &prompt;
        model.setRowCount(5);
        model.setColumnCount(2);
        list = ListEditorFrame::MakeList(&window, "List", &model);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        frame.Layout()->addWidget(list);
        popup = frame.AddPopup();
        frame.AddMenuItem(popup, "B_MENU", ItemB);
        frame.AddUndoRedo(popup, &stack);
        frame.AddBottomBar("COUNT_LABEL");
    }

    FakeMain main;
    StartNames prompt;
    QWidget window;
    ListEditorFrame frame{window, main, {&Text, Confirm, Warning, UndoCaption, RedoCaption}};
    QStandardItemModel model;
    QTableView *list = nullptr;
    QMenu *popup = nullptr;
    QUndoStack stack;
};

TEST_F(Frame, OpenAndSaveEachKeepTheNameLastChosenInThemAndSaveAddsTheExtension)
{
    frame.SetStartName(QStringLiteral("/f"), QStringLiteral("24_05_17_MOTION.csv"));
    prompt.files = {"/a/x.csv", "", "/b/y", "/c/z.csv"};
    EXPECT_EQ(frame.OpenFile(QString(), QString()), QStringLiteral("/a/x.csv"));
    EXPECT_EQ(frame.OpenFile(QString(), QString()), QString());  // cancelled: the start stays
    EXPECT_EQ(frame.SaveFile(QString(), QString(), &WithCsv), QStringLiteral("/b/y.csv"));
    EXPECT_EQ(frame.SaveFile(QString(), QString()), QStringLiteral("/c/z.csv"));
    frame.OpenFile(QString(), QString());
    EXPECT_EQ(prompt.starts, (QStringList{"open /f/24_05_17_MOTION.csv", "open /a/x.csv", "save /f/24_05_17_MOTION.csv",
                                          "save /b/y.csv", "open /a/x.csv"}));

    frame.SetStartName(QString(), QStringLiteral("n.csv"));
    frame.SaveFile(QString(), QString());
    EXPECT_EQ(prompt.starts.last(), QStringLiteral("save n.csv"));
}

TEST_F(Frame, ListKeysReachTheirActionsOnlyWithTheirExactModifiers)
{
    QStringList ran;
    frame.AttachList(
        list, popup,
        {{}, [&] { ran << "delete"; }, [&] { ran << "copy"; }, [&] { ran << "cut"; }, [&] { ran << "paste"; }});
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(list, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    QTest::keyClick(list, Qt::Key_Insert);  // this list has no insert
    EXPECT_EQ(ran, (QStringList{"delete", "copy", "cut", "paste"}));
}

TEST_F(Frame, UndoAndRedoComeLastInThePopupAreWindowKeysAndFollowTheStack)
{
    frame.ApplyTexts(popup);
    QStringList items;
    for (QAction *a : popup->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->objectName() + " " + a->text());
    EXPECT_EQ(items, (QStringList{"B_MENU 項目", "-", "UNDO_MENU 元に戻す", "REDO_MENU やり直し"}));
    QAction *undo = frame.UndoAction();
    QAction *redo = frame.RedoAction();
    EXPECT_TRUE(window.actions().contains(undo) && window.actions().contains(redo));
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_EQ(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Shift+Z")),
                                                      QKeySequence(QStringLiteral("Ctrl+Y"))}));

    EXPECT_FALSE(undo->isEnabled());
    stack.push(new QUndoCommand(QStringLiteral("step")));
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    stack.undo();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
}

TEST_F(Frame, TransferHooksDisableTheWindowMoveTheGaugeAndRefresh)
{
    int refreshed = 0;
    frame.OnRefresh([&] { ++refreshed; });
    frame.SetBusy(true);
    EXPECT_FALSE(window.isEnabled());
    frame.SetProgress(0, 0);  // never a busy indicator
    EXPECT_EQ(frame.Gauge()->maximum(), 1);
    frame.SetProgress(99, 40);
    EXPECT_EQ(frame.Gauge()->value(), 40);
    frame.Refresh();
    frame.SetBusy(false);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(refreshed, 1);
    EXPECT_EQ(frame.CountLabel()->objectName(), QStringLiteral("COUNT_LABEL"));

    frame.Ask(HintA, PromptButtons::YesNo);
    frame.Warn(QStringLiteral("w"));
    ExpectBox(prompt.boxes[0], PromptIcon::Question, QStringLiteral("確認"), "ヒント", PromptButtons::YesNo);
    ExpectBox(prompt.boxes[1], PromptIcon::Warning, QStringLiteral("警告"), "w", PromptButtons::Ok);
}

TEST_F(Frame, AStepShownSelectsExactlyTheRowsItTouched)
{
    list->selectRow(0);
    ListEditorFrame::ShowRows(list, 2, 2);
    EXPECT_EQ(ListEditorFrame::SelectedRows(list), (QList<int>{2, 3}));
    EXPECT_EQ(list->currentIndex().row(), 2);
    ListEditorFrame::ShowRows(list, 5, 0);  // rows removed at the end: nothing to select
    EXPECT_TRUE(ListEditorFrame::SelectedRows(list).isEmpty());

    // Several runs at once (rows of a scattered cut coming back); the first run's start has the focus.
    ListEditorFrame::ShowRows(list, {{1, 1}, {3, 2}});
    EXPECT_EQ(ListEditorFrame::SelectedRows(list), (QList<int>{1, 3, 4}));
    EXPECT_EQ(list->currentIndex().row(), 1);
    ListEditorFrame::ShowRows(list, {{4, 0}, {0, 1}});
    EXPECT_EQ(ListEditorFrame::SelectedRows(list), (QList<int>{0}));
    EXPECT_EQ(list->currentIndex().row(), 4);
    // A step that touched no rows (a motion renamed) leaves the selection alone.
    ListEditorFrame::ShowRows(list, QList<QPair<int, int>>{});
    EXPECT_EQ(ListEditorFrame::SelectedRows(list), (QList<int>{0}));
}

}  // namespace
