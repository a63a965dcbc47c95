// The main window on two virtual boards: what each user action puts on the line and on the screen.

#include "main_form_fixture.h"
#include "modal_wait.h"

#include "app/main_windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace {

const Bytes Ninety12(12, 90);

Bytes Positions(int id, int speed, Bytes values)
{
    Bytes frame{0xFD, uint8_t(id), uint8_t(speed)};
    frame.insert(frame.end(), values.begin(), values.end());
    return WithSum(frame);
}

Bytes With(Bytes values, int index, uint8_t value)
{
    values[index] = value;
    return values;
}

// Drags the thumb of a slider to `to` the way the mouse does: pressed, moved, released.
void Drag(QScrollBar *bar, int to)
{
    bar->setSliderDown(true);
    bar->setSliderPosition(to);
    bar->setSliderDown(false);
    SendMouse(bar, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
}

QColor BoxColor(const TMainForm &form, int n) { return form.CH_CAPTION[n]->palette().color(QPalette::Base); }

}  // namespace

TEST_F(MainFormOnBoards, DraggingSlider5InSyncModeSendsOneFrameToTheFirstBoardOnly)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    form->SYNC_MODE->click();
    Drag(form->CH_BAR[5], 120);

    ASSERT_EQ(boards->Frames().size(), 1u);
    EXPECT_EQ(boards->Frames()[0],
              (Bytes{0xFD, 0x00, 0x00, 0x5A, 0x5A, 0x5A, 0x5A, 0x78, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x53}));
    EXPECT_EQ(form->ValueCode(5), 120);
    EXPECT_EQ(form->ValueText(5), QStringLiteral("120"));
    EXPECT_EQ(form->CH_CAPTION[5]->text(), QStringLiteral("120"));
    EXPECT_EQ(form->CH_BAR[5]->value(), 120);
    EXPECT_EQ(boards->Board(0).positions[4], 120);
}

TEST_F(MainFormOnBoards, DraggingSlider17SendsToTheSecondBoardOnlyAndNothingWithoutIt)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    form->SYNC_MODE->click();
    Drag(form->CH_BAR[17], 120);
    ASSERT_EQ(boards->Frames().size(), 1u);
    EXPECT_EQ(boards->Frames()[0],
              (Bytes{0xFD, 0x01, 0x00, 0x5A, 0x5A, 0x5A, 0x5A, 0x78, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x54}));

    boards->ClearFrames();
    form = Open("CH1-12ID=0\nCH13-24ID=255\n");
    form->SYNC_MODE->click();
    Drag(form->CH_BAR[17], 30);
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(form->ValueCode(17), 30);
    EXPECT_EQ(form->CH_CAPTION[17]->text(), QStringLiteral("30"));
}

TEST_F(MainFormOnBoards, SyncOffSendsNothingUntilSetposSendsBothBoardsWithTheChosenSpeed)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    Drag(form->CH_BAR[2], 100);
    form->CH_BAR[13]->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(form->ValueCode(13), 89);

    form->SPD_BTN[3]->click();
    EXPECT_EQ(form->Speed(), 3);
    form->SETPOS_BTN->click();
    ASSERT_EQ(boards->Frames().size(), 2u);
    EXPECT_EQ(boards->Frames()[0], Positions(0, 3, With(Ninety12, 1, 100)));
    EXPECT_EQ(boards->Frames()[1], Positions(1, 3, With(Ninety12, 0, 89)));
    EXPECT_EQ(form->StatusField(1), QStringLiteral("CH1 - CH12 > 通信成功"));
    EXPECT_EQ(form->StatusField(2), QStringLiteral("CH13 - CH24 > 通信成功"));
}

TEST_F(MainFormOnBoards, ArrowHeldActsOncePerPressAndADragDuringATransactionIsRefused)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    form->SYNC_MODE->click();
    QScrollBar *bar = form->CH_BAR[1];

    // Auto-repeat of a held arrow: only the first step counts until the button is released.
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 91);
    EXPECT_EQ(form->ValueCode(1), 91);
    EXPECT_EQ(boards->Frames().size(), 1u);
    SendMouse(bar, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(form->StepGuard());
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(form->ValueCode(1), 90);
    EXPECT_EQ(boards->Frames().size(), 2u);
    SendMouse(bar, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);

    // The reply comes in two pieces; the thumb moved meanwhile stays where the first event put it.
    boards->ClearFrames();
    orvane::sim::Fault slow;
    slow.kind = orvane::sim::FaultKind::Split;
    slow.command = 0xFD;
    slow.first = slow.last = 1;
    slow.gapMs = 25;
    slow.splitAt = 1;
    boards->AddFault(slow);
    bool nestedSeen = false;
    QTimer::singleShot(5, [&] {
        nestedSeen = form->DragGuard();
        bar->setSliderPosition(150);
    });
    bar->setSliderDown(true);
    bar->setSliderPosition(120);
    bar->setSliderDown(false);
    boards->ClearFaults();

    EXPECT_TRUE(nestedSeen);
    ASSERT_EQ(boards->Frames().size(), 1u);
    EXPECT_EQ(boards->Frames()[0], Positions(0, 0, With(Ninety12, 0, 120)));
    EXPECT_EQ(bar->value(), 120);
    EXPECT_EQ(form->ValueCode(1), 120);
    EXPECT_FALSE(form->DragGuard());
}

