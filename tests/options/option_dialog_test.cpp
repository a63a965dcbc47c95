// The options window: board ID rules, and trims read, stepped and reset against virtual boards.

#include "fake_main.h"
#include "file_helpers.h"

#include "boards_on_line.h"
#include "options/option_dialog.h"
#include "protocol/serial_port.h"
#include "restored_memory.h"
#include "session/board_image.h"
#include "session/colors.h"
#include "sim/virtual_boards.h"
#include "widgets/color_btn.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using orvane::sim::BoardMemory;
using orvane::sim::Bytes;

Bytes ReadTrimFrame(int id) { return Frame({0xE8, id}); }

Bytes WriteTrimFrame(int id, const std::array<uint8_t, 12> &trims)
{
    std::vector<int> b{0xE9, id};
    b.insert(b.end(), trims.begin(), trims.end());
    return Frame(b);
}

void ActivateEntry(QComboBox *box, int entry)
{
    box->setCurrentIndex(entry);
    emit box->activated(entry);
}

// ID rules need no line.
TEST(OptionIds, ListsShowTheMainWindowsIdsAndOffStoresNoBoard)
{
    FakeMain main;
    main.ids = {3, 7};
    TOptionDialog dialog(main);
    EXPECT_EQ(dialog.ID_BOX1->count(), 32);
    EXPECT_EQ(dialog.ID_BOX2->count(), 33);
    EXPECT_EQ(dialog.ID_BOX2->itemText(0), QStringLiteral("OFF"));
    EXPECT_EQ(dialog.ID_BOX1->currentText(), QStringLiteral("3"));
    EXPECT_EQ(dialog.ID_BOX2->currentText(), QStringLiteral("7"));

    ActivateEntry(dialog.ID_BOX2, 0);
    EXPECT_EQ(main.ids[1], 255);
    ActivateEntry(dialog.ID_BOX2, 1);
    EXPECT_EQ(main.ids[1], 0);
    ActivateEntry(dialog.ID_BOX1, 31);
    EXPECT_EQ(main.ids[0], 31);
}

TEST(OptionIds, ChoosingTheOtherGroupsIdPutsBothBackSilently)
{
    FakeMain main;
    main.ids = {4, 9};
    TOptionDialog dialog(main);
    ActivateEntry(dialog.ID_BOX2, 4 + 1);
    EXPECT_EQ(main.ids[0], 4);
    EXPECT_EQ(main.ids[1], 9);
    EXPECT_EQ(dialog.ID_BOX2->currentText(), QStringLiteral("9"));
    ActivateEntry(dialog.ID_BOX1, 9);
    EXPECT_EQ(main.ids[0], 4);
    EXPECT_EQ(dialog.ID_BOX1->currentText(), QStringLiteral("4"));
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
}

TEST(OptionIds, EqualIdsAtStartBecomeZeroAndOff)
{
    FakeMain main;
    main.ids = {5, 5};
    TOptionDialog dialog(main);
    EXPECT_EQ(main.ids[0], 0);
    EXPECT_EQ(main.ids[1], 255);
    EXPECT_EQ(dialog.ID_BOX1->currentIndex(), 0);
    EXPECT_EQ(dialog.ID_BOX2->currentIndex(), 0);
}

TEST(OptionWindow, ControlsCarryTheirNamesTagsAndCaptions)
{
    FakeMain main;
    main.name[5] = QStringLiteral("左肩");
    TOptionDialog dialog(main);
    dialog.ChannelLookChanged(5, main.name[5], 0x0000FF, 0xFFFFFF);
    auto *left = dialog.findChild<TColorBtn *>(QStringLiteral("CH5_TRIM_L"));
    auto *right = dialog.findChild<TColorBtn *>(QStringLiteral("CH5_TRIM_R"));
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->text(), QStringLiteral("<"));
    EXPECT_EQ(right->text(), QStringLiteral(">"));
    EXPECT_EQ(left->property("tag").toInt(), 5);
    EXPECT_EQ(right->property("tag").toInt(), 29);
    auto *label = dialog.findChild<QLabel *>(QStringLiteral("CH5_TRIM_LAB"));
    EXPECT_EQ(label->text(), QStringLiteral("左肩"));
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(dialog.findChild<QLineEdit *>(QStringLiteral("CH24_TRIM_CAP"))->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("オプション設定"));
    EXPECT_EQ(dialog.OPTION_READ_BTN->text(), QStringLiteral("取得"));
    EXPECT_EQ(dialog.TRIM_RESET_BTN->text(), QStringLiteral("初期化"));
    EXPECT_EQ(dialog.CancelButton->text(), QStringLiteral("オプション設定の終了"));
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("Label7"))->text(),
              QStringLiteral("サーボホーンのねじ穴で調整しきれない角度の補正を行います"));
    EXPECT_EQ(dialog.findChild<QLabel *>(QStringLiteral("Label4"))->text(), QStringLiteral("(CH1～CH12)"));
}

