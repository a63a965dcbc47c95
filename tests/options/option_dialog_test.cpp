// The options window: board ID rules, and trims read, stepped and reset against virtual boards.

#include "fake_main.h"

#include "boards_on_line.h"
#include "options/option_dialog.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "widgets/color_btn.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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

}  // namespace
