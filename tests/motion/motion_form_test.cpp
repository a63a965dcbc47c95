// The motion editor's commands on its list, its files and its placement; no boards involved.

#include "fake_main.h"

#include "file_helpers.h"
#include "motion/motion_data.h"
#include "motion/motion_document.h"
#include "motion/motion_form.h"
#include "tool_bar_look.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// Passes channel looks on to the listener, as the main window does.
class ListeningMain : public FakeMain {
public:
    void AddChannelLookListener(ChannelLookListener *l) override { listener = l; }
    void SetChannelLook(int channel, const QString &n, uint32_t panel, uint32_t nameCol, bool shown) override
    {
        FakeMain::SetChannelLook(channel, n, panel, nameCol, shown);
        if (listener)
            listener->ChannelLookChanged(channel, n, panel, nameCol);
    }
    ChannelLookListener *listener = nullptr;
};

QByteArray Header(const QString &ch5)
{
    QByteArray h = "NO,DATA_NAME,SPEED";
    for (int n = 1; n <= 24; ++n)
        h += "," + (n == 5 ? ch5.toUtf8() : "CH" + QByteArray::number(n));
    return h + "\r\n";
}

QByteArray Line(const QByteArray &no, const QByteArray &speed)
{
    return no + ",N" + no + "," + speed + QByteArray(",0").repeated(24) + "\r\n";
}

class Editor : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.ids = {255, 255};
        main.folder = dir.path();
        main.panelColor[5] = 0x123456;
        main.nameColor[5] = 0xFFFFFF;
    }
    void Fill(int n)
    {
        for (int r = 1; r <= n; ++r)
            form.AppendPosition(QStringLiteral("R%1").arg(r), QStringLiteral("3"), QStringList(24, QString::number(r)));
    }
    QStringList Column(int column) const
    {
        QStringList out;
        for (int r = 0; r < form.RowCount(); ++r)
            out << form.model()->Field(r, column);
        return out;
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
        const QString path = dir.filePath(QStringLiteral("in.csv"));
        WriteAll(path, bytes);
        return path;
    }

    QTemporaryDir dir;
    ListeningMain main;
    TMotionForm form{nullptr, main, dir.path(), MotionFormPlacement{}, QDate(2024, 5, 17)};
};