// A label coloured "button face" takes the face of the palette in force, as the main window's panels do.
TEST(OptionWindow, ButtonFaceComesFromTheLivePalette)
{
    const QPalette original = QApplication::palette();
    QPalette dark = original;
    dark.setColor(QPalette::Button, QColor(40, 50, 60));
    QApplication::setPalette(dark);
    FakeMain main;
    TOptionDialog dialog(main);
    dialog.ChannelLookChanged(3, QStringLiteral("CH3"), orvane::kButtonFace, orvane::kBlack);
    const QPalette shown = dialog.CH_TRIM_LAB[3]->palette();
    QApplication::setPalette(original);
    EXPECT_EQ(shown.color(QPalette::Window), QColor(40, 50, 60));
}

class TrimsOnBoards : public BoardsOnLineTest<910> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SerialPort->IsOpen());
        BoardMemory first(0), second(1);
        for (int k = 0; k < 12; ++k) {
            first.trims[k] = uint8_t(10 + k);
            second.trims[k] = uint8_t(25 + k);
        }
        ResetBoards(first, second);
        main.ids = {0, 1};
    }
    std::array<uint8_t, 12> BoardTrims(int id) const { return boards->Board(uint8_t(id)).trims; }
    QString Shown(int channel) const { return dialog.CH_TRIM_CAP[channel]->text(); }

    FakeMain main;
    TOptionDialog dialog{main};
};

TEST_F(TrimsOnBoards, ReadShowsBothBoardsTrimsMinusTwenty)
{
    QTest::mouseClick(dialog.OPTION_READ_BTN, Qt::LeftButton);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{ReadTrimFrame(0), ReadTrimFrame(1)}));
    EXPECT_EQ(Shown(1), QStringLiteral("-10"));
    EXPECT_EQ(Shown(12), QStringLiteral("1"));
    EXPECT_EQ(Shown(13), QStringLiteral("5"));
    EXPECT_EQ(Shown(24), QStringLiteral("16"));
}

