// What the protocol layer tells the line monitor, on virtual boards with faults, and how the monitor's log
// keeps, counts, shows and saves it.

#include "boards_on_line.h"
#include "monitor/line_log.h"
#include "protocol/commands.h"
#include "protocol/line_observer.h"
#include "protocol/transaction.h"

#include <QColor>
#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using orvane::monitor::BoardStats;
using orvane::monitor::LineLog;
using orvane::monitor::LogEntry;
using orvane::sim::Bytes;
using orvane::sim::Fault;
using orvane::sim::FaultKind;

namespace {

constexpr int kEnglish = 1;

QByteArray Hex(const char *text) { return QByteArray::fromHex(text); }

// Every line the list shows, top rows and their tries, in English.
QStringList Lines(const LineLog &log, const QModelIndex &parent = {})
{
    QStringList lines;
    for (int r = 0; r < log.rowCount(parent); ++r) {
        const QModelIndex index = log.index(r, 0, parent);
        lines << log.RowTexts(index, kEnglish).join(u'|');
        for (const QString &child : Lines(log, index))
            lines << QStringLiteral("  ") + child;
    }
    return lines;
}

QString Cell(const LineLog &log, int row, int column, int child = -1)
{
    QModelIndex index = log.index(row, 0);
    if (child >= 0)
        index = log.index(child, 0, index);
    return log.RowTexts(index, kEnglish).value(column);
}

class LineOnBoards : public BoardsOnLineTest<961> {
protected:
    void SetUp() override
    {
        BoardsOnLineTest::SetUp();
        SetLineObserver(&log);
    }
    void TearDown() override { SetLineObserver(nullptr); }

    // The one transaction the last command ran, as the log keeps it.
    const LineTransaction &Last() const { return seen.back(); }

    // Records what the observer is told besides keeping it, to look at the raw tries.
    class Recording : public LineLog {
    public:
        explicit Recording(std::vector<LineTransaction> &seen) : seen_(seen) {}
        void TransactionDone(const LineTransaction &t) override
        {
            seen_.push_back(t);
            LineLog::TransactionDone(t);
        }

    private:
        std::vector<LineTransaction> &seen_;
    };

    std::vector<LineTransaction> seen;
    Recording log{seen};
};

}  // namespace

