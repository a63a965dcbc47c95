#include "scripted_line.h"

#include "protocol/board_facts.h"
#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QByteArray WithSum(std::initializer_list<int> values)
{
    QByteArray b = Bytes(values);
    AppendChecksum(b);
    return b;
}

ScriptedReply Reply(const QByteArray &bytes) { return {{0, bytes}}; }
const ScriptedReply Silence{};

// The value code ranges decide what a file or a board may bring; the edges are where a slip would show.
TEST(BoardFacts, ValueCodesAreThePositionsAndTheSevenModeCodes)
{
    for (int v : {0, 90, 180, 221, 222, 223, 224, 225, 226, 227})
        EXPECT_TRUE(orvane::IsChannelValueCode(v)) << v;
    for (int v : {-1, 181, 220, 228, 255})
        EXPECT_FALSE(orvane::IsChannelValueCode(v)) << v;
    EXPECT_FALSE(orvane::IsPosition(221));
    EXPECT_FALSE(orvane::IsModeCode(180));
    // A mode list entry i codes as 220 + i: FREE is entry 1, "-H-" entry 6.
    EXPECT_EQ(orvane::kModeCodeBase + 1, orvane::kValueFree);
    EXPECT_EQ(orvane::kModeCodeBase + 6, orvane::kValueHigh);
}

TEST(BoardFacts, ChannelSourceIsTheBoardModeAndMaskBitsAreTheGroups)
{
    EXPECT_EQ(orvane::ChannelSourceOfMode(0), orvane::ChannelSource::Editor);
    EXPECT_EQ(orvane::ChannelSourceOfMode(1), orvane::ChannelSource::User);
    EXPECT_EQ(orvane::ChannelSourceOfMode(2), orvane::ChannelSource::Teaching);
    EXPECT_NE(orvane::ChannelSourceOfMode(3), orvane::ChannelSource::Teaching);
    EXPECT_EQ(orvane::GroupFailure(0) | orvane::GroupFailure(1), orvane::kBothGroupsFailed);
    EXPECT_TRUE(orvane::GroupFailed(2, 1));
    EXPECT_FALSE(orvane::GroupFailed(2, 0));
    EXPECT_EQ(orvane::kChannelsPerBoard * orvane::kGroupCount, orvane::kChannelCount);
}

constexpr int kLinePort = 901;

// One line and one open port for the whole suite: opening and closing cost 400 ms.
class ProtocolOnLine : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        line = new ScriptedLine;
        SetDevicePath(kLinePort, line->SlavePath());
        CreateSerialPort(nullptr);
        SetupPort(kLinePort, 115200);
        SerialPort->Open();
    }
    static void TearDownTestSuite()
    {
        ReleasePort();
        delete line;
        line = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(SerialPort->IsOpen());
        line->Script({});
        line->ClearFrames();
    }
    static ScriptedLine *line;
};
ScriptedLine *ProtocolOnLine::line = nullptr;

TEST(Checksum, IsTheSevenBitSumOfTheFrame)
{
    QByteArray empty;
    AppendChecksum(empty);
    EXPECT_EQ(empty, Bytes({0x00}));
    EXPECT_EQ(WithSum({0xF0, 0x00}), Bytes({0xF0, 0x00, 0x70}));
    EXPECT_EQ(WithSum({0xFC, 0x01}), Bytes({0xFC, 0x01, 0x7D}));
    QByteArray big = QByteArray(15, char(0xFF));
    AppendChecksum(big);
    EXPECT_LE(uint8_t(big.back()), 0x7F);
}

TEST_F(ProtocolOnLine, WholeFramesGoOutByteExact)
{
    line->Script({Reply(WithSum({0x00, 0x00})), Reply(Bytes({0x01, 0x06})), Reply(Bytes({0x00, 0x06})),
                  Reply(Bytes({0x00, 0x06}))});
    int retry = 1;
    uint8_t mode = 9;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 0);
    retry = 1;
    EXPECT_TRUE(SetMode(retry, 1, 1));
    ChannelValues ninety;
    ninety.fill(90);
    retry = 1;
    EXPECT_TRUE(SendPositions(retry, 0, 0, ninety));
    ChannelValues twenty;
    twenty.fill(20);
    retry = 1;
    EXPECT_TRUE(WriteTrim(retry, 0, twenty));

    const auto frames = line->Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], Bytes({0xF0, 0x00, 0x70}));
    EXPECT_EQ(frames[1], Bytes({0xF1, 0x01, 0x01, 0x73}));
    EXPECT_EQ(frames[2], Bytes({0xFD, 0x00, 0x00}) + QByteArray(12, char(0x5A)) + Bytes({0x35}));
    EXPECT_EQ(frames[3], Bytes({0xE9, 0x00}) + QByteArray(12, char(0x14)) + Bytes({0x59}));
}