TEST_F(TrimsOnBoards, StepReadsBothThenWritesOnlyTheChannelsGroupWithOneChange)
{
    QTest::mouseClick(dialog.CH_TRIM_R[14], Qt::LeftButton);
    std::array<uint8_t, 12> expected = BoardTrims(1);
    EXPECT_EQ(expected[1], 27);  // 26 + 1
    EXPECT_EQ(boards->Frames(),
              (std::vector<Bytes>{ReadTrimFrame(0), ReadTrimFrame(1),
                                  WriteTrimFrame(1, {25, 27, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36})}));
    EXPECT_EQ(Shown(14), QStringLiteral("7"));
    EXPECT_TRUE(dialog.CH_TRIM_R[14]->isEnabled());

    boards->ClearFrames();
    QTest::mouseClick(dialog.CH_TRIM_L[1], Qt::LeftButton);
    EXPECT_EQ(boards->Frames().back(), WriteTrimFrame(0, {9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    EXPECT_EQ(Shown(1), QStringLiteral("-11"));
}

TEST_F(TrimsOnBoards, StepsStopAtTheCaps)
{
    boards->EditBoard(0, [](BoardMemory &m) {
        m.trims[0] = 40;
        m.trims[1] = 0;
    });
    auto before = BoardTrims(0);
    QTest::mouseClick(dialog.CH_TRIM_R[1], Qt::LeftButton);
    EXPECT_EQ(boards->Frames().back(), WriteTrimFrame(0, before));
    EXPECT_EQ(Shown(1), QStringLiteral("20"));
    QTest::mouseClick(dialog.CH_TRIM_L[2], Qt::LeftButton);
    EXPECT_EQ(boards->Frames().back(), WriteTrimFrame(0, before));
    EXPECT_EQ(Shown(2), QStringLiteral("-20"));
    EXPECT_EQ(BoardTrims(0), before);
}

TEST_F(TrimsOnBoards, FailedReadOfTheGroupSendsNoWriteAndKeepsTheShownValue)
{
    // Right after start the table holds 20s: writing them would wipe the other eleven trims on the board.
    main.ids = {0, 255};
    QTest::mouseClick(dialog.CH_TRIM_R[15], Qt::LeftButton);
    for (const Bytes &frame : boards->Frames())
        EXPECT_NE(frame[0], 0xE9) << "no WriteTrim";
    EXPECT_EQ(boards->Frames().front(), ReadTrimFrame(0));
    EXPECT_EQ(boards->Frames().back(), ReadTrimFrame(255));
    EXPECT_EQ(Shown(15), QStringLiteral("0"));
    EXPECT_EQ(dialog.Trims().Trim(15), 20);

    main.ids = {0, 1};
    boards->ClearFrames();
    boards->AddFault({orvane::sim::FaultKind::NoReply, 0xE8, 1, 0});
    auto before = BoardTrims(0);
    QTest::mouseClick(dialog.CH_TRIM_R[3], Qt::LeftButton);
    EXPECT_EQ(BoardTrims(0), before);
    for (const Bytes &frame : boards->Frames())
        EXPECT_NE(frame[0], 0xE9);
    EXPECT_TRUE(dialog.CH_TRIM_R[3]->isEnabled());
}

TEST_F(TrimsOnBoards, FailedWriteRestoresTheShownTrim)
{
    boards->AddFault({orvane::sim::FaultKind::NoReply, 0xE9, 1, 0});
    QTest::mouseClick(dialog.CH_TRIM_R[2], Qt::LeftButton);
    EXPECT_EQ(Shown(2), QStringLiteral("-9"));
    EXPECT_EQ(dialog.Trims().Trim(2), 11);
}

TEST_F(TrimsOnBoards, ResetAsksAndWithTheSecondBoardOffWritesOnlyTheFirst)
{
    main.ownPrompt.answers = {PromptAnswer::No};
    QTest::mouseClick(dialog.TRIM_RESET_BTN, Qt::LeftButton);
    EXPECT_TRUE(boards->Frames().empty());
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    const ShownBox &box = main.ownPrompt.boxes[0];
    EXPECT_EQ(box.icon, PromptIcon::Question);
    EXPECT_EQ(box.title, QStringLiteral("警告"));
    EXPECT_EQ(box.text, QStringLiteral("現在の調整値がクリアされますがよろしいでしょうか？"));
    EXPECT_EQ(box.buttons, PromptButtons::YesNo);

    QTest::mouseClick(dialog.OPTION_READ_BTN, Qt::LeftButton);
    main.ids = {0, 255};
    boards->ClearFrames();
    QTest::mouseClick(dialog.TRIM_RESET_BTN, Qt::LeftButton);
    std::array<uint8_t, 12> neutral;
    neutral.fill(20);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{WriteTrimFrame(0, neutral)}));
    EXPECT_EQ(BoardTrims(0), neutral);
    EXPECT_EQ(Shown(1), QStringLiteral("0"));
    EXPECT_EQ(Shown(13), QStringLiteral("5"));
}

TEST_F(TrimsOnBoards, IdChangeTakesEffectForTheNextCommand)
{
    ActivateEntry(dialog.ID_BOX1, 1);  // refused: the second group has ID 1
    ActivateEntry(dialog.ID_BOX2, 0);  // OFF
    ActivateEntry(dialog.ID_BOX1, 1);
    EXPECT_EQ(main.ids[0], 1);
    QTest::mouseClick(dialog.OPTION_READ_BTN, Qt::LeftButton);
    EXPECT_EQ(boards->Frames().front(), ReadTrimFrame(1));
    EXPECT_EQ(Shown(1), QStringLiteral("5"));
}

// The whole memory to a file and back, from the options window.
class ImageFromWindow : public BoardsOnLineTest<910> {
protected:
    void SetUp() override
    {
        ResetBoards(Programmed(0), Programmed(1));
        main.ids = {0, 1};
        main.folder = dir.path();
    }
    static BoardMemory Programmed(uint8_t id)
    {
        BoardMemory m(id);
        m.mode = 1;
        for (int k = 0; k < 12; ++k) {
            m.trims[size_t(k)] = uint8_t(12 + k + id);
            m.home[size_t(k)] = uint8_t(70 + k + id);
        }
        m.motionLengths[4] = 3;
        m.motions[4][2] = {5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, uint8_t(12 + id)}};
        m.scenarioLengths[2] = 2;
        m.scenarios[2][1] = 4;
        m.assignments[7] = {3, 4};
        return m;
    }
    QString Shown(int channel) const { return dialog.CH_TRIM_CAP[channel]->text(); }
    QString Backup(const char *name)
    {
        const QString file = dir.filePath(QLatin1String(name));
        main.ownPrompt.files = {file};
        dialog.IMAGE_BACKUP_BTN->click();
        return file;
    }
    void WipeBoards()
    {
        BoardMemory first(0), second(1);
        first.mode = second.mode = 1;
        ResetBoards(first, second);
        main.ownPrompt.boxes.clear();
    }

    QTemporaryDir dir;
    BoardFakeMain main;
    TOptionDialog dialog{main, nullptr, QDate(2026, 12, 9)};
};

