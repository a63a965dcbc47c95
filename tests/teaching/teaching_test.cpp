// The teaching window against virtual boards: check boxes, capture and release, opening from the main window.

#include "fake_main.h"
#include "modal_wait.h"

#include "boards_on_line.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "teaching/teaching.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using orvane::sim::BoardMemory;
using orvane::sim::Bytes;

Bytes SetModeFrame(int id, int mode) { return Frame({0xF1, id, mode}); }
Bytes GetPositionsFrame(int id) { return Frame({0xFC, id}); }

class TeachingOnBoards : public BoardsOnLineTest<911> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SerialPort->IsOpen());
        BoardMemory first(0), second(1);
        for (int k = 0; k < 12; ++k) {
            first.positions[k] = uint8_t(40 + k);
            second.positions[k] = uint8_t(120 + k);
        }
        ResetBoards(first, second);
        main.ids = {0, 1};
    }
    // SendPositions at speed 0 of one group's value codes as the fake main window holds them.
    Bytes SendFrame(int group) const
    {
        std::vector<int> b{0xFD, main.ids[group], 0};
        for (int k = 1; k <= 12; ++k)
            b.push_back(main.value[12 * group + k]);
        return Frame(b);
    }
    void Click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    FakeMain main;
    TTeaching window{main};
};

TEST_F(TeachingOnBoards, TickingABoxSendsTheGroupWithThatChannelFree)
{
    Click(window.FREE_CHK[3]);
    EXPECT_EQ(main.value[3], 221);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{SendFrame(0)}));
    EXPECT_EQ(boards->Frames()[0][5], 221);
    EXPECT_EQ(main.calls.back(), QStringLiteral("SetChannel(3,221,0)"));
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.FREE_CHK[3]->isEnabled());
}

TEST_F(TeachingOnBoards, ClearingABoxReadsTheGroupButChangesOnlyThatChannel)
{
    main.value[5] = 221;
    main.value[6] = 221;
    window.FREE_CHK[5]->setChecked(true);
    window.FREE_CHK[6]->setChecked(true);
    QElapsedTimer clock;
    clock.start();
    Click(window.FREE_CHK[5]);
    const qint64 took = clock.elapsed();

    EXPECT_EQ(main.value[5], 44);
    EXPECT_EQ(main.value[6], 221);
    EXPECT_EQ(main.value[4], 90);
    EXPECT_EQ(window.ANG[5]->text(), QStringLiteral("44"));
    EXPECT_EQ(boards->Frames(),
              (std::vector<Bytes>{SetModeFrame(0, 2), GetPositionsFrame(0), SendFrame(0), SetModeFrame(0, 0)}));
    EXPECT_EQ(boards->Frames()[2][3 + 4], 44);
    EXPECT_EQ(boards->Board(0).mode, 0);
    EXPECT_EQ(main.calls.back(), QStringLiteral("SetChannel(5,44,0)"));
    EXPECT_GE(took, 300);
    EXPECT_LT(took, 600);
}

TEST_F(TeachingOnBoards, BoxesOfAGroupWithoutBoardSendNothingAndKeepTheValue)
{
    main.ids = {0, 255};
    main.value[15] = 221;
    window.FREE_CHK[15]->setChecked(true);
    Click(window.FREE_CHK[15]);
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(main.value[15], 221);
    Click(window.FREE_CHK[16]);
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(TeachingOnBoards, ProgrammaticBoxChangesSendNothing)
{
    window.FREE_CHK[2]->setChecked(true);
    window.FREE_CHK[2]->setChecked(false);
    Click(window.SHOT_BTN);  // capture refreshes every box
    boards->ClearFrames();
    main.calls.clear();
    window.FREE_CHK[7]->setChecked(true);
    QApplication::processEvents();
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_TRUE(main.calls.isEmpty());
}

TEST_F(TeachingOnBoards, CaptureHoldsTheReadPositionsAndReleaseFreesExactlyTheFreeChannels)
{
    for (int n : {1, 2, 13})
        main.value[n] = 221;
    main.value[20] = 225;
    Click(window.SHOT_BTN);

    EXPECT_TRUE(window.Captured());
    for (int k = 1; k <= 12; ++k) {
        EXPECT_EQ(main.value[k], 39 + k);
        EXPECT_EQ(main.value[12 + k], 119 + k);
    }
    const std::vector<Bytes> capture = boards->Frames();
    ASSERT_EQ(capture.size(), 8u);
    EXPECT_EQ(capture[0], SetModeFrame(0, 2));
    EXPECT_EQ(capture[1], SetModeFrame(1, 2));
    EXPECT_EQ(capture[2], GetPositionsFrame(0));
    EXPECT_EQ(capture[3], GetPositionsFrame(1));
    EXPECT_EQ(capture[4], SendFrame(0));
    EXPECT_EQ(capture[5], SendFrame(1));
    EXPECT_EQ(capture[6], SetModeFrame(0, 0));
    EXPECT_EQ(capture[7], SetModeFrame(1, 0));
    EXPECT_TRUE(main.calls.contains(QStringLiteral("SetChannel(1,40,2)")));
    EXPECT_EQ(main.Calls("ShowLinkStatus"), QStringList{QStringLiteral("ShowLinkStatus(0)")});
    EXPECT_FALSE(window.FREE_CHK[1]->isChecked());
    EXPECT_EQ(window.ANG[13]->text(), QStringLiteral("120"));

    boards->ClearFrames();
    Click(window.SHOT_BTN);
    EXPECT_FALSE(window.Captured());
    for (int n = 1; n <= 24; ++n) {
        const bool wasFree = n == 1 || n == 2 || n == 13;
        EXPECT_EQ(main.value[n] == 221, wasFree) << "channel " << n;
    }
    EXPECT_EQ(main.value[3], 42);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{SendFrame(0), SendFrame(1)}));
    EXPECT_TRUE(window.FREE_CHK[13]->isChecked());
    EXPECT_TRUE(window.FREE_CHK[1]->isEnabled());
}

