// The teaching window against virtual boards: check boxes, capture and release, opening from the main window.

#include "fake_main.h"
#include "modal_wait.h"

#include "boards_on_line.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "teaching/teaching.h"
#include "teaching/teaching_messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using orvane::sim::BoardMemory;
using orvane::sim::Bytes;
using orvane::sim::HandScript;

HandScript Script(const char *text)
{
    std::string error;
    auto script = HandScript::Parse(text, error);
    EXPECT_TRUE(script) << error;
    return script ? *script : HandScript{};
}

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
        boards->SetHandScript({});
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

TEST_F(TeachingOnBoards, OpeningWithoutTheFirstBoardAsksTheSecondForTheModeAndNeverIdTwoFiftyFive)
{
    main.ids = {255, 1};
    WhenModal([&](QWidget *) { window.close(); });
    window.RunFromMain(nullptr);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{SendFrame(1), Frame({0xF0, 1})}));
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
}

TEST_F(TeachingOnBoards, SpeedListAndAddButtonGoToTheMainWindow)
{
    window.SPD_LIST->setCurrentIndex(5);
    emit window.SPD_LIST->activated(5);
    Click(window.ADDITEM_BTN);
    EXPECT_EQ(main.Calls("Set"), QStringList{QStringLiteral("SetSpeed(5)")});
    EXPECT_EQ(main.Calls("AddCurrentPosition").size(), 1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("教示作成"));
    // The described hints, each with its key on a second line.
    EXPECT_EQ(window.SHOT_BTN->toolTip(),
              QStringLiteral("FREEのサーボを固定して値を取得します\nF2: 取得して追加  F3: 固定を解除"));
    EXPECT_EQ(window.NOW_BTN->toolTip(), QStringLiteral("ホームポジションに戻します"));
    EXPECT_EQ(window.ADDITEM_BTN->toolTip(), QStringLiteral("現在の設定値を新規に追加する\nF2: 取得して追加"));
}

// Hands on the robot through the window.

TEST_F(TeachingOnBoards, F2CapturesAndAddsF3ReleasesAndAFocusedBoxIsLeftAlone)
{
    main.value[1] = 221;
    window.FREE_CHK[1]->setChecked(true);
    window.FREE_CHK[5]->setFocus();
    QTest::keyClick(window.FREE_CHK[5], Qt::Key_F2);
    EXPECT_TRUE(window.Captured());
    EXPECT_EQ(main.value[1], 40);
    EXPECT_EQ(boards->Frames().size(), 8u);
    EXPECT_EQ(main.Calls("AddCurrentPosition").size(), 1);
    EXPECT_FALSE(window.FREE_CHK[5]->isChecked());

    // Pressed again while captured: nothing more is taken or added.
    boards->ClearFrames();
    QTest::keyClick(window.FREE_CHK[5], Qt::Key_F2);
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(main.Calls("AddCurrentPosition").size(), 1);

    QTest::keyClick(window.FREE_CHK[5], Qt::Key_F3);
    EXPECT_FALSE(window.Captured());
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{SendFrame(0), SendFrame(1)}));
    EXPECT_TRUE(window.FREE_CHK[1]->isChecked());
    EXPECT_FALSE(window.FREE_CHK[5]->isChecked());
    boards->ClearFrames();
    QTest::keyClick(window.FREE_CHK[5], Qt::Key_F3);
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(TeachingOnBoards, CaptureWhenStillAddsARowPerHeldPoseAndUntickingLeavesTheBoardsFree)
{
    // Sampling starts once the boards settled, 300 ms into the script.
    boards->SetHandScript(Script("0 3 90\n400 3 90\n600 3 60\n1100 3 60\n1300 3 100\n"));
    window.STILL_TIME->setValue(0.3);
    EXPECT_EQ(window.STILL_DEG->value(), 3);
    Click(window.FREE_CHK[3]);
    ASSERT_EQ(main.value[3], 221);
    boards->ClearFrames();

    QTest::mouseClick(window.AUTO_CHK, Qt::LeftButton);
    ASSERT_TRUE(window.AUTO_CHK->isChecked());
    EXPECT_FALSE(window.SHOT_BTN->isEnabled());
    EXPECT_FALSE(window.ADDITEM_BTN->isEnabled());
    EXPECT_FALSE(window.FREE_CHK[3]->isEnabled());
    EXPECT_FALSE(window.REC_BTN->isEnabled());
    EXPECT_EQ(window.AUTO_COUNT->text(), QStringLiteral("0 行"));
    QTest::qWait(1600);
    EXPECT_EQ(window.AUTO_COUNT->text(), QStringLiteral("2 行"));
    ASSERT_EQ(main.added.size(), 2);
    EXPECT_EQ(main.added[0][0][2], QStringLiteral("60"));
    EXPECT_EQ(main.added[1][0][2], QStringLiteral("100"));
    EXPECT_EQ(main.added[1][0][0], QStringLiteral("90"));
    EXPECT_EQ(window.ANG[3]->text(), QStringLiteral("100"));

    QTest::mouseClick(window.AUTO_CHK, Qt::LeftButton);
    EXPECT_FALSE(window.AUTO_CHK->isChecked());
    EXPECT_EQ(boards->Frames().back(), Frame({0xF1, 0, 0}));
    EXPECT_EQ(boards->Board(0).mode, 0);
    EXPECT_EQ(boards->Board(0).positions[2], 221);
    EXPECT_EQ(main.value[3], 221);
    EXPECT_TRUE(window.FREE_CHK[3]->isChecked());
    EXPECT_TRUE(window.FREE_CHK[3]->isEnabled());
    EXPECT_EQ(window.ANG[3]->text(), QStringLiteral("221"));
    EXPECT_TRUE(window.SHOT_BTN->isEnabled());
    EXPECT_TRUE(window.REC_BTN->isEnabled());
    // Only the board with the FREE channel was asked.
    EXPECT_TRUE(FramesOf(boards->Frames(), 0xFD).empty());
    for (const Bytes &f : boards->Frames())
        EXPECT_EQ(f[1], 0);
}