TEST_F(LineOnBoards, EveryCommandsFrameAndReplyAppearByteForByte)
{
    const ChannelValues values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    QByteArray positions, home, row, trims;
    uint8_t mode = 9;
    int n = 0, pattern = 0, target = 0;
    int retry = RetryCount;
    const auto again = [&]() -> int & { return retry = RetryCount; };
    EXPECT_TRUE(SendPositions(retry, 0, 3, values));
    EXPECT_TRUE(GetPositions(again(), 0, positions));
    EXPECT_TRUE(SetHomePosition(again(), 0));
    EXPECT_TRUE(GetHomePosition(again(), 0, home));
    EXPECT_TRUE(WriteMotionRow(again(), 0, 2, 1, 5, values));
    EXPECT_TRUE(ReadMotionRow(again(), 0, 2, 1, row));
    EXPECT_TRUE(SetMotionLength(again(), 0, 2, 2));
    EXPECT_TRUE(GetMotionLength(again(), 0, 2, n));
    EXPECT_TRUE(WriteScenarioItem(again(), 0, 1, 0, 2));
    EXPECT_TRUE(ReadScenarioItem(again(), 0, 1, 0, n));
    EXPECT_TRUE(SetScenarioLength(again(), 0, 1, 1));
    EXPECT_TRUE(GetScenarioLength(again(), 0, 1, n));
    EXPECT_TRUE(SetMode(again(), 0, 1));
    EXPECT_TRUE(GetMode(again(), 0, mode));
    EXPECT_TRUE(PlayMotion(again(), 0, 2));
    EXPECT_TRUE(PlayScenario(again(), 0, 1));
    EXPECT_TRUE(WriteAssignment(again(), 0, 7, 0x35, 2));
    EXPECT_TRUE(ReadAssignment(again(), 0, 7, pattern, target));
    EXPECT_TRUE(WriteTrim(again(), 0, values));
    EXPECT_TRUE(ReadTrim(again(), 0, trims));
    EXPECT_FALSE(PlayMotion(again(), 99, 2));  // to every board: sent, nobody answers

    ASSERT_TRUE(boards->WaitForFrames(21, std::chrono::seconds(2)));
    const std::vector<Bytes> frames = boards->Frames();
    ASSERT_EQ(seen.size(), 21u);
    ASSERT_EQ(frames.size(), 21u);
    const char *const names[] = {"SendPositions",     "GetPositions",     "SetHomePosition",   "GetHomePosition",
                                 "WriteMotionRow",    "ReadMotionRow",    "SetMotionLength",   "GetMotionLength",
                                 "WriteScenarioItem", "ReadScenarioItem", "SetScenarioLength", "GetScenarioLength",
                                 "SetMode",           "GetMode",          "PlayMotion",        "PlayScenario",
                                 "WriteAssignment",   "ReadAssignment",   "WriteTrim",         "ReadTrim",
                                 "PlayMotion"};
    log.Flush();
    for (int i = 0; i < 21; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(seen[i].frame, AsByteArray(frames[i]));
        EXPECT_EQ(Cell(log, i, orvane::monitor::ColCommand), QLatin1String(names[i]));
        EXPECT_EQ(Cell(log, i, orvane::monitor::ColSent),
                  QString::fromLatin1(AsByteArray(frames[i]).toHex(' ').toUpper()));
        EXPECT_EQ(Cell(log, i, orvane::monitor::ColId), i == 20 ? QStringLiteral("99") : QStringLiteral("0"));
        ASSERT_EQ(seen[i].tries.size(), 1u);
    }
    // Replies as the boards sent them: the acknowledges, and what the read commands handed out.
    for (int i : {0, 2, 4, 6, 8, 10, 12, 14, 15, 16, 18})
        EXPECT_EQ(seen[i].tries[0].reply, Hex("0006")) << names[i];
    EXPECT_EQ(seen[1].tries[0].reply, positions);
    EXPECT_EQ(seen[3].tries[0].reply, home);
    EXPECT_EQ(seen[5].tries[0].reply, row);
    EXPECT_EQ(seen[19].tries[0].reply, trims);
    EXPECT_EQ(row.mid(1, 13), Hex("05") + QByteArray(reinterpret_cast<const char *>(values.data()), 12));
    EXPECT_EQ(seen[7].tries[0].reply, Hex("000202"));       // two rows in slot 2
    EXPECT_EQ(seen[13].tries[0].reply, Hex("000101"));      // sleep mode
    EXPECT_EQ(seen[17].tries[0].reply, Hex("000305020A"));  // pattern 0x35, motion 2
    EXPECT_EQ(Cell(log, 13, orvane::monitor::ColReceived), QStringLiteral("00 01 01"));
    EXPECT_EQ(Cell(log, 13, orvane::monitor::ColOutcome), QStringLiteral("OK"));
    EXPECT_EQ(Cell(log, 20, orvane::monitor::ColOutcome), QStringLiteral("sent, no answer awaited"));
    EXPECT_EQ(Cell(log, 20, orvane::monitor::ColReceived), QString());
}

