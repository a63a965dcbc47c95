// The transfer frame against two virtual boards: frames on the line, boxes, and the order in which the
// window is disabled, the bar moves and the boards are put to sleep.

#include "boards_on_line.h"
#include "scripted_prompt.h"
#include "sleep_on_boards.h"

#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/board_transfer.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using orvane::BoardTransfer;
using orvane::RowWrite;
using orvane::TransferBox;
using orvane::TransferOrder;
using orvane::TransferResult;
using orvane::sim::BoardMemory;
using orvane::sim::Bytes;
using orvane::sim::Fault;
using orvane::sim::FaultKind;

const QString kConfirm = QStringLiteral("確認");
const QString kWarning = QStringLiteral("警告");

// One log for the view, the sleep operations and the boxes, so that their order can be asserted.
QStringList *eventLog = nullptr;

class LoggingPrompt : public ScriptedPrompt {
public:
    PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) override
    {
        *eventLog << QStringLiteral("box ") + text.left(5);
        return ScriptedPrompt::Message(icon, title, text, buttons);
    }
};

// The rest of the main window is not used by a transfer.
class StubMain : public MainOperations {
public:
    void SetChannel(int, int, orvane::ChannelSource) override {}
    void SetValueCode(int, int) override {}
    void ShowChannelValue(int) override {}
    bool SendBoardPositions(int, int) override { return true; }
    bool ReadBoardPositions() override { return true; }
    void ShowLinkStatus(orvane::FailureMask) override {}
    void ShowBoardMode(int) override {}
    bool EnterSleep() override { return true; }
    bool ReleaseSleep() override { return true; }
    bool EnsureSleep() override { return true; }
    void ReturnToHome() override {}
    void AddCurrentPosition() override {}
    void AddPositions(const QList<QStringList> &) override {}
    void OverwriteSelectedPositions() override {}
    int BoardId(int group) const override { return ids[size_t(group)]; }
    void SetBoardId(int, int) override {}
    bool SyncMode() const override { return false; }
    int Speed() const override { return 0; }
    void SetSpeed(int) override {}
    int ValueCode(int) const override { return 0; }
    QString ValueText(int) const override { return {}; }
    int HomeValue(int) const override { return 0; }
    void SetHomeValue(int, int) override {}
    QString ProgramFolder() const override { return {}; }
    Prompt &UserPrompt() override { return prompt; }
    QString ChannelName(int) const override { return {}; }
    uint32_t PanelColor(int) const override { return 0; }
    uint32_t NameColor(int) const override { return 0; }
    bool PanelVisible(int) const override { return true; }
    bool Hold() const override { return false; }
    void SetChannelLook(int, const QString &, uint32_t, uint32_t, bool) override {}
    void SetHold(bool) override {}
    void AddChannelLookListener(ChannelLookListener *) override {}

    std::array<int, 2> ids{0, 1};
    LoggingPrompt prompt;
};

class LogMain : public SleepOnBoards<StubMain> {
public:
    bool EnsureSleep() override
    {
        *eventLog << QStringLiteral("ensure sleep");
        return SleepOnBoards::EnsureSleep();
    }
    bool ReleaseSleep() override
    {
        *eventLog << QStringLiteral("release sleep");
        return SleepOnBoards::ReleaseSleep();
    }
};

class LogView : public orvane::TransferView {
public:
    void SetBusy(bool busy) override { *eventLog << (busy ? QStringLiteral("disable") : QStringLiteral("enable")); }
    void SetProgress(int maximum, int value) override
    {
        *eventLog << QStringLiteral("bar %1/%2").arg(value).arg(maximum);
    }
    void Refresh() override { *eventLog << QStringLiteral("refresh"); }
};

TransferBox Box(PromptIcon icon, const QString &title, const char *text, PromptButtons buttons)
{
    return {icon, title, QString::fromUtf8(text), buttons};
}

class TransferFrame : public BoardsOnLineTest<908> {
protected:
    void SetUp() override
    {
        BoardsOnLineTest::SetUp();
        eventLog = &events;
    }
    void TearDown() override { eventLog = nullptr; }