TEST_F(TeachingOnBoards, ClosingTheWindowOrASilentBoardEndsSampling)
{
    main.value[20] = 221;
    boards->EditBoard(1, [](BoardMemory &m) { m.positions[7] = 221; });
    QTest::mouseClick(window.AUTO_CHK, Qt::LeftButton);
    ASSERT_EQ(window.Session().SamplingKind(), orvane::TeachingSession::Sampling::Auto);
    QTest::qWait(50);
    window.reject();
    EXPECT_EQ(window.Session().SamplingKind(), orvane::TeachingSession::Sampling::Off);
    EXPECT_EQ(boards->Frames().back(), Frame({0xF1, 1, 0}));
    EXPECT_FALSE(window.AUTO_CHK->isChecked());

    QTest::mouseClick(window.AUTO_CHK, Qt::LeftButton);
    ASSERT_TRUE(window.AUTO_CHK->isChecked());
    boards->AddFault({orvane::sim::FaultKind::NoReply, 0xFC, 1, 0});
    for (int waited = 0; window.AUTO_CHK->isChecked() && waited < 3000; waited += 50)
        QTest::qWait(50);
    EXPECT_FALSE(window.AUTO_CHK->isChecked());
    EXPECT_EQ(window.STATUS_LINE->text(), QStringLiteral("ボードが応答しないため取得を終了しました"));
    EXPECT_EQ(main.Calls("ShowLinkStatus"), QStringList{QStringLiteral("ShowLinkStatus(2)")});
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
    EXPECT_EQ(boards->Board(1).mode, 0);

    // Nothing FREE: the box does not stay ticked and the status line says why.
    main.value[20] = 90;
    QTest::mouseClick(window.AUTO_CHK, Qt::LeftButton);
    EXPECT_FALSE(window.AUTO_CHK->isChecked());
    EXPECT_EQ(window.STATUS_LINE->text(), QStringLiteral("FREEのチャンネルがありません"));
}