TEST_F(MainFormOnBoards, ModeListStoresTheModeCodeAndHidesTheSliderForLowAndHigh)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    form->SYNC_MODE->click();
    form->CH_BAR[3]->setValue(40);
    auto choose = [&](int index) {
        form->CH_MODE[3]->setCurrentIndex(index);
        form->ChangePortCondition(form->CH_MODE[3]);
    };

    choose(1);
    EXPECT_EQ(form->ValueCode(3), 221);
    EXPECT_EQ(form->CH_CAPTION[3]->text(), QStringLiteral("221"));
    EXPECT_FALSE(form->CH_BAR[3]->isHidden());
    ASSERT_EQ(boards->Frames().size(), 1u);
    EXPECT_EQ(boards->Frames()[0], Positions(0, 0, With(Ninety12, 2, 221)));

    choose(6);
    EXPECT_EQ(form->ValueCode(3), 226);
    EXPECT_TRUE(form->CH_BAR[3]->isHidden());
    EXPECT_TRUE(form->CH_SYNC[3]->isHidden());

    choose(0);
    EXPECT_EQ(form->ValueCode(3), 40);
    EXPECT_EQ(form->CH_CAPTION[3]->text(), QStringLiteral("40"));
    EXPECT_FALSE(form->CH_BAR[3]->isHidden());
    EXPECT_EQ(boards->Frames().size(), 3u);
}

TEST_F(MainFormOnBoards, TrackingIsAllOrNothingAndAlwaysReportsInSyncMode)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    form->SYNC_MODE->click();
    form->SetChannel(1, 175, orvane::ChannelSource::User);
    form->CH_SYNC[1]->setChecked(true);
    form->CH_SYNC[2]->setChecked(true);

    form->TRACK_BTN[3]->click();  // +10: channel 1 would reach 185
    EXPECT_EQ(form->CH_BAR[1]->value(), 175);
    EXPECT_EQ(form->CH_BAR[2]->value(), 90);
    EXPECT_EQ(form->ValueCode(2), 90);
    EXPECT_TRUE(boards->Frames().empty());

    form->TRACK_BTN[1]->click();  // -1
    EXPECT_EQ(form->ValueCode(1), 174);
    EXPECT_EQ(form->CH_CAPTION[2]->text(), QStringLiteral("89"));
    ASSERT_EQ(boards->Frames().size(), 2u);
    EXPECT_EQ(boards->Frames()[0], Positions(0, 0, With(With(Ninety12, 0, 174), 1, 89)));

    form->CH_SYNC[1]->setChecked(false);
    form->CH_SYNC[2]->setChecked(false);
    boards->ClearFrames();
    form->ShowLinkStatus(3);
    form->TRACK_BTN[0]->click();
    EXPECT_EQ(boards->Frames().size(), 2u);
    EXPECT_EQ(form->StatusField(1), QStringLiteral("CH1 - CH12 > 通信成功"));
}

TEST_F(MainFormOnBoards, RelativeDisplayColoursAndNumbers)
{
    auto form = Open("HomePos_1=80\nHomePos_3=221\n");
    form->SetChannel(1, 95, orvane::ChannelSource::User);
    form->SetChannel(2, 221, orvane::ChannelSource::User);
    form->SetChannel(3, 95, orvane::ChannelSource::User);
    EXPECT_EQ(BoxColor(*form, 1), QColor(255, 255, 255));
    EXPECT_EQ(form->CH_CAPTION[1]->text(), QStringLiteral("95"));

    form->RITV_ON->click();
    EXPECT_EQ(form->CH_CAPTION[1]->text(), QStringLiteral("15"));
    EXPECT_EQ(BoxColor(*form, 1), QColor(0, 255, 255));  // aqua
    EXPECT_EQ(form->CH_CAPTION[2]->text(), QStringLiteral("221"));
    EXPECT_EQ(BoxColor(*form, 2), QColor(255, 255, 0));  // yellow
    EXPECT_EQ(form->CH_CAPTION[3]->text(), QStringLiteral("5"));
    EXPECT_EQ(BoxColor(*form, 3), QColor(255, 255, 0));
    EXPECT_EQ(form->CH_CAPTION[4]->text(), QStringLiteral("0"));

    form->RITV_OFF->click();
    EXPECT_EQ(form->CH_CAPTION[1]->text(), QStringLiteral("95"));
    EXPECT_EQ(BoxColor(*form, 3), QColor(255, 255, 255));
}