    // A scenario-like write of `n` items of motion number item + 10 to slot 2, length last.
    RowWrite ScenarioWrite(int n)
    {
        RowWrite w;
        w.ask = {Box(PromptIcon::Question, kWarning, "S2に書き込みますか", PromptButtons::OkCancel)};
        w.rows = n;
        w.sendRow = [](int, std::uint8_t id, int row) {
            int retry = 2;
            return WriteScenarioItem(retry, id, 2, std::uint8_t(row), std::uint8_t(row + 10));
        };
        w.sendLength = [n](std::uint8_t id) {
            int retry = 2;
            return SetScenarioLength(retry, id, 2, std::uint8_t(n));
        };
        w.closing = Box(PromptIcon::Question, kConfirm, "書込完了スリープ解除", PromptButtons::OkCancel);
        w.failure = Box(PromptIcon::Error, kWarning, "通信が中断されました", PromptButtons::Ok);
        return w;
    }

    QStringList events;
    LogMain main;
    LogView view;
};

// Disabled before the sleep warning, every row to both boards in turn, the length last, OK releases sleep.
TEST_F(TransferFrame, WriteDisabledBeforeSleepSendsRowsThenLengthAndReleasesOnOk)
{
    BoardTransfer transfer(main, view, TransferOrder::BusyBeforeSleep);
    EXPECT_EQ(transfer.WriteRows(ScenarioWrite(3)), TransferResult::Succeeded);

    std::vector<Bytes> expected{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})};
    for (int item = 0; item < 3; ++item)
        for (int id : {0, 1})
            expected.push_back(Frame({0xF5, id, 2, item, item + 10}));
    expected.push_back(Frame({0xF3, 0, 2, 3}));
    expected.push_back(Frame({0xF3, 1, 2, 3}));
    expected.push_back(Frame({0xF1, 0, 0}));
    expected.push_back(Frame({0xF1, 1, 0}));
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_EQ(boards->Board(1).scenarioLengths[2], 3);
    EXPECT_EQ(boards->Board(1).scenarios[2][2], 12);
    EXPECT_EQ(events, (QStringList{"box S2に書き", "bar 0/3", "disable", "ensure sleep", "box ＯＫをクリ", "bar 1/3",
                                   "bar 2/3", "bar 3/3", "box 書込完了ス", "release sleep", "bar 0/3", "enable"}));
    EXPECT_FALSE(transfer.Running());
}

// Disabled only once the boards sleep; the question asked asleep stands between; the absent board is skipped;
// Yes/No boxes with their own titles; No to the closing question leaves the boards asleep.
TEST_F(TransferFrame, WriteDisabledAfterSleepAsksAsleepSkipsAbsentBoardAndKeepsSleepOnNo)
{
    main.ids = {0, orvane::kNoBoard};
    BoardTransfer transfer(main, view, TransferOrder::BusyAfterSleep);
    RowWrite w = ScenarioWrite(2);
    w.ask[0].buttons = PromptButtons::YesNo;
    w.askAsleep = {Box(PromptIcon::Question, kConfirm, "200個までしか", PromptButtons::YesNo)};
    w.closing = Box(PromptIcon::Question, kWarning, "完了しました", PromptButtons::YesNo);
    w.failure.title = kConfirm;
    w.progressResetBeforeFailure = true;
    main.prompt.answers = {PromptAnswer::Yes, PromptAnswer::Ok, PromptAnswer::Yes, PromptAnswer::No};
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Succeeded);

    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF5, 0, 2, 0, 10}),
                                                    Frame({0xF5, 0, 2, 1, 11}), Frame({0xF3, 0, 2, 2})}));
    EXPECT_EQ(boards->Board(0).mode, 1);
    EXPECT_EQ(events, (QStringList{"box S2に書き", "ensure sleep", "box ＯＫをクリ", "box 200個ま", "bar 0/2",
                                   "disable", "bar 1/2", "bar 2/2", "box 完了しまし", "bar 0/2", "enable"}));
    ASSERT_EQ(main.prompt.boxes.size(), 4u);
    EXPECT_EQ(main.prompt.boxes[3].title, kWarning);
    EXPECT_EQ(main.prompt.boxes[3].buttons, PromptButtons::YesNo);
}