TEST_F(LineOnBoards, NoReplyGivesNoReplyAfterTheAllowedTriesWithEachTrysTime)
{
    boards->AddFault(Fault{FaultKind::NoReply, 0xF0, 1, 0});
    uint8_t mode = 0;
    int retry = RetryCount;
    EXPECT_FALSE(GetMode(retry, 0, mode));
    EXPECT_EQ(retry, 10);
    log.Flush();

    ASSERT_EQ(log.rowCount(), 1);
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColOutcome), QStringLiteral("no reply"));
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColTry), QStringLiteral("10"));
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColReceived), QString());
    ASSERT_EQ(log.rowCount(log.index(0, 0)), 10);
    const LineTransaction &t = Last();
    double previous = -1;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cell(log, 0, orvane::monitor::ColTry, i), QString::number(i + 1));
        EXPECT_EQ(Cell(log, 0, orvane::monitor::ColOutcome, i), QStringLiteral("no reply"));
        EXPECT_EQ(Cell(log, 0, orvane::monitor::ColSent, i), QStringLiteral("F0 00 70"));
        // Each try waited out the 30 ms silence, and the next began after it.
        EXPECT_GE(t.tries[i].roundTripMs, 30.0);
        EXPECT_LT(t.tries[i].roundTripMs, 200.0);
        EXPECT_GE(t.tries[i].startMs, previous + 30.0);
        EXPECT_EQ(Cell(log, 0, orvane::monitor::ColTime, i), QString::number(t.tries[i].startMs, 'f', 1));
        EXPECT_EQ(Cell(log, 0, orvane::monitor::ColRoundTrip, i), QString::number(t.tries[i].roundTripMs, 'f', 1));
        previous = t.tries[i].startMs;
    }
    EXPECT_EQ(log.data(log.index(0, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    // In the delivered language too.
    EXPECT_EQ(log.RowTexts(log.index(0, 0), 0).value(orvane::monitor::ColOutcome), QStringLiteral("応答なし"));
}

TEST_F(LineOnBoards, BadChecksumsWrongIdsAndRefusalsGiveTheirOutcomes)
{
    QByteArray positions;
    int n = 0;
    int retry = RetryCount;
    boards->AddFault(Fault{FaultKind::BadChecksum, 0xFC, 1, 1});
    EXPECT_FALSE(GetPositions(retry, 0, positions));
    boards->AddFault(Fault{FaultKind::BadChecksum, 0xF1, 1, 1});
    EXPECT_FALSE(SetMode(retry = RetryCount, 0, 1));
    boards->AddFault(Fault{FaultKind::WrongId, 0xFB, 1, 1});
    EXPECT_FALSE(SetHomePosition(retry = RetryCount, 0));
    boards->AddFault(Fault{FaultKind::WrongId, 0xF6, 1, 1});
    EXPECT_FALSE(GetMotionLength(retry = RetryCount, 1, 0, n));
    // GetPositions does not look at byte 0: to the command, and so to the monitor, a wrong ID is fine.
    boards->ClearFaults();
    boards->AddFault(Fault{FaultKind::WrongId, 0xFC, 1, 1});
    EXPECT_TRUE(GetPositions(retry = RetryCount, 0, positions));
    log.Flush();

    ASSERT_EQ(log.rowCount(), 5);
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColOutcome), QStringLiteral("bad checksum"));
    EXPECT_EQ(Cell(log, 1, orvane::monitor::ColOutcome), QStringLiteral("not acknowledged"));
    EXPECT_EQ(Cell(log, 1, orvane::monitor::ColReceived), QStringLiteral("00 15"));
    EXPECT_EQ(Cell(log, 2, orvane::monitor::ColOutcome), QStringLiteral("answer from ID 1"));
    EXPECT_EQ(Cell(log, 3, orvane::monitor::ColOutcome), QStringLiteral("answer from ID 2"));
    EXPECT_EQ(Cell(log, 4, orvane::monitor::ColOutcome), QStringLiteral("OK"));
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(Cell(log, row, orvane::monitor::ColTry), QStringLiteral("1")) << row;  // a full reply ends it
        EXPECT_EQ(log.data(log.index(row, 3), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red)) << row;
    }
    EXPECT_FALSE(log.data(log.index(4, 3), Qt::ForegroundRole).isValid());
    EXPECT_EQ(log.RowTexts(log.index(2, 0), 0).value(orvane::monitor::ColOutcome), QStringLiteral("ID 1 からの応答"));
}

