// Hands on the robot, on virtual boards that play hand scripts: capture when still, recording, and how
// sampling ends. No window: the session alone, with a main window that records what reached it.

#include "boards_on_line.h"
#include "fake_main.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "teaching/teaching_session.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using orvane::TeachingSession;
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

void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A row as the main window is handed it: 90 everywhere but where given.
QStringList Row(std::initializer_list<std::pair<int, int>> channels)
{
    QStringList texts;
    for (int n = 1; n <= 24; ++n)
        texts << QStringLiteral("90");
    for (const auto &[n, v] : channels)
        texts[n - 1] = QString::number(v);
    return texts;
}

class HandsOnBoards : public BoardsOnLineTest<912> {
protected:
    // CH1 (first board) and CH14 (second board) FREE, on the boards and in the main window.
    void SetUp() override
    {
        ASSERT_TRUE(SerialPort->IsOpen());
        BoardMemory first(0), second(1);
        first.positions[0] = 221;
        second.positions[1] = 221;
        ResetBoards(first, second);
        boards->SetHandScript(HandScript{});
        main.ids = {0, 1};
        main.value[1] = main.value[14] = 221;
        main.text[1] = main.text[14] = QStringLiteral("221");
        session.SetStillness(300, 3);
    }
    void TearDown() override { session.StopSampling(); }

    FakeMain main;
    TeachingSession session{main};
};

TEST_F(HandsOnBoards, APoseHeldStillAfterAMoveGivesExactlyOneRowWithTheHeldValues)
{
    // Sampling starts once the boards settled, 300 ms into the script.
    boards->SetHandScript(Script("0 1 90\n400 1 90\n700 1 130\n0 14 50\n"));
    QSignalSpy taken(&session, &TeachingSession::RowTaken);
    ASSERT_TRUE(session.StartAuto());
    RunFor(1500);
    session.StopSampling();

    ASSERT_EQ(main.added.size(), 1);
    EXPECT_EQ(main.added[0], (QList<QStringList>{Row({{1, 130}, {14, 50}})}));
    EXPECT_EQ(taken.size(), 1);
    EXPECT_EQ(session.AutoRows(), 1);
    // The channels stay FREE.
    EXPECT_EQ(main.value[1], 221);
    EXPECT_EQ(session.Channel(1).text, QStringLiteral("221"));
    EXPECT_TRUE(main.Calls("SetChannel").isEmpty());
}

TEST_F(HandsOnBoards, DriftBelowTheThresholdAndAMoveThatNeverStopsGiveNone)
{
    boards->SetHandScript(Script("0 1 90\n1500 1 93\n"));
    ASSERT_TRUE(session.StartAuto());
    RunFor(1500);
    session.StopSampling();
    EXPECT_TRUE(main.added.isEmpty());

    boards->SetHandScript(Script("0 1 40\n400 1 140\n800 1 40\n1200 1 140\n1600 1 40\n"));
    ASSERT_TRUE(session.StartAuto());
    RunFor(1500);
    session.StopSampling();
    EXPECT_TRUE(main.added.isEmpty());
}

TEST_F(HandsOnBoards, SamplingAsksOnlyTheFreeBoardsPositionsAndLeavesThemInDefaultModeStillFree)
{
    main.value[14] = 90;  // only the first board has a FREE channel
    boards->SetHandScript(Script("0 1 70\n"));
    QSignalSpy changed(&session, &TeachingSession::ChannelChanged);
    ASSERT_TRUE(session.StartAuto());
    RunFor(300);
    EXPECT_EQ(session.Channel(1).text, QStringLiteral("70"));  // live in ANG_1
    session.StopSampling();

    const std::vector<Bytes> frames = boards->Frames();
    ASSERT_GE(frames.size(), 4u);
    EXPECT_EQ(frames.front(), Frame({0xF1, 0, 2}));
    EXPECT_EQ(frames.back(), Frame({0xF1, 0, 0}));
    for (size_t i = 1; i + 1 < frames.size(); ++i)
        ASSERT_EQ(frames[i], Frame({0xFC, 0})) << i;
    EXPECT_EQ(boards->Board(0).mode, 0);
    EXPECT_EQ(boards->Board(0).positions[0], 221);
    EXPECT_EQ(boards->Board(1).mode, 0);
    EXPECT_EQ(session.Channel(1).text, QStringLiteral("221"));
    EXPECT_EQ(session.SamplingKind(), TeachingSession::Sampling::Off);
    EXPECT_FALSE(changed.isEmpty());
}