// Stopping at any question touches neither the window nor the bar; No once asleep sends no row.
TEST_F(TransferFrame, QuestionsAnsweredNoStopBeforeAnyRow)
{
    BoardTransfer transfer(main, view, TransferOrder::BusyAfterSleep);
    RowWrite w = ScenarioWrite(2);
    w.askAsleep = {Box(PromptIcon::Question, kConfirm, "200個までしか", PromptButtons::YesNo)};
    main.prompt.answers = {PromptAnswer::Cancel};
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Stopped);
    EXPECT_TRUE(boards->Frames().empty());

    main.prompt.answers = {PromptAnswer::Ok, PromptAnswer::Ok, PromptAnswer::No};
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Stopped);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})}));
    EXPECT_EQ(boards->Board(0).mode, 1);
    EXPECT_FALSE(events.contains(QStringLiteral("disable")));
    EXPECT_TRUE(events.filter(QStringLiteral("bar")).isEmpty());
    EXPECT_FALSE(transfer.Running());
}

// A board that does not answer `ensure sleep`: the failure box, with the window disabled only in the order
// that disables first, and the bar back at 0 there.
TEST_F(TransferFrame, SleepFailureShowsTheFailureBoxInEitherOrder)
{
    main.ids = {7, orvane::kNoBoard};  // no board answers as 7
    for (TransferOrder order : {TransferOrder::BusyBeforeSleep, TransferOrder::BusyAfterSleep}) {
        events.clear();
        main.prompt.boxes.clear();
        BoardTransfer transfer(main, view, order);
        EXPECT_EQ(transfer.WriteRows(ScenarioWrite(2)), TransferResult::Failed);
        ASSERT_EQ(main.prompt.boxes.size(), 2u);
        EXPECT_EQ(main.prompt.boxes[1].icon, PromptIcon::Error);
        EXPECT_EQ(main.prompt.boxes[1].text, QStringLiteral("通信が中断されました"));
        if (order == TransferOrder::BusyBeforeSleep)
            EXPECT_EQ(events, (QStringList{"box S2に書き", "bar 0/2", "disable", "ensure sleep", "box 通信が中断",
                                           "bar 0/2", "enable"}));
        else
            EXPECT_EQ(events, (QStringList{"box S2に書き", "ensure sleep", "box 通信が中断"}));
    }
    for (const Bytes &f : boards->Frames())
        EXPECT_EQ(f[1], 7);
}

// A row one board does not take ends the write there: no length, no closing question, sleep kept.
TEST_F(TransferFrame, RowFailureStopsAtThatRowWithoutLengthOrClosingQuestion)
{
    boards->AddFault(Fault{FaultKind::NoReply, 0xF5, 4, 0});  // item 1 on the second board
    BoardTransfer transfer(main, view, TransferOrder::BusyAfterSleep);
    RowWrite w = ScenarioWrite(3);
    w.progressResetBeforeFailure = true;
    bool rowsDone = false;
    w.rowsDone = [&] { rowsDone = true; };
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Failed);

    std::vector<Bytes> expected{Frame({0xF0, 0}),           Frame({0xF1, 0, 1}),        Frame({0xF1, 1, 1}),
                                Frame({0xF5, 0, 2, 0, 10}), Frame({0xF5, 1, 2, 0, 10}), Frame({0xF5, 0, 2, 1, 11}),
                                Frame({0xF5, 1, 2, 1, 11}), Frame({0xF5, 1, 2, 1, 11})};
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_FALSE(rowsDone);
    EXPECT_EQ(boards->Board(0).scenarioLengths[2], 0);
    EXPECT_EQ(boards->Board(1).mode, 1);
    EXPECT_EQ(events, (QStringList{"box S2に書き", "ensure sleep", "box ＯＫをクリ", "bar 0/3", "disable", "bar 1/3",
                                   "bar 0/3", "box 通信が中断", "enable"}));
}

// A length that goes unanswered is no completed write: the failure box alone, sleep kept, rowsDone not run.
TEST_F(TransferFrame, LengthFailureShowsOnlyTheFailureAndKeepsTheBoardsAsleep)
{
    boards->AddFault(Fault{FaultKind::NoReply, 0xF3, 1, 0});
    BoardTransfer transfer(main, view, TransferOrder::BusyAfterSleep);
    RowWrite w = ScenarioWrite(2);
    bool rowsDone = false;
    w.rowsDone = [&] { rowsDone = true; };
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Failed);
    EXPECT_FALSE(rowsDone);
    EXPECT_FALSE(events.contains("box 書込完了ス"));
    EXPECT_TRUE(events.contains("box 通信が中断"));
    EXPECT_EQ(events.last(), "enable");
    EXPECT_EQ(boards->Board(0).mode, 1);
    EXPECT_EQ(boards->Board(1).mode, 1);
}