TEST_F(MainFormOnBoards, ReadingBoardsInDifferentModesFailsBeforeAnyPositionIsRead)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    boards->EditBoard(1, [](orvane::sim::BoardMemory &m) { m.mode = 1; });
    EXPECT_FALSE(form->ReadBoardPositions());
    ASSERT_EQ(boards->Frames().size(), 2u);
    EXPECT_EQ(boards->Frames()[0], WithSum({0xF0, 0x00}));
    EXPECT_EQ(boards->Frames()[1], WithSum({0xF0, 0x01}));
    EXPECT_EQ(form->StatusField(1), QStringLiteral("CH1 - CH12 > 通信失敗"));
    EXPECT_EQ(form->StatusField(2), QStringLiteral("CH13 - CH24 > 通信失敗"));
    EXPECT_EQ(form->ValueCode(1), 90);
}

TEST_F(MainFormOnBoards, PositionsReadInTeachingModeMoveThePanelsButNotTheValueCodes)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    form->CH_MODE[2]->setCurrentIndex(1);
    form->ChangePortCondition(form->CH_MODE[2]);  // FREE, kept by the read below
    for (uint8_t id : {0, 1})
        boards->EditBoard(id, [id](orvane::sim::BoardMemory &m) {
            m.mode = 2;
            for (int k = 0; k < 12; ++k)
                m.positions[k] = uint8_t(10 + 12 * id + k);
        });
    form->GETPOS_BTN->click();

    EXPECT_EQ(form->StatusField(0), QStringLiteral("教示"));
    EXPECT_EQ(form->StatusField(1), QStringLiteral("CH1 - CH12 > 通信成功"));
    EXPECT_EQ(form->ValueText(1), QStringLiteral("10"));
    EXPECT_EQ(form->CH_BAR[1]->value(), 10);
    EXPECT_EQ(form->ValueCode(1), 90);
    EXPECT_EQ(form->ValueText(24), QStringLiteral("33"));
    EXPECT_EQ(form->ValueCode(2), 221);
    EXPECT_EQ(form->CH_MODE[2]->currentIndex(), 1);

    // The screen's positions are the slider positions (FREE stays FREE).
    boards->ClearFrames();
    form->SETPOS_BTN->click();
    ASSERT_EQ(boards->Frames().size(), 2u);
    EXPECT_EQ(boards->Frames()[0], Positions(0, 7, {10, 221, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));

    // In default mode the read values become the value codes.
    for (uint8_t id : {0, 1})
        boards->EditBoard(id, [](orvane::sim::BoardMemory &m) {
            m.mode = 0;
            m.positions[0] = 60;
        });
    EXPECT_TRUE(form->ReadBoardPositions());
    EXPECT_EQ(form->ValueCode(1), 60);
    EXPECT_EQ(form->ValueCode(13), 60);
    EXPECT_EQ(form->StatusField(0), QStringLiteral("デフォルト"));
}

TEST_F(MainFormOnBoards, EnsureSleepWarnsOnlyInDefaultModeAndFailsSilentlyWithoutAnAnswer)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    EXPECT_TRUE(form->EnsureSleep());
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("警告"));
    EXPECT_EQ(prompt.boxes[0].text,
              QStringLiteral("ＯＫをクリックすると通信を開始すると共に\r\nサーボが停止するので注意してください！"));
    EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::Ok);
    const std::vector<Bytes> sleep{WithSum({0xF0, 0x00}), WithSum({0xF1, 0x00, 0x01}), WithSum({0xF1, 0x01, 0x01})};
    EXPECT_EQ(boards->Frames(), sleep);
    EXPECT_EQ(form->StatusField(0), QStringLiteral("スリープ"));
    EXPECT_EQ(boards->Board(1).mode, 1);

    boards->ClearFrames();
    EXPECT_TRUE(form->EnsureSleep());
    EXPECT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(boards->Frames().size(), 1u);

    form = Open("CH1-12ID=7\nCH13-24ID=1\n");
    EXPECT_FALSE(form->EnsureSleep());
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(boards->Frames().size(), size_t(MainRetryCount));
}