TEST_F(LineOnBoards, ALateReplyShowsAsARetryAndItsBytesAsDiscarded)
{
    // The first answer leaves 300 ms late: the first try ends in silence after 200 ms, the second reads
    // that late answer, and its own answer is drained and thrown away. (Margins of 100 ms each way, so a
    // loaded machine still sees this order.)
    SerialPort->SetTimeOutReceive(200);
    boards->AddFault(Fault{FaultKind::Late, 0xF9, 1, 1, 300});
    const ChannelValues values{};
    int retry = RetryCount;
    EXPECT_TRUE(WriteMotionRow(retry, 0, 0, 0, 0, values));
    EXPECT_EQ(retry, 2);
    log.Flush();

    ASSERT_EQ(log.rowCount(), 1);
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColOutcome), QStringLiteral("OK after 2 tries"));
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColTry), QStringLiteral("2"));
    EXPECT_FALSE(log.data(log.index(0, 0), Qt::ForegroundRole).isValid());
    const QString sent = Cell(log, 0, orvane::monitor::ColSent);
    const auto time = [&](int t) { return Cell(log, 0, orvane::monitor::ColTime, t); };
    const auto trip = [&](int t) { return Cell(log, 0, orvane::monitor::ColRoundTrip, t); };
    EXPECT_EQ(Lines(log).mid(1),
              (QStringList{
                  QStringLiteral("  %1|0|WriteMotionRow|1|%2||%3|no reply").arg(time(0), sent, trip(0)),
                  QStringLiteral("  %1|0|WriteMotionRow|2|%2|00 06|%3|OK").arg(time(1), sent, trip(1)),
                  QStringLiteral("  %1|0|WriteMotionRow|-||00 06|%2|late bytes discarded").arg(time(2), trip(2)),
              }));
    EXPECT_EQ(log.data(log.index(0, 7, log.index(0, 0)), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(log.data(log.index(2, 7, log.index(0, 0)), Qt::ForegroundRole).isValid());
    EXPECT_EQ(log.Stats().at(0).retries, 1);
    EXPECT_EQ(log.Stats().at(0).failures, 0);
}

TEST_F(LineOnBoards, TheStatisticsCountEveryBoardsTransactionsFailuresRetriesAndRoundTrips)
{
    const ChannelValues values{};
    int retry = RetryCount;
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(SendPositions(retry = RetryCount, 0, 0, values));
    boards->AddFault(Fault{FaultKind::NoReply, 0xFD, 1, 3});  // board 1's first frame takes 3 tries... and fails
    EXPECT_FALSE(SendPositions(retry = 3, 1, 0, values));
    EXPECT_TRUE(SendPositions(retry = 3, 1, 0, values));
    boards->AddFault(Fault{FaultKind::BadChecksum, 0xF1, 1, 1});
    EXPECT_FALSE(SetMode(retry = RetryCount, 1, 0));

    const std::map<int, BoardStats> &stats = log.Stats();
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats.at(0).transactions, 6);
    EXPECT_EQ(stats.at(0).failures, 0);
    EXPECT_EQ(stats.at(0).retries, 0);
    EXPECT_EQ(stats.at(1).transactions, 3);
    EXPECT_EQ(stats.at(1).failures, 2);
    EXPECT_EQ(stats.at(1).retries, 2);
    EXPECT_EQ(stats.at(1).answers, 2);  // the bad checksum was an answer too

    // Median and 99th percentile of board 0 are the round trips the list shows, by nearest rank.
    std::vector<double> trips;
    for (const LineTransaction &t : seen)
        if (t.frame[1] == 0)
            trips.push_back(std::round(t.Deciding().roundTripMs * 10) / 10);
    std::sort(trips.begin(), trips.end());
    EXPECT_DOUBLE_EQ(stats.at(0).Percentile(0.5), trips[2]);
    EXPECT_DOUBLE_EQ(stats.at(0).Percentile(0.99), trips[5]);
    EXPECT_DOUBLE_EQ(stats.at(0).lastAnswerMs, seen[5].tries[0].startMs + seen[5].tries[0].roundTripMs);

    // Paused, lines stop and the counting goes on; cleared, both start over.
    log.Flush();
    log.SetPaused(true);
    EXPECT_TRUE(SendPositions(retry = RetryCount, 0, 0, values));
    log.Flush();
    EXPECT_EQ(log.rowCount(), 9);
    EXPECT_EQ(log.Stats().at(0).transactions, 7);
    log.Clear();
    EXPECT_EQ(log.rowCount(), 0);
    EXPECT_TRUE(log.Stats().empty());
}