// One transfer at a time: a second one started from inside the first (a click dispatched while a command
// waits) is refused without a box or a frame; a run left early still enables the window and resets the bar.
TEST_F(TransferFrame, SecondTransferIsRefusedAndAnEarlyReturnStillRestoresTheWindow)
{
    BoardTransfer transfer(main, view, TransferOrder::BusyBeforeSleep);
    RowWrite w = ScenarioWrite(1);
    TransferResult inner = TransferResult::Succeeded;
    bool innerRun = true;
    const auto send = w.sendRow;
    w.sendRow = [&](int group, std::uint8_t id, int row) {
        if (group == 0) {
            inner = transfer.WriteRows(ScenarioWrite(1));
            innerRun = bool(transfer.Begin());
        }
        return send(group, id, row);
    };
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Succeeded);
    EXPECT_EQ(inner, TransferResult::Stopped);
    EXPECT_FALSE(innerRun);
    EXPECT_EQ(main.prompt.boxes.size(), 3u);  // question, sleep warning, closing question
    EXPECT_EQ(boards->Frames().size(), 3u + 2u + 2u + 2u);

    events.clear();
    {
        BoardTransfer::Run run = transfer.Begin();
        ASSERT_TRUE(run);
        run.Busy();
        run.Progress(39, 5);
        EXPECT_TRUE(transfer.Running());
    }
    EXPECT_EQ(events, (QStringList{"disable", "bar 5/39", "bar 0/39", "enable"}));
    EXPECT_FALSE(transfer.Running());
}

// Disabled as soon as the boards sleep: the question asked asleep shows over the disabled window. An entry
// the first board refuses goes to no further board, and nothing after it is sent.
TEST_F(TransferFrame, DisabledOnceAsleepAndAnEntryStopsAtTheFirstBoardThatRefusesIt)
{
    boards->AddFault(Fault{FaultKind::NoReply, 0xF5, 3, 0});  // item 1 on the first board
    BoardTransfer transfer(main, view, TransferOrder::BusyOnceAsleep);
    RowWrite w = ScenarioWrite(3);
    w.askAsleep = {Box(PromptIcon::Question, kConfirm, "200個までしか", PromptButtons::YesNo)};
    w.stopAtFailedBoard = true;
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Failed);

    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1}),
                                                    Frame({0xF5, 0, 2, 0, 10}), Frame({0xF5, 1, 2, 0, 10}),
                                                    Frame({0xF5, 0, 2, 1, 11}), Frame({0xF5, 0, 2, 1, 11})}));
    EXPECT_EQ(events, (QStringList{"box S2に書き", "ensure sleep", "box ＯＫをクリ", "disable", "box 200個ま",
                                   "bar 0/3", "bar 1/3", "box 通信が中断", "bar 0/3", "enable"}));
}

// Replies that come back within a millisecond never let the port's wait serve the window; the rows of a
// transfer still do, so the window keeps painting and its timers keep running while a long write goes out.
// Here the rows never reach the port at all: only the transfer can serve the timer.
TEST_F(TransferFrame, TheEventLoopIsServedBetweenRowsThatNeverWaitOnThePort)
{
    BoardTransfer transfer(main, view, TransferOrder::BusyBeforeSleep);
    RowWrite w = ScenarioWrite(20);
    int row = -1;
    w.sendRow = [&](int, std::uint8_t, int r) {
        row = r;
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        return true;
    };
    QList<int> rowsAtTick;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { rowsAtTick << row; });
    tick.start(0);
    EXPECT_EQ(transfer.WriteRows(w), TransferResult::Succeeded);
    tick.stop();

    QSet<int> midWrite;
    for (int r : rowsAtTick)
        if (r > 0 && r < 19)
            midWrite.insert(r);
    EXPECT_GE(midWrite.size(), 15) << rowsAtTick.size() << " ticks";
}

}  // namespace
