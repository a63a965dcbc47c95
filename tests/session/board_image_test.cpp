// Board images: the JSON form refuses what it does not understand, and a backup, a restore and a verify
// against two virtual boards give back the boards' memory exactly.

#include "boards_on_line.h"
#include "restored_memory.h"

#include "session/board_image.h"
#include "sim/virtual_boards.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using orvane::BoardImage;
using orvane::ImageBoard;
using orvane::sim::BoardMemory;
using orvane::sim::Fault;
using orvane::sim::FaultKind;
using orvane::sim::VirtualBoards;

constexpr int kLinePort = 909;

// Every slot full, every byte telling where it sits.
BoardMemory FullBoard(std::uint8_t id)
{
    BoardMemory m(id);
    for (int k = 0; k < 12; ++k) {
        m.home[size_t(k)] = std::uint8_t(30 + k + id);
        m.trims[size_t(k)] = std::uint8_t(120 + k * 2 + id);
    }
    for (int s = 0; s < orvane::kMotionSlotCount; ++s) {
        m.motionLengths[size_t(s)] = orvane::kMotionRowsPerSlot;
        for (int r = 0; r < orvane::kMotionRowsPerSlot; ++r) {
            auto &row = m.motions[size_t(s)][size_t(r)];
            row.speed = std::uint8_t((s + r) % 8);
            for (int k = 0; k < 12; ++k)
                row.values[size_t(k)] = std::uint8_t((s * 7 + r * 3 + k + id) % 181);
        }
    }
    for (int s = 0; s < orvane::kScenarioSlotCount; ++s) {
        m.scenarioLengths[size_t(s)] = orvane::kScenarioItemsPerSlot;
        for (int i = 0; i < orvane::kScenarioItemsPerSlot; ++i)
            m.scenarios[size_t(s)][size_t(i)] = std::uint8_t((s + i + id) % 40);
    }
    for (int e = 0; e < orvane::kAssignmentEntryCount; ++e)
        m.assignments[size_t(e)] = {std::uint8_t(e % 16), std::uint8_t((e + id) % 44)};
    return m;
}

class BoardImageOnLine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { boards = OpenBoardsOnLine(kLinePort); }
    static void TearDownTestSuite() { CloseBoardsOnLine(boards); }
    void SetUp() override
    {
        boards->ClearFaults();
        boards->SetBoard(0, BoardMemory(0));
        boards->SetBoard(1, BoardMemory(1));
        boards->ClearFrames();
    }
    static BoardImage Backup()
    {
        BoardImage image;
        for (std::uint8_t id : {0, 1}) {
            QString error;
            const std::optional<ImageBoard> board = orvane::ReadBoardImage(id, {}, &error);
            EXPECT_TRUE(board) << error.toStdString();
            if (board)
                image.boards.push_back(*board);
        }
        return image;
    }
    static VirtualBoards *boards;
};
VirtualBoards *BoardImageOnLine::boards = nullptr;

TEST_F(BoardImageOnLine, AFullImageOfTwoBoardsRestoresTheSameMemoryThroughItsJsonText)
{
    const BoardMemory full0 = FullBoard(0);
    const BoardMemory full1 = FullBoard(1);
    boards->SetBoard(0, full0);
    boards->SetBoard(1, full1);
    const BoardImage image = Backup();
    ASSERT_EQ(image.boards.size(), 2u);
    EXPECT_EQ(image.boards[1].home[0], 31);
    EXPECT_EQ(image.boards[0].motions[39].size(), 100u);

    const QByteArray json = orvane::BoardImageToJson(image);
    QString error;
    const std::optional<BoardImage> read = orvane::BoardImageFromJson(json, &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(*read, image);

    boards->SetBoard(0, BoardMemory(0));
    boards->SetBoard(1, BoardMemory(1));
    std::vector<int> seen;
    for (const ImageBoard &board : read->boards)
        ASSERT_TRUE(orvane::WriteBoardImage(
            board, [&](int done, int) { seen.push_back(done); }, &error))
            << error.toStdString();
    ExpectRestoredMemory(boards->Board(0), full0);
    ExpectRestoredMemory(boards->Board(1), full1);
    EXPECT_EQ(boards->Board(0).mode, 1);  // left asleep
    EXPECT_EQ(seen.back(), orvane::BoardWriteCommands(read->boards[1]));

    const BoardImage again = Backup();
    for (size_t b = 0; b < 2; ++b)
        EXPECT_TRUE(orvane::CompareBoardImages(image.boards[b], again.boards[b], false).isEmpty());
}

TEST_F(BoardImageOnLine, VerifyNamesASingleChangedRowAndTheLengthsThatDiffer)
{
    BoardMemory m(0);
    m.motionLengths[3] = 5;
    m.scenarioLengths[1] = 2;
    boards->SetBoard(0, m);
    QString error;
    const std::optional<ImageBoard> saved = orvane::ReadBoardImage(0, {}, &error);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->motions[3].size(), 5u);
    EXPECT_TRUE(saved->motions[4].empty());

    boards->EditBoard(0, [](BoardMemory &b) {
        b.motions[3][2].values[7] = 99;
        b.scenarioLengths[1] = 3;
        b.assignments[150].target = 7;
    });
    const std::optional<ImageBoard> now = orvane::ReadBoardImage(0, {}, &error);
    ASSERT_TRUE(now);
    EXPECT_EQ(
        orvane::CompareBoardImages(*saved, *now, true),
        (QStringList{"board 0: motion 3 row 2", "board 0: scenario 1 length 2, found 3", "board 0: assignment 150"}));
}