TEST_F(LineOnBoards, WithTheObserverGoneMidwayNothingIsToldAndNothingKept)
{
    int retry = RetryCount;
    SetLineObserver(nullptr);
    EXPECT_TRUE(SetMode(retry, 0, 0));
    EXPECT_TRUE(seen.empty());
    // Closing the monitor while a transaction waits: the transaction does not tell it afterwards.
    SetLineObserver(&log);
    boards->AddFault(Fault{FaultKind::NoReply, 0xF1, 1, 2});
    QTimer::singleShot(10, [] { SetLineObserver(nullptr); });
    EXPECT_TRUE(SetMode(retry = RetryCount, 0, 0));
    EXPECT_TRUE(seen.empty());
}

TEST_F(LineOnBoards, AClosedPortIsToldAsSuchNotAsASilentBoard)
{
    ReleasePort();
    int retry = 3;
    EXPECT_FALSE(SetMode(retry, 0, 0));
    log.Flush();
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColOutcome), QStringLiteral("port not open"));
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColTry), QStringLiteral("3"));
    // The suite's line again, for the tests after this one.
    CreateSerialPort(nullptr);
    SetupPort(961, 115200);
    SerialPort->Open();
}

// The log itself, fed by hand.

namespace {

LineTransaction Made(int id, uint8_t command, double at, std::vector<LineVerdict> verdicts)
{
    LineTransaction t;
    t.frame = QByteArray::fromHex("00") + char(id);
    t.frame[0] = char(command);
    AppendChecksum(t.frame);
    t.expected = 2;
    for (LineVerdict v : verdicts) {
        const QByteArray reply = v == LineVerdict::Ok ? QByteArray(1, char(id)) + '\x06' : QByteArray();
        t.tries.push_back({at, 1.5, reply, v});
        at += 31;
    }
    return t;
}

}  // namespace

TEST(LineLogRing, DropsTheOldestBeyondItsSizeWhateverTheBatchesAndTheFilter)
{
    LineLog log(5);
    for (int i = 0; i < 3; ++i)
        log.TransactionDone(Made(i % 2, Cmd::SetMode, i * 100, {LineVerdict::Ok}));
    EXPECT_EQ(log.rowCount(), 0);  // shown at the next flush
    EXPECT_EQ(log.Flush(), 0);
    EXPECT_EQ(log.rowCount(), 3);
    for (int i = 3; i < 9; ++i)
        log.TransactionDone(Made(i % 2, Cmd::SetMode, i * 100, {LineVerdict::NoReply, LineVerdict::Ok}));
    EXPECT_EQ(log.Flush(), 3);  // the oldest of the six never showed
    EXPECT_EQ(log.Size(), 5u);
    QStringList times;
    for (int r = 0; r < log.rowCount(); ++r)
        times << Cell(log, r, 0);
    EXPECT_EQ(times, (QStringList{"400.0", "500.0", "600.0", "700.0", "800.0"}));
    EXPECT_EQ(log.rowCount(log.index(0, 0)), 2);  // its tries went with it and stay whole

    // Board 1 only: rows 500 and 700; more of board 1 push the oldest of both out.
    log.SetFilter(LineLog::Filter::Board, 1);
    EXPECT_EQ(log.rowCount(), 2);
    for (int i = 9; i < 21; ++i)
        log.TransactionDone(Made(i % 2, Cmd::SetMode, i * 100, {LineVerdict::Ok}));
    log.Flush();
    EXPECT_EQ(log.Size(), 5u);
    times.clear();
    for (int r = 0; r < log.rowCount(); ++r)
        times << Cell(log, r, 0);
    EXPECT_EQ(times, (QStringList{"1700.0", "1900.0"}));
    log.SetFilter(LineLog::Filter::Command, Cmd::GetMode);
    EXPECT_EQ(log.rowCount(), 0);
    log.SetFilter(LineLog::Filter::None, 0);
    EXPECT_EQ(log.rowCount(), 5);
    EXPECT_EQ(log.Stats().at(0).transactions + log.Stats().at(1).transactions, 21);
}