TEST_F(Editor, CutOfRowsTwoAndFourOfFiveLeavesOneThreeFiveNumberedOneToThree)
{
    Fill(5);
    QSignalSpy graph(&form, &TMotionForm::GraphRedrawRequested);
    Select({1, 3});
    form.CUT_BTN->click();

    EXPECT_EQ(Column(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(Column(1), (QStringList{"R1", "R3", "R5"}));
    ASSERT_EQ(form.ClipboardRows().size(), 2);
    EXPECT_EQ(form.ClipboardRows()[1], (QStringList{"R4", "3"} + QStringList(24, "4")));
    EXPECT_EQ(form.POS_COUNT_LABEL->text(), QStringLiteral("DATA > 3"));
    ASSERT_EQ(graph.size(), 1);
    EXPECT_EQ(graph[0][0].toInt(), 3);
}

TEST_F(Editor, PasteOnTheLastRowAsksAndGoesBeforeItOnNoAfterItOnYes)
{
    for (PromptAnswer answer : {PromptAnswer::No, PromptAnswer::Yes}) {
        form.model()->ClearRows();
        Fill(3);
        Select({0});
        form.COPY_BTN->click();
        Select({2});
        main.ownPrompt.answers = {answer};
        form.PASTE_BTN->click();

        const ShownBox &box = main.ownPrompt.boxes.back();
        EXPECT_EQ(box.text, QStringLiteral("追加貼付けにいたしましょうか？"));
        EXPECT_EQ(box.title, QStringLiteral("確認"));
        EXPECT_EQ(box.buttons, PromptButtons::YesNo);
        const QStringList names =
            answer == PromptAnswer::No ? QStringList{"R1", "R2", "R1", "R3"} : QStringList{"R1", "R2", "R3", "R1"};
        EXPECT_EQ(Column(1), names);
        EXPECT_EQ(Column(0), (QStringList{"1", "2", "3", "4"}));
    }
}

TEST_F(Editor, ThreeCopiedRowsPastedWithNothingSelectedStandAtTheEndInOrderUnasked)
{
    Fill(4);
    Select({3, 0, 2});
    form.COPY_BTN->click();
    form.PosList->clearSelection();
    form.PosList->setCurrentIndex({});
    form.PASTE_BTN->click();

    EXPECT_TRUE(main.ownPrompt.boxes.empty());
    EXPECT_EQ(Column(1), (QStringList{"R1", "R2", "R3", "R4", "R1", "R3", "R4"}));
    EXPECT_EQ(Column(0).last(), QStringLiteral("7"));
}

TEST_F(Editor, InsertAfterLoadingNumbersTenTwentyThirtyRenumbersFromTheInsertedRow)
{
    main.ownPrompt.files = {WriteFile(Header("CH5") + Line("10", "1") + Line("20", "07") + Line("30", "2"))};
    form.OPEN_BTN->click();
    ASSERT_EQ(Column(0), (QStringList{"10", "20", "30"}));
    EXPECT_EQ(Column(2)[1], QStringLiteral("07"));

    Select({1});
    QTest::keyClick(form.PosList, Qt::Key_Insert);
    EXPECT_EQ(Column(0), (QStringList{"10", "2", "3", "4"}));
    EXPECT_EQ(form.model()->Fields(1), (QStringList{"2", "DATA", "7"} + QStringList(24, "225")));
}

TEST_F(Editor, ListKeysActOnlyWithTheirExactModifiers)
{
    Fill(2);
    Select({0});
    QTest::keyClick(form.PosList, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(form.PosList, Qt::Key_X, Qt::ControlModifier | Qt::AltModifier);
    QTest::keyClick(form.PosList, Qt::Key_Insert, Qt::ShiftModifier);
    QTest::keyClick(form.PosList, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(form.ClipboardRows().isEmpty());
    EXPECT_EQ(form.RowCount(), 2);

    QTest::keyClick(form.PosList, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(form.ClipboardRows().size(), 1);
    Select({1});
    QTest::keyClick(form.PosList, Qt::Key_Delete);
    EXPECT_EQ(Column(1), QStringList{"R1"});
}

TEST_F(Editor, PopupEnablesEditForOneRowOnlyAndCutCopySpeedForAnySelection)
{
    Fill(3);
    form.model()->SetField(1, 2, QStringLiteral("5"));
    const struct {
        std::initializer_list<int> rows;
        bool edit, any;
    } cases[] = {{{}, false, false}, {{1}, true, true}, {{1, 2}, false, true}};
    for (const auto &c : cases) {
        Select(c.rows);
        form.Popup1Popup();
        EXPECT_EQ(form.EDITION_MENU->isEnabled(), c.edit);
        for (QAction *a : {form.CUT_MENU, form.COPY_MENU, form.SPEED_MENU->menuAction()})
            EXPECT_EQ(a->isEnabled(), c.any) << a->objectName().toStdString();
        for (QAction *a : {form.PASTE_MENU, form.INSERT_MENU, form.DELETE_MENU, form.RENAME_MENU})
            EXPECT_TRUE(a->isEnabled());
    }
    form.SPEED_MENUPopup();
    for (int s = 0; s < 8; ++s)
        EXPECT_EQ(form.SP[s]->isChecked(), s == 5);
    form.SP[0]->trigger();
    EXPECT_EQ(Column(2), (QStringList{"3", "0", "0"}));

    main.ownPrompt.inputs = {QString("")};
    form.RENAME_MENU->trigger();
    EXPECT_EQ(main.ownPrompt.dialogs, QStringList{"DATA NAMEの入力"});
    EXPECT_EQ(Column(1), (QStringList{"R1", "", "R3"}));
}

TEST_F(Editor, LoadWithOtherChannelNamesRenewsThemKeepingColoursAndARejectedFileChangesNothing)
{
    main.ownPrompt.files = {WriteFile(Header("Knee") + Line("1", "7"))};
    form.OPEN_BTN->click();
    EXPECT_EQ(main.ownPrompt.boxes[0].text, QStringLiteral("ラベルを更新しますか？ "));
    EXPECT_EQ(main.Calls("SetChannelLook(5,"), QStringList{"SetChannelLook(5,Knee,123456,ffffff,1)"});
    EXPECT_EQ(form.model()->Captions()[7], QStringLiteral("Knee"));

    // Names renewed by a file that is then rejected stay renewed; the list and its captions do not move.
    main.ownPrompt = ScriptedPrompt{};
    main.ownPrompt.files = {WriteFile(Header("Hip") + Line("1", "8"))};
    form.OPEN_BTN->click();
    EXPECT_EQ(main.ownPrompt.Texts(), (QStringList{"現在のデータが消えてしまいますが\r\nよろしいですか？",
                                                   "ラベルを更新しますか？ ", "指定のファイルは使用できません"}));
    EXPECT_EQ(main.name[5], QStringLiteral("Hip"));
    EXPECT_EQ(form.model()->Captions()[7], QStringLiteral("Knee"));
    EXPECT_EQ(Column(1), QStringList{"N1"});
}

TEST_F(Editor, SaveAppendsTheExtensionAndAFailedSaveSaysSoAndKeepsTheOldFile)
{
    main.home[1] = 100;
    Fill(1);
    form.model()->SetField(0, 1, QStringLiteral("stand up"));
    main.ownPrompt.files = {dir.filePath("m")};
    ASSERT_TRUE(form.Save());
    QFile saved(dir.filePath("m.csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_EQ(text, Header("CH5") + "1,\"stand up\",3,-99" + QByteArray(",-89").repeated(23) + "\r\n");

    Fill(300);
    main.ownPrompt.files = {dir.filePath("m.csv")};
    bool ok;
    {
        FileSizeLimit limit(64);
        ok = form.Save();
    }

    EXPECT_FALSE(ok);
    EXPECT_TRUE(
        main.ownPrompt.boxes.back().text.startsWith(QStringLiteral("モーションデータを保存できませんでした\r\n")));
    saved.close();
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), text);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"m.csv"});
}

TEST_F(Editor, EditHandsTheFirstSelectedRowToTheMainWindowAndSendsOnlyInSyncMode)
{
    Fill(2);
    form.model()->SetField(1, 2, QStringLiteral("4"));
    QSignalSpy name(&form, &TMotionForm::DataNameHandedOver), speed(&form, &TMotionForm::SpeedHandedOver);
    Select({1});
    form.EDITION_BTN->click();
    EXPECT_EQ(main.Calls("SetChannel(").size(), 24);
    EXPECT_EQ(main.Calls("SetChannel(").last(), QStringLiteral("SetChannel(24,2,0)"));
    EXPECT_TRUE(main.Calls("SendBoardPositions").isEmpty());

    main.sync = true;
    form.EDITION_BTN->click();
    EXPECT_EQ(main.Calls("SendBoardPositions"), (QStringList{"SendBoardPositions(0,4)", "SendBoardPositions(1,4)"}));
    ASSERT_EQ(name.size(), 2);
    EXPECT_EQ(name[0][0].toString(), QStringLiteral("R2"));
    EXPECT_EQ(speed[0][0].toInt(), 4);
}

// What the main window appends through the document (a recording, say) shows at once and goes back in one step.
TEST_F(Editor, RowsAppendedThroughTheDocumentShowAtOnceAndUndoAsOneStep)
{
    Fill(1);
    QSignalSpy graph(&form, &TMotionForm::GraphRedrawRequested);
    form.Document().AppendRows({{"a", "1", QStringList(24, "10")}, {"b", "2", QStringList(24, "20")}});
    EXPECT_EQ(Column(0), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(form.POS_COUNT_LABEL->text(), QStringLiteral("DATA > 3"));
    ASSERT_EQ(graph.size(), 1);
    EXPECT_EQ(graph[0][0].toInt(), 3);
    form.UNDO_MENU->trigger();
    EXPECT_EQ(Column(1), QStringList{"R1"});
    EXPECT_EQ(form.POS_COUNT_LABEL->text(), QStringLiteral("DATA > 1"));
}

TEST(EditorPlacement, OutsideTheScreenCentresAndHidesInsideTakesItAndShows)
{
    FakeMain main;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    TMotionForm off(nullptr, main, QString(), {true, screen.height() - 10, 20, 500, 300});
    EXPECT_FALSE(off.isVisible());
    EXPECT_LE(
        std::abs(off.geometry().center().x() - QGuiApplication::primaryScreen()->availableGeometry().center().x()), 1);

    TMotionForm on(nullptr, main, QString(), {true, 40, 30, 500, 300});
    EXPECT_TRUE(on.isVisible());
    const MotionFormPlacement p = on.Placement();
    EXPECT_EQ((std::array<int, 4>{p.top, p.left, p.width, p.height}), (std::array<int, 4>{40, 30, 500, 300}));
}

TEST(EditorLook, ControlsCarryTheirHintsCaptionsAndStartState)
{
    FakeMain main;
    main.name[3] = QStringLiteral("Elbow");
    TMotionForm form(nullptr, main, QString(), {});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("モーションデータの編集"));
    // One picture per action on the bar, each with its hint.
    ExpectToolBarLook(form.ToolBar, {{"NEW_BTN", "新規作成"},
                                     {"OPEN_BTN", "モーションデータを開く"},
                                     {"SAVE_BTN", "モーションデータに名前を付けて保存する"},
                                     {"DEF_SCR_BTN", "表示を元に戻す"},
                                     {"COPY_BTN", "コピー"},
                                     {"CUT_BTN", "切り取り"},
                                     {"PASTE_BTN", "貼り付け"},
                                     {"MOT_WRITE_BTN", "モーションデータを書き込む"},
                                     {"MOT_READ_BTN", "モーションデータを読み込む"},
                                     {"MOT_FORMAT_BTN", "モーションデータをクリアする"},
                                     {"RUN_BTN", "モーションデータを再生する"},
                                     {"EDITION_BTN", "編集"},
                                     {"INSERT_BTN", "挿入"},
                                     {"DELETE_BTN", "削除"}});
    QStringList menu;
    for (QAction *a : form.Popup1->actions())
        menu << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(menu, (QStringList{"スピード", "名称変更", "-", "編集", "挿入", "-", "切り取り", "コピー", "貼り付け",
                                 "-", "削除", "-", "元に戻す", "やり直し"}));
    EXPECT_EQ(form.SP[0]->text(), QStringLiteral("0  (FAST)"));
    EXPECT_EQ(form.SP[7]->text(), QStringLiteral("7  (SLOW)"));
    EXPECT_EQ(form.MOTION_NUM->count(), 40);
    EXPECT_EQ(form.MOTION_NUM->itemText(39), QStringLiteral("M39"));
    EXPECT_EQ(form.POS_COUNT_LABEL->text(), QStringLiteral("DATA > 0"));
    EXPECT_EQ(form.model()->Captions()[5], QStringLiteral("Elbow"));
    EXPECT_EQ(form.PosList->columnWidth(1), 150);
    EXPECT_EQ(form.PosList->columnWidth(26), 40);
}

}  // namespace