TEST_F(ImageFromWindow, BackupWritesTheImageOfBothBoardsAndRestoreBringsItBack)
{
    EXPECT_EQ(dialog.IMAGE_BACKUP_BTN->text(), QStringLiteral("バックアップ..."));
    EXPECT_EQ(dialog.IMAGE_RESTORE_BTN->text(), QStringLiteral("復元..."));
    EXPECT_FALSE(dialog.IMAGE_HOME_CHK->isChecked());
    // The answer to the closing question is Cancel: the boards stay asleep.
    main.ownPrompt.answers = {PromptAnswer::Cancel};
    const QString file = Backup("robot");
    EXPECT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes.back().text,
              QStringLiteral("バックアップを保存しました\r\nOKボタンでスリープモードを解除します"));
    EXPECT_EQ(main.sleepCalls, QStringList{QStringLiteral("EnsureSleep")});
    EXPECT_EQ(Shown(13), QStringLiteral("-7"));  // the trims just read are shown
    EXPECT_EQ(dialog.IMAGE_PROGRESS->value(), 0);
    EXPECT_TRUE(dialog.isEnabled());

    const QString saved = file + QStringLiteral(".json");
    QString error;
    const std::optional<orvane::BoardImage> image = orvane::BoardImageFromJson(ReadAll(saved), &error);
    ASSERT_TRUE(image) << error.toStdString();
    ASSERT_EQ(image->boards.size(), 2u);
    EXPECT_EQ(image->boards[1].id, 1);
    EXPECT_EQ(image->boards[1].motions[4].size(), 3u);
    EXPECT_EQ(image->boards[1].motions[4][2].values[11], 13);

    WipeBoards();
    main.ownPrompt.files = {saved};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_EQ(
        main.ownPrompt.boxes[0].text,
        QStringLiteral("ボード 0, 1 のモーション、シナリオ、送信機の割り当てとトリムを、イメージの内容で上書きします。"
                       "よろしいですか？"));
    EXPECT_EQ(main.ownPrompt.boxes[0].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(main.ownPrompt.boxes[1].text,
              QStringLiteral("復元して照合しました\r\nOKボタンでスリープモードを解除します"));
    for (uint8_t id : {0, 1})
        ExpectRestoredMemory(boards->Board(id), Programmed(id));
    EXPECT_EQ(boards->Board(0).home, BoardMemory(0).home);  // not asked for
    EXPECT_EQ(boards->Board(1).mode, 0);                    // OK released sleep
    EXPECT_TRUE(main.Calls(QStringLiteral("SetHomeValue")).isEmpty());
}