TEST_F(MainFormOnBoards, ReturnToHomeSleepsReadsHomeDrivesThereAndWakes)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    for (uint8_t id : {0, 1})
        boards->EditBoard(id, [id](orvane::sim::BoardMemory &m) {
            for (int k = 0; k < 12; ++k)
                m.home[k] = uint8_t(100 + 12 * id + k);
        });
    form->SYNC_MODE->click();
    form->NOW_BTN->click();

    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("ＯＫをクリックするとサーボが動き出すので注意してください！"));
    EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::OkCancel);
    Bytes home0, home1;
    for (int k = 0; k < 12; ++k) {
        home0.push_back(uint8_t(100 + k));
        home1.push_back(uint8_t(112 + k));
    }
    const std::vector<Bytes> expected{
        WithSum({0xF1, 0x00, 0x01}), WithSum({0xF1, 0x01, 0x01}), WithSum({0xF0, 0x00}),
        WithSum({0xFA, 0x00}),       WithSum({0xFA, 0x01}),       Positions(0, 0, home0),
        Positions(1, 0, home1),      WithSum({0xF1, 0x00, 0x00}), WithSum({0xF1, 0x01, 0x00}),
    };
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_EQ(form->HomeValue(13), 112);
    EXPECT_EQ(form->ValueCode(13), 112);
    EXPECT_EQ(form->CH_BAR[13]->value(), 112);
    EXPECT_EQ(form->StatusField(0), QStringLiteral("デフォルト"));
    EXPECT_EQ(form->StatusField(2), QStringLiteral("CH13 - CH24 > 通信成功"));

    // Cancel stops after the mode question; the boards stay asleep.
    boards->ClearFrames();
    prompt.answers = {PromptAnswer::Cancel};
    form->NOW_BTN->click();
    EXPECT_EQ(boards->Frames().size(), 3u);
    EXPECT_EQ(boards->Board(0).mode, 1);
}

TEST_F(MainFormOnBoards, SleepAndDefaultButtonsNameTheModeFirstAndReportEachBoard)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=9\n");
    form->SLEEP_BTN->click();
    EXPECT_EQ(form->StatusField(0), QStringLiteral("スリープ"));
    EXPECT_EQ(boards->Frames().front(), WithSum({0xF1, 0x00, 0x01}));
    EXPECT_EQ(form->StatusField(1), QStringLiteral("CH1 - CH12 > 通信成功"));
    EXPECT_EQ(form->StatusField(2), QStringLiteral("CH13 - CH24 > 通信失敗"));

    form = Open("CH1-12ID=0\nCH13-24ID=255\n");
    boards->ClearFrames();
    form->DEFAULT_BTN->click();
    EXPECT_EQ(form->StatusField(0), QStringLiteral("デフォルト"));
    EXPECT_EQ(boards->Frames(), std::vector<Bytes>{WithSum({0xF1, 0x00, 0x00})});
    EXPECT_EQ(form->StatusField(2), QStringLiteral("CH13 - CH24 > 通信成功"));
}

TEST_F(MainFormOnBoards, PortListOffClosesThePortWithANoticeAndARestoredPortOpensAtStart)
{
    auto form = Open("");
    form->CommPort->setCurrentIndex(0);
    form->CommPortCloseUp();
    EXPECT_FALSE(SerialPort->IsOpen());
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("確認"));
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("シリアルポートをＯＦＦにしました"));

    prompt.boxes.clear();
    form = Open(QStringLiteral("CommPort=4\n[Ports]\nCOM4=%1\n").arg(QString::fromStdString(boards->SlavePath())));
    EXPECT_EQ(form->CommPort->currentText(), QStringLiteral("COM4"));
    EXPECT_EQ(form->CommPort->itemData(4, Qt::ToolTipRole).toString(), QString::fromStdString(boards->SlavePath()));
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("COM4 設定完了"));
    EXPECT_TRUE(SerialPort->IsOpen());
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_TRUE(form->SendBoardPositions(0, 0));
}

TEST_F(MainFormOnBoards, HomeButtonAndANameDoubleClickRunTheirDialogsOnThisWindow)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=1\n");
    MainWindows windows(*form);
    THomeDialog &home = windows.home;
    TLabelDialog &labels = windows.labels;
    EXPECT_TRUE(form->HOME_BTN->isEnabled());
    EXPECT_TRUE(form->SpeedButton1->isEnabled());

    boards->EditBoard(0, [](orvane::sim::BoardMemory &m) { m.home[0] = 77; });
    WhenModal([&](QWidget *) {
        home.GetHomeChk->click();
        home.HomeOkButton->click();
    });
    form->HOME_BTN->click();
    EXPECT_EQ(form->HomeValue(1), 77);
    EXPECT_EQ(form->ValueCode(1), 90);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{WithSum({0xFA, 0x00}), WithSum({0xFA, 0x01})}));

    WhenModal([&](QWidget *) {
        labels.EDIT_CH[3]->setText(QStringLiteral("Knee"));
        labels.VIS_CH[4]->setChecked(false);
        labels.Button1->click();
    });
    SendMouse(form->CH_LAB[3], QEvent::MouseButtonDblClick, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(form->ChannelName(3), QStringLiteral("Knee"));
    EXPECT_FALSE(form->PanelVisible(4));
}