TEST_F(BoardImageOnLine, ABoardSilentMidRestoreSaysWhatWasWrittenAndASecondRestoreCompletes)
{
    const BoardMemory full = FullBoard(0);
    ImageBoard image;
    {
        boards->SetBoard(0, full);
        QString error;
        image = *orvane::ReadBoardImage(0, {}, &error);
        boards->SetBoard(0, BoardMemory(0));
    }
    // The board stops answering row writes from the 250th on.
    Fault silent;
    silent.kind = FaultKind::NoReply;
    silent.command = 0xF9;
    silent.first = 250;
    boards->AddFault(silent);
    QString error;
    EXPECT_FALSE(orvane::WriteBoardImage(image, {}, &error));
    EXPECT_EQ(error, QStringLiteral("board 0: no valid answer writing motion 2 row 49; written before it: the "
                                    "trims, the rows of motions 0 to 1"));
    EXPECT_EQ(boards->Board(0).motionLengths[0], 0);  // no length before its rows are all there

    boards->ClearFaults();
    ASSERT_TRUE(orvane::WriteBoardImage(image, {}, &error)) << error.toStdString();
    ExpectRestoredMemory(boards->Board(0), full);
}

TEST_F(BoardImageOnLine, ARestoreAskedForTheHomePositionDrivesTheServosThereAndStoresIt)
{
    BoardMemory programmed(0);
    programmed.motionLengths[5] = 2;
    programmed.motions[5][1].values[3] = 44;
    for (int k = 0; k < 12; ++k)
        programmed.home[size_t(k)] = std::uint8_t(60 + k);
    boards->SetBoard(0, programmed);
    BoardImage image;
    QString error;
    image.boards.push_back(*orvane::ReadBoardImage(0, {}, &error));

    // Without the home position: written and checked, the old home kept, the board left asleep.
    boards->SetBoard(0, BoardMemory(0));
    std::vector<std::pair<int, int>> seen;
    orvane::RestoreOutcome outcome = orvane::RestoreBoards(image, false, [&](int d, int t) { seen.push_back({d, t}); });
    ASSERT_TRUE(outcome.completed) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.differences.isEmpty());
    EXPECT_EQ(boards->Board(0).home, BoardMemory(0).home);
    EXPECT_EQ(boards->Board(0).mode, 1);
    EXPECT_EQ(seen.back(),
              std::make_pair(orvane::RestoreCommands(image, false), orvane::RestoreCommands(image, false)));
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    // With it: the pose at speed 0, default mode, the pose taken as home, and the home read back, in that order.
    boards->ClearFrames();
    outcome = orvane::RestoreBoards(image, true, {});
    ASSERT_TRUE(outcome.completed) << outcome.error.toStdString();
    EXPECT_TRUE(outcome.differences.isEmpty());
    EXPECT_EQ(boards->Board(0).home, programmed.home);
    EXPECT_EQ(boards->Board(0).positions, programmed.home);
    EXPECT_EQ(boards->Board(0).mode, 0);
    std::vector<orvane::sim::Bytes> frames = boards->Frames();
    // A frame sent again after a late reply (a loaded machine) is the same command, not one more.
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    ASSERT_EQ(int(frames.size()), orvane::RestoreCommands(image, true));
    EXPECT_EQ(frames[frames.size() - 4],
              (orvane::sim::Bytes{0xFD, 0, 0, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 0x0F}));
    EXPECT_EQ(frames[frames.size() - 3], (orvane::sim::Bytes{0xF1, 0, 0, 0x71}));
    EXPECT_EQ(frames[frames.size() - 2], (orvane::sim::Bytes{0xFB, 0, 0x7B}));
    EXPECT_EQ(frames[frames.size() - 1], (orvane::sim::Bytes{0xFA, 0, 0x7A}));

    // A board that stops answering at the home step: the rest was written and checked, said so.
    Fault silent;
    silent.kind = FaultKind::NoReply;
    silent.command = 0xFB;
    boards->AddFault(silent);
    outcome = orvane::RestoreBoards(image, true, {});
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.error, QStringLiteral("board 0: no valid answer sending the home position; the rest of the "
                                            "image was written and checked before it"));
}

TEST(BoardImageText, ACutOrEditedImageIsRefusedWithTheReason)
{
    ImageBoard board;
    board.id = 1;
    board.motions[0] = {{3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}}};
    board.scenarios[2] = {5, 6};
    const QByteArray json = orvane::BoardImageToJson(BoardImage{{board}});
    QString error;
    ASSERT_TRUE(orvane::BoardImageFromJson(json, &error));

    const auto refused = [&](const QByteArray &text) {
        error.clear();
        return !orvane::BoardImageFromJson(text, &error) && !error.isEmpty();
    };
    EXPECT_TRUE(refused(json.left(json.size() / 2)));
    EXPECT_TRUE(refused(QByteArray(json).replace("\"version\": 1", "\"version\": 2")));
    EXPECT_EQ(error, QStringLiteral("image: version 2 is not understood"));
    EXPECT_TRUE(refused(QByteArray(json).replace("\"id\": 1", "\"id\": 1.5")));
    EXPECT_TRUE(refused(QByteArray(json).replace("\"id\": 1", "\"id\": 1, \"colour\": 3")));
    EXPECT_EQ(error, QStringLiteral("board 1: unknown field \"colour\""));
    // A value past a byte, and a row one value short.
    EXPECT_TRUE(refused(QByteArray(json).replace("12\n", "256\n")));
    const qsizetype row = json.indexOf("3,");
    ASSERT_GT(row, 0);
    QByteArray shortRow = json;
    shortRow.remove(row, 2);
    EXPECT_TRUE(refused(shortRow));
    EXPECT_TRUE(refused("[]"));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