TEST(LineLogRing, TheSavedTextHoldsExactlyTheLinesShownOneLinePerTry)
{
    LineLog log;
    log.TransactionDone(Made(0, Cmd::SetMode, 10, {LineVerdict::Ok}));
    log.TransactionDone(Made(1, Cmd::SetMode, 20, {LineVerdict::NoReply, LineVerdict::NoReply}));
    log.PortChanged(LinePortEvent::Lost, 3, QStringLiteral("/dev/ttyUSB2"));
    log.TransactionDone(Made(0, Cmd::GetMode, 30, {LineVerdict::Ok}));
    log.Flush();
    log.SetFilter(LineLog::Filter::Board, 1);

    QStringList shown{LineLog::HeaderTexts(kEnglish).join(u'\t')};
    for (int r = 0; r < log.rowCount(); ++r) {
        const QModelIndex top = log.index(r, 0);
        if (log.rowCount(top) == 0)
            shown << log.RowTexts(top, kEnglish).join(u'\t');
        for (int c = 0; c < log.rowCount(top); ++c)
            shown << log.RowTexts(log.index(c, 0, top), kEnglish).join(u'\t');
    }
    EXPECT_EQ(log.SavedText(kEnglish), shown.join(u'\n') + u'\n');
    EXPECT_EQ(log.SavedText(kEnglish),
              "Time (ms)\tID\tCommand\tTry\tSent\tReceived\tRound trip (ms)\tOutcome\n"
              "20.0\t1\tSetMode\t1\tF1 01 72\t\t1.5\tno reply\n"
              "51.0\t1\tSetMode\t2\tF1 01 72\t\t1.5\tno reply\n"
              "" + Cell(log, 1, 0)
                  + "\t\t\t\t\t\t\tCOM3 (/dev/ttyUSB2) was lost; waiting for it to come back\n");
    EXPECT_EQ(log.data(log.index(1, 7), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
}

TEST(LineLogTexts, EveryOutcomeReadsAsTheIssueNamesIt)
{
    const QByteArray three = Hex("0102");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::Ok, {}, 2, kEnglish), "OK");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::NoReply, {}, 2, kEnglish), "no reply");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::ShortReply, three, 14, kEnglish), "short reply (2 of 14 bytes)");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::BadChecksum, {}, 3, kEnglish), "bad checksum");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::WrongId, Hex("0706"), 2, kEnglish), "answer from ID 7");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::NotAcknowledged, {}, 2, kEnglish), "not acknowledged");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::LateBytes, {}, 2, kEnglish), "late bytes discarded");
    EXPECT_EQ(LineLog::VerdictText(LineVerdict::ShortReply, three, 14, 0), "応答不足 (2/14 バイト)");
    LineLog log;
    log.TransactionDone(Made(4, Cmd::SetMode, 0, {LineVerdict::NoReply, LineVerdict::NoReply, LineVerdict::Ok}));
    log.Flush();
    EXPECT_EQ(Cell(log, 0, orvane::monitor::ColOutcome), "OK after 3 tries");
    EXPECT_EQ(log.RowTexts(log.index(0, 0), 0).value(orvane::monitor::ColOutcome), "3回目でOK");
}