TEST_F(TeachingOnBoards, ABoxClickBetweenMakesTheNextPressAnotherCapture)
{
    main.value[1] = 221;
    Click(window.SHOT_BTN);
    ASSERT_TRUE(window.Captured());
    Click(window.FREE_CHK[4]);
    EXPECT_FALSE(window.Captured());
    boards->ClearFrames();
    Click(window.SHOT_BTN);
    EXPECT_EQ(boards->Frames().front(), SetModeFrame(0, 2));
    EXPECT_TRUE(window.Captured());
    EXPECT_EQ(main.value[1], 40);
}

TEST_F(TeachingOnBoards, CaptureWithTheSecondGroupOffSkipsIt)
{
    main.ids = {0, 255};
    Click(window.SHOT_BTN);
    EXPECT_EQ(boards->Frames(),
              (std::vector<Bytes>{SetModeFrame(0, 2), GetPositionsFrame(0), SendFrame(0), SetModeFrame(0, 0)}));
    EXPECT_EQ(main.value[13], 90);
    EXPECT_TRUE(window.Captured());
}

TEST_F(TeachingOnBoards, ABoardThatStopsAnsweringLeavesTheWindowUsable)
{
    boards->AddFault({orvane::sim::FaultKind::NoReply, 0xFC, 1, 0});
    Click(window.SHOT_BTN);
    EXPECT_FALSE(window.Captured());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(main.Calls("ShowLinkStatus"), QStringList{QStringLiteral("ShowLinkStatus(3)")});
    // Both boards stay in teaching mode: nothing read means nothing safe to drive them to.
    EXPECT_EQ(boards->Board(0).mode, 2);
    EXPECT_EQ(main.value[1], 90);

    boards->ClearFrames();
    main.value[2] = 221;
    window.FREE_CHK[2]->setChecked(true);
    Click(window.FREE_CHK[2]);
    EXPECT_EQ(boards->Frames().back(), GetPositionsFrame(0));
    EXPECT_EQ(main.value[2], 221);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_TRUE(window.FREE_CHK[2]->isEnabled());
}

TEST_F(TeachingOnBoards, OpeningHidesTheMainWindowAndWakesSleepingBoards)
{
    boards->EditBoard(0, [](BoardMemory &m) { m.mode = 1; });
    main.value[7] = 221;
    main.value[8] = 226;
    main.text[8] = QStringLiteral("226");
    main.speed = 3;
    main.visible[9] = false;
    QWidget mainWindow;
    mainWindow.show();
    bool hiddenWhileShown = false;
    WhenModal([&](QWidget *shown) {
        hiddenWhileShown = shown == &window && !mainWindow.isVisible();
        window.close();
    });
    window.RunFromMain(&mainWindow);

    EXPECT_TRUE(hiddenWhileShown);
    EXPECT_TRUE(mainWindow.isVisible());
    EXPECT_EQ(main.Calls("ReadBoardPositions").size(), 2);
    EXPECT_EQ(main.Calls("ReleaseSleep").size(), 1);
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes[0].text,
              QStringLiteral("ＯＫをクリックするとサーボが動き出すので注意してください！"));
    EXPECT_EQ(main.ownPrompt.boxes[0].title, QStringLiteral("警告"));
    EXPECT_EQ(main.ownPrompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{SendFrame(0), SendFrame(1), Frame({0xF0, 0})}));
    EXPECT_TRUE(window.FREE_CHK[7]->isChecked());
    EXPECT_FALSE(window.FREE_CHK[8]->isEnabled());
    EXPECT_EQ(window.ANG[8]->text(), QStringLiteral("226"));
    EXPECT_TRUE(window.PANEL[9]->isHidden());
    EXPECT_EQ(window.SPD_LIST->currentIndex(), 3);
}

TEST_F(TeachingOnBoards, SpeedListAndAddButtonGoToTheMainWindow)
{
    window.SPD_LIST->setCurrentIndex(5);
    emit window.SPD_LIST->activated(5);
    Click(window.ADDITEM_BTN);
    EXPECT_EQ(main.Calls("Set"), QStringList{QStringLiteral("SetSpeed(5)")});
    EXPECT_EQ(main.Calls("AddCurrentPosition").size(), 1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("教示作成"));
    EXPECT_EQ(window.SHOT_BTN->toolTip(), QStringLiteral("FREEのサーボを固定して値を取得します"));
    EXPECT_EQ(window.NOW_BTN->toolTip(), QStringLiteral("ホームポジションに戻します"));
    EXPECT_EQ(window.ADDITEM_BTN->toolTip(), QStringLiteral("現在の設定値を新規に追加する"));
}

}  // namespace