TEST_F(ImageFromWindow, HomePositionOnlyWhenTickedAfterItsWarningAndTheProgramTakesItToo)
{
    const QString file = Backup("home.json");
    WipeBoards();
    dialog.IMAGE_HOME_CHK->setChecked(true);
    main.ownPrompt.files = {file};
    main.ownPrompt.answers = {PromptAnswer::Ok, PromptAnswer::No};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_EQ(main.ownPrompt.boxes[1].icon, PromptIcon::Warning);
    EXPECT_EQ(main.ownPrompt.boxes[1].buttons, PromptButtons::YesNo);
    EXPECT_TRUE(main.ownPrompt.boxes[1].text.startsWith(QStringLiteral("ホームポジションも書き込みます。")));
    EXPECT_TRUE(boards->Frames().empty());  // No: nothing sent

    main.ownPrompt.boxes.clear();
    main.ownPrompt.files = {file};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 3u);
    EXPECT_EQ(main.ownPrompt.boxes[2].text, QStringLiteral("復元して照合しました。ボードはデフォルトモードです"));
    for (uint8_t id : {0, 1}) {
        ExpectRestoredMemory(boards->Board(id), Programmed(id));
        EXPECT_EQ(boards->Board(id).home, Programmed(id).home);
        EXPECT_EQ(boards->Board(id).mode, 0);
    }
    EXPECT_EQ(main.Calls(QStringLiteral("ShowBoardMode")).back(), QStringLiteral("ShowBoardMode(0)"));
    EXPECT_EQ(main.home[1], 70);
    EXPECT_EQ(main.home[24], 82);
}

TEST_F(ImageFromWindow, ABadFileOrAnImageOfOtherBoardsSendsNothing)
{
    const QString file = Backup("robot.json");
    const QByteArray json = ReadAll(file);
    const auto write = [&](const char *name, const QByteArray &bytes) {
        const QString path = dir.filePath(QLatin1String(name));
        WriteAll(path, bytes);
        return path;
    };
    WipeBoards();
    main.ownPrompt.files = {write("cut.json", json.left(json.size() / 2))};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_TRUE(main.ownPrompt.boxes[0].text.startsWith(
        QStringLiteral("このファイルはボードイメージとして読めません。何も送信していません\r\n")));
    EXPECT_TRUE(boards->Frames().empty());

    main.ids = {2, 3};
    main.ownPrompt.boxes.clear();
    main.ownPrompt.files = {file};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes[0].text,
              QStringLiteral("イメージには、設定中のID 2, 3 のボードがありません（イメージのID: 0, 1）"));
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(ImageFromWindow, ABoardSilentMidRestoreSaysSoAndASecondRestoreFinishes)
{
    const QString file = Backup("robot.json");
    WipeBoards();
    main.ids = {1, 255};  // only the second board of the image is set here
    boards->AddFault({orvane::sim::FaultKind::NoReply, 0xED, 5, 0});
    main.ownPrompt.files = {file};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_EQ(
        main.ownPrompt.boxes[0].text,
        QStringLiteral("ボード 1 のモーション、シナリオ、送信機の割り当てとトリムを、イメージの内容で上書きします。"
                       "よろしいですか？\r\nイメージのボード 0 は、そのIDが設定されていないため書き込みません"));
    EXPECT_EQ(main.ownPrompt.boxes[1].icon, PromptIcon::Error);
    EXPECT_TRUE(main.ownPrompt.boxes[1].text.startsWith(QStringLiteral(
        "復元に失敗しました。もう一度復元すると残りを書き込みます\r\nboard 1: no valid answer writing ")));
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_EQ(boards->Board(1).motionLengths[4], 0);  // no length before every row is there

    boards->ClearFaults();
    main.ownPrompt.boxes.clear();
    main.ownPrompt.files = {file};
    dialog.IMAGE_RESTORE_BTN->click();
    ASSERT_EQ(main.ownPrompt.boxes.size(), 2u);
    EXPECT_EQ(main.ownPrompt.boxes[1].icon, PromptIcon::Information);
    ExpectRestoredMemory(boards->Board(1), Programmed(1));
    ExpectRestoredMemory(boards->Board(0), BoardMemory(0));
}

}  // namespace