TEST_F(TeachingOnBoards, ARecordingIsReducedSavedAndLoadedAgainAtAnotherTolerance)
{
    QTemporaryDir dir;
    boards->EditBoard(0, [](BoardMemory &m) { m.positions[0] = 221; });
    main.value[1] = 221;
    boards->SetHandScript(Script("0 1 30\n400 1 30\n700 1 150\n"));
    EXPECT_FALSE(window.REC_SAVE_BTN->isEnabled());
    QTest::mouseClick(window.REC_BTN, Qt::LeftButton);
    ASSERT_TRUE(window.REC_BTN->isChecked());
    EXPECT_FALSE(window.AUTO_CHK->isEnabled());
    EXPECT_FALSE(window.REC_LOAD_BTN->isEnabled());
    QTest::qWait(900);
    EXPECT_TRUE(window.REC_COUNT->text().contains(QStringLiteral("サンプル")))
        << window.REC_COUNT->text().toStdString();
    QTest::mouseClick(window.REC_BTN, Qt::LeftButton);
    EXPECT_FALSE(window.REC_BTN->isChecked());
    EXPECT_EQ(boards->Board(0).mode, 0);

    const orvane::Trace trace = window.Session().LastTrace();
    ASSERT_EQ(main.added.size(), 1);
    const int rows = int(main.added[0].size());
    EXPECT_EQ(window.REC_COUNT->text(), QStringLiteral("%1 サンプル → %2 行").arg(trace.size()).arg(rows));
    EXPECT_EQ(main.added[0].back()[0], QStringLiteral("150"));
    ASSERT_TRUE(window.REC_SAVE_BTN->isEnabled());

    const QString path = dir.filePath(QStringLiteral("bend"));
    main.ownPrompt.files = {path};
    QTest::mouseClick(window.REC_SAVE_BTN, Qt::LeftButton);
    EXPECT_EQ(main.ownPrompt.dialogs.back(), QStringLiteral("手の動きの記録を保存する"));
    QFile saved(path + QStringLiteral(".csv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), orvane::TraceToCsv(trace));

    window.REC_TOL->setValue(20);
    main.ownPrompt.files = {path + QStringLiteral(".csv")};
    QTest::mouseClick(window.REC_LOAD_BTN, Qt::LeftButton);
    ASSERT_EQ(main.added.size(), 2);
    EXPECT_LE(main.added[1].size(), main.added[0].size());
    EXPECT_EQ(main.added[1].front(), main.added[0].front());
    EXPECT_EQ(window.REC_COUNT->text(),
              QStringLiteral("%1 サンプル → %2 行").arg(trace.size()).arg(main.added[1].size()));

    main.ownPrompt.files = {dir.filePath(QStringLiteral("missing.csv"))};
    QTest::mouseClick(window.REC_LOAD_BTN, Qt::LeftButton);
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    EXPECT_EQ(main.ownPrompt.boxes[0].icon, PromptIcon::Error);
    EXPECT_TRUE(main.ownPrompt.boxes[0].text.startsWith(QStringLiteral("記録を読み込めませんでした\r\ncannot read ")));
    EXPECT_EQ(main.added.size(), 2);
}

TEST_F(TeachingOnBoards, HandControlsCarryTheirTextsAndPanelsTakeTheLiveButtonFace)
{
    const std::vector<std::pair<QWidget *, orvane::TeachingEntry>> hints = {
        {window.AUTO_CHK, orvane::TchHintAuto},
        {window.REC_BTN, orvane::TchHintRecord},
    };
    for (const auto &[control, entry] : hints)
        EXPECT_EQ(control->toolTip(), orvane::TeachingMessages(entry)) << control->objectName().toStdString();
    EXPECT_EQ(window.AUTO_CHK->text(), QStringLiteral("静止したら自動で取得"));
    EXPECT_EQ(window.REC_BTN->text(), QStringLiteral("録画"));
    EXPECT_EQ(window.STILL_TIME->value(), 0.8);
    EXPECT_EQ(window.STILL_TIME->minimum(), 0.3);
    EXPECT_EQ(window.STILL_TIME->maximum(), 3.0);
    EXPECT_EQ(window.STILL_DEG->minimum(), 1);
    EXPECT_EQ(window.STILL_DEG->maximum(), 20);
    EXPECT_EQ(window.REC_TOL->value(), 2);
    EXPECT_EQ(window.REC_TOL->maximum(), 20);

    QPalette palette = QApplication::palette();
    const QColor before = palette.color(QPalette::Button);
    palette.setColor(QPalette::Button, QColor(12, 34, 56));
    QApplication::setPalette(palette);
    window.ChannelLookChanged(4, QStringLiteral("ARM"), 0x8000000F, 0x0000FF);
    EXPECT_EQ(window.PANEL[4]->palette().color(QPalette::Window), QColor(12, 34, 56));
    EXPECT_EQ(window.THC[4]->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    palette.setColor(QPalette::Button, before);
    QApplication::setPalette(palette);
}

}  // namespace