TEST_F(ProtocolOnLine, MemoryCommandFramesCarryTheirFields)
{
    for (int i = 0; i < 8; ++i)
        line->Script({});
    int retry = 1;
    ChannelValues values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 221};
    WriteMotionRow(retry, 3, 39, 99, 7, values);
    retry = 1;
    WriteAssignment(retry, 0, 159, 0xA5, 200);
    retry = 1;
    WriteScenarioItem(retry, 1, 3, 199, 39);
    retry = 1;
    SetMotionLength(retry, 0, 5, 100);
    retry = 1;
    int pattern = 0, target = 0;
    ReadAssignment(retry, 0, 7, pattern, target);
    ASSERT_TRUE(line->WaitForFrames(5));
    const auto frames = line->Frames();
    EXPECT_EQ(frames[0], WithSum({0xF9, 3, 39, 99, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 221}));
    EXPECT_EQ(frames[1], WithSum({0xED, 0, 159, 0x0A, 0x05, 200}));
    EXPECT_EQ(frames[2], WithSum({0xF5, 1, 3, 199, 39}));
    EXPECT_EQ(frames[3], WithSum({0xF7, 0, 5, 100}));
    EXPECT_EQ(frames[4], WithSum({0xEC, 0, 7}));
}

TEST_F(ProtocolOnLine, RepliesAreCheckedOnlyWhereTheBoardIdCounts)
{
    // GetPositions, ReadTrim, GetMode and ReadAssignment ignore byte 0; ReadMotionRow and the
    // three-byte count replies need the ID.
    QByteArray positions = Bytes({0x07}) + QByteArray(12, char(45));
    AppendChecksum(positions);
    QByteArray row = Bytes({0x02, 3}) + QByteArray(12, char(100));
    AppendChecksum(row);
    line->Script({Reply(positions), Reply(positions), Reply(row), Reply(WithSum({0x05, 12})),
                  Reply(WithSum({0x09, 0x0C, 0x08, 100}))});

    int retry = 1;
    QByteArray reply;
    EXPECT_TRUE(GetPositions(retry, 0, reply));
    EXPECT_EQ(reply.mid(1, 12), QByteArray(12, char(45)));
    retry = 1;
    EXPECT_TRUE(ReadTrim(retry, 0, reply));
    retry = 1;
    QByteArray rowReply;
    EXPECT_FALSE(ReadMotionRow(retry, 1, 0, 0, rowReply)) << "another board's ID in byte 0";
    retry = 1;
    int rows = -1;
    EXPECT_FALSE(GetMotionLength(retry, 0, 0, rows));
    EXPECT_EQ(rows, 12) << "the count is handed out whenever three bytes came";
    retry = 1;
    int pattern = 0, target = 0;
    EXPECT_TRUE(ReadAssignment(retry, 0, 0, pattern, target));
    EXPECT_EQ(pattern, 200);
    EXPECT_EQ(target, 100);
}

TEST_F(ProtocolOnLine, BadRepliesFailWithoutTouchingOutputs)
{
    QByteArray badSum = Bytes({0x00}) + QByteArray(12, char(45)) + Bytes({0x00});
    line->Script({Reply(Bytes({0x00, 0x01, 0x00})), Reply(Bytes({0x01, 0x06})), Reply(Bytes({0x00, 0x15})),
                  Reply(badSum), Reply(Bytes({0x00, 0x0C, 0x08, 100, 0x00}))});
    int retry = 1;
    uint8_t mode = 9;
    EXPECT_FALSE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 1) << "the mode byte is handed out even with a bad checksum";
    retry = 1;
    EXPECT_FALSE(SetMode(retry, 0, 1)) << "0x06 from another ID";
    retry = 1;
    EXPECT_FALSE(SetMode(retry, 0, 1)) << "not 0x06";
    retry = 1;
    QByteArray reply = "untouched";
    EXPECT_FALSE(GetHomePosition(retry, 0, reply));
    retry = 1;
    int pattern = -1, target = -1;
    EXPECT_FALSE(ReadAssignment(retry, 0, 0, pattern, target));
    EXPECT_EQ(pattern, -1);
    EXPECT_EQ(target, -1);
}