TEST_F(HandsOnBoards, NothingFreeWithABoardMeansNoSampling)
{
    main.value[1] = 90;
    main.ids = {0, 255};  // CH14 is FREE, but its group has no board
    EXPECT_FALSE(session.StartAuto());
    EXPECT_FALSE(session.StartRecording());
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(session.SamplingKind(), TeachingSession::Sampling::Off);
}

TEST_F(HandsOnBoards, ABoardThatGoesSilentEndsSamplingWithOneStatusLine)
{
    main.value[1] = 90;  // the second board alone is asked
    QSignalSpy lost(&session, &TeachingSession::SamplingLost);
    QSignalSpy sampling(&session, &TeachingSession::SamplingChanged);
    ASSERT_TRUE(session.StartAuto());
    RunFor(100);
    boards->AddFault({orvane::sim::FaultKind::NoReply, 0xFC, 1, 0});
    for (int waited = 0; session.SamplingKind() != TeachingSession::Sampling::Off && waited < 3000; waited += 50)
        RunFor(50);
    RunFor(200);

    EXPECT_EQ(session.SamplingKind(), TeachingSession::Sampling::Off);
    ASSERT_EQ(lost.size(), 1);
    EXPECT_EQ(lost[0][0].toInt(), 2);
    EXPECT_EQ(main.Calls("ShowLinkStatus"), QStringList{QStringLiteral("ShowLinkStatus(2)")});
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
    EXPECT_EQ(sampling.size(), 2);  // started, ended
    EXPECT_EQ(boards->Frames().back(), Frame({0xF1, 1, 0}));
    EXPECT_EQ(boards->Board(1).mode, 0);
}

TEST_F(HandsOnBoards, ARecordedMovementBecomesItsFewRowsInOneStep)
{
    // CH1 holds, ramps up and holds again, CH14 holds: the corners are the rows. The ramp is slow (0.1
    // degree a millisecond), so that a sample's time may wander 20 ms on a loaded machine before it strays
    // past the tolerance and makes a row of its own.
    boards->SetHandScript(Script("0 1 60\n400 1 60\n1200 1 140\n1600 1 140\n0 14 30\n"));
    session.SetTolerance(2);
    QSignalSpy reduced(&session, &TeachingSession::TraceReduced);
    ASSERT_TRUE(session.StartRecording());
    RunFor(1900);
    session.StopSampling();

    const orvane::Trace &trace = session.LastTrace();
    // A loaded machine samples less often; the corners still need a trace, not a handful of poses.
    ASSERT_GT(trace.size(), 30u);
    EXPECT_EQ(trace.front().ms, 0);
    EXPECT_EQ(trace.front().values[0], 60);
    EXPECT_EQ(trace.back().values[0], 140);
    EXPECT_EQ(trace.back().values[13], 30);
    EXPECT_EQ(trace.back().values[1], 90);

    ASSERT_EQ(main.Calls("AddPositions").size(), 1);
    const QList<QStringList> rows = main.added[0];
    ASSERT_GE(rows.size(), 4);
    // The ramp's two corners may each take a neighbour at the line's rate, and a late sample one more.
    EXPECT_LE(rows.size(), 7);
    EXPECT_EQ(rows.front(), Row({{1, 60}, {14, 30}}));
    EXPECT_EQ(rows.back(), Row({{1, 140}, {14, 30}}));
    ASSERT_EQ(reduced.size(), 1);
    EXPECT_EQ(reduced[0][0].toInt(), int(trace.size()));
    EXPECT_EQ(reduced[0][1].toInt(), int(rows.size()));

    // The same trace again at another tolerance: one more step of its own.
    session.SetTolerance(20);
    EXPECT_LE(session.AddTraceRows(orvane::Trace(trace)), int(rows.size()));
    EXPECT_EQ(main.Calls("AddPositions").size(), 2);
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