TEST_F(ProtocolOnLine, ShortReplyLeavesOutputsUnwritten)
{
    line->Script({Reply(Bytes({0x00, 0x01})), Reply(Bytes({0x00}))});
    int retry = 1;
    uint8_t mode = 9;
    EXPECT_FALSE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 9);
    retry = 1;
    int rows = -1;
    EXPECT_FALSE(GetMotionLength(retry, 0, 0, rows));
    EXPECT_EQ(rows, -1);
}

TEST_F(ProtocolOnLine, PlayMotionToId99SendsAndDoesNotWait)
{
    int retry = 10;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(PlayMotion(retry, 99, 5));
    // Waiting for a reply would take ten 30 ms silences; the margin keeps a loaded machine out of it.
    EXPECT_LT(clock.elapsed(), 150);
    ASSERT_TRUE(line->WaitForFrames(1));
    EXPECT_EQ(line->Frames()[0], WithSum({0xEF, 0x63, 5}));
}

TEST_F(ProtocolOnLine, ReplyInPiecesWithShortGapsIsCollectedWhole)
{
    const QByteArray full = WithSum({0x00, 0x01});
    line->Script({{{0, full.left(1)}, {15, full.mid(1, 1)}, {15, full.mid(2)}}});
    int retry = 10;
    uint8_t mode = 0;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(retry, 1);
    EXPECT_EQ(line->Frames().size(), 1u);
}

TEST_F(ProtocolOnLine, GapOfThirtyMillisecondsEndsTheAttemptAndTheFrameGoesAgain)
{
    // The tail arrives 45 ms late, inside the second attempt, which then holds only stale bytes;
    // the third attempt gets a clean reply.
    const QByteArray full = WithSum({0x00, 0x01});
    line->Script({{{0, full.left(1)}, {45, full.mid(1)}}, Silence, Reply(full)});
    int retry = 10;
    uint8_t mode = 0;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(retry, 3);
    const auto frames = line->Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], frames[1]);
    EXPECT_EQ(frames[0], frames[2]);
}

TEST_F(ProtocolOnLine, AnswerToAnEarlierAttemptNeverPassesForTheNextCommandsReply)
{
    // The first answer comes 45 ms late, after the frame went again; the second attempt takes it, and the
    // answer to the second frame follows. It must not be read as the reply of the next command.
    const QByteArray sleepMode = WithSum({0x00, 0x01});
    const QByteArray teachingMode = WithSum({0x00, 0x02});
    line->Script({{{45, sleepMode}}, {{5, sleepMode}}, Reply(teachingMode)});
    int retry = 10;
    uint8_t mode = 0;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(retry, 2);
    retry = 10;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(retry, 1);
    EXPECT_EQ(line->Frames().size(), 3u);
}

TEST_F(ProtocolOnLine, SilenceUsesEveryAttempt)
{
    int retry = 10;
    uint8_t mode = 0;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(GetMode(retry, 0, mode));
    const qint64 elapsed = clock.elapsed();
    EXPECT_EQ(retry, 10);
    EXPECT_EQ(line->Frames().size(), 10u);
    EXPECT_GE(elapsed, 300);
    EXPECT_LT(elapsed, 600);

    retry = 0;  // below 1 counts as one attempt
    EXPECT_FALSE(GetMode(retry, 0, mode));
    EXPECT_EQ(retry, 1);
}

TEST_F(ProtocolOnLine, LongerReplyIsCutAndTheRestPurgedByTheNextTransaction)
{
    line->Script({Reply(Bytes({0x00, 0x06, 0x55, 0x55, 0x55})), Reply(WithSum({0x00, 0x02}))});
    int retry = 1;
    EXPECT_TRUE(SetMode(retry, 0, 2));
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // the tail has surely arrived
    retry = 1;
    uint8_t mode = 0;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    EXPECT_EQ(mode, 2);
}

TEST(ProtocolClosed, ClosedPortFailsAtOnceUsingAllAttempts)
{
    CreateSerialPort(nullptr);
    ASSERT_FALSE(SerialPort->IsOpen());
    int retry = 10;
    uint8_t mode = 0;
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(GetMode(retry, 0, mode));
    EXPECT_LT(clock.elapsed(), 150);  // ten attempts would take 300 ms at least
    EXPECT_EQ(retry, 10);
    ReleasePort();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
