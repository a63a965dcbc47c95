#include "scripted_line.h"
#include "scripted_prompt.h"

#include "boards_on_line.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/board_operations.h"
#include "session/open_port.h"
#include "session/port_failure.h"
#include "session/slot_list.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <unistd.h>

namespace {

using orvane::SlotList;
using orvane::SlotNaming;
using orvane::SlotRow;

// Counts per board ID and slot; a slot listed in `silentFrom` makes that board stop answering there.
struct FakeBoards {
    std::map<int, std::array<int, 40>> counts;
    int silentId = -1;
    int silentFrom = 99;
    QList<QString> asked;

    orvane::SlotCountReader Reader()
    {
        return [this](int id, int slot, int &count) {
            asked << QStringLiteral("%1:%2").arg(id).arg(slot);
            if (id == silentId && slot >= silentFrom)
                return false;
            count = counts[id][slot];
            return true;
        };
    }
};

TEST(SlotList, ReadNamesSlotsWithDataFromTheBaseNameAndTakesTheGreaterCount)
{
    FakeBoards boards;
    boards.counts[0] = {};
    boards.counts[1] = {};
    boards.counts[0][0] = 12;
    boards.counts[1][0] = 3;
    boards.counts[0][3] = 2;
    boards.counts[1][3] = 8;
    SlotList list = SlotList::Motions();
    int lastProgress = 0;
    ASSERT_TRUE(orvane::ReadSlotCounts(list, {0, 1}, boards.Reader(), {true, QStringLiteral("walk"), "なし"},
                                       [&](int p) { lastProgress = p; }));
    ASSERT_EQ(list.Size(), 40);
    EXPECT_EQ(list.Row(0), (SlotRow{"M0", "walk0", "12"}));
    EXPECT_EQ(list.Row(1), (SlotRow{"M1", "なし", "0"}));
    EXPECT_EQ(list.Row(3), (SlotRow{"M3", "walk3", "8"}));
    EXPECT_EQ(list.Row(39).label, QStringLiteral("M39"));
    EXPECT_EQ(lastProgress, 40);
    // Each slot asks the CH1-CH12 board first.
    EXPECT_EQ(boards.asked.mid(0, 4), (QList<QString>{"0:0", "1:0", "0:1", "1:1"}));
}

TEST(SlotList, CancelledNameBoxKeepsNamesAndAnEmptyBaseNameGivesEmptyNames)
{
    FakeBoards boards;
    boards.counts[0] = {};
    boards.counts[0][1] = 5;
    boards.counts[0][2] = 5;
    SlotList list = SlotList::Scenarios();
    list.Assign({{"S0", "a", "07"}, {"S1", "b", "1"}, {"S2", "c", "1"}, {"S3", "d", "0"}});
    ASSERT_TRUE(orvane::ReadSlotCounts(list, {0, 255}, boards.Reader(), {false, {}, "None"}));
    EXPECT_EQ(list.Row(0), (SlotRow{"S0", "None", "0"}));
    EXPECT_EQ(list.Row(1), (SlotRow{"S1", "b", "5"}));
    ASSERT_TRUE(orvane::ReadSlotCounts(list, {0, 255}, boards.Reader(), {true, {}, "None"}));
    EXPECT_EQ(list.Row(2), (SlotRow{"S2", "", "5"}));
    // Only the present board was asked.
    EXPECT_FALSE(boards.asked.contains(QStringLiteral("255:0")));
}

TEST(SlotList, ReadStopsAtTheFirstSilentBoard)
{
    FakeBoards boards;
    boards.counts[0] = {};
    boards.counts[1] = {};
    boards.silentId = 1;
    boards.silentFrom = 5;
    SlotList list = SlotList::Motions();
    EXPECT_FALSE(orvane::ReadSlotCounts(list, {0, 1}, boards.Reader(), {true, "w", "なし"}));
    EXPECT_EQ(list.Size(), 5);
    EXPECT_EQ(boards.asked.last(), QStringLiteral("1:5"));
    EXPECT_EQ(list.NameOf(4), std::optional<QString>(QStringLiteral("なし")));
    EXPECT_EQ(list.NameOf(5), std::nullopt);

    // A slot the first board did not answer is still asked of the second, and no slot after it.
    FakeBoards first;
    first.counts[0] = {};
    first.counts[1] = {};
    first.silentId = 0;
    first.silentFrom = 3;
    SlotList motions = SlotList::Motions();
    EXPECT_FALSE(orvane::ReadSlotCounts(motions, {0, 1}, first.Reader(), {true, "w", "なし"}));
    EXPECT_EQ(first.asked.mid(6), (QList<QString>{"0:3", "1:3"}));
    EXPECT_EQ(motions.Size(), 3);
}

// Frames in hex, one per entry.
QStringList Hex(const std::vector<orvane::sim::Bytes> &frames)
{
    QStringList out;
    for (const auto &f : frames)
        out << AsByteArray(f).toHex(' ');
    return out;
}

TEST(BoardOperations, EnsureSleepWarnsOnlyInDefaultModeAndSkipsAnAbsentBoard)
{
    auto *boards = OpenBoardsOnLine(4, {3});
    orvane::BoardOperations ops(MainRetryCount);
    ops.SetIds(orvane::kNoBoard, 3);
    int warnings = 0;
    ASSERT_TRUE(ops.EnsureSleep([&] { ++warnings; }));
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(boards->Board(3).mode, 1);
    // Asked, then put to sleep; the absent CH1-CH12 group is never addressed.
    EXPECT_EQ(Hex(boards->Frames()).size(), 2);
    for (const QString &frame : Hex(boards->Frames()))
        EXPECT_EQ(frame.mid(3, 2), QStringLiteral("03"));
    ASSERT_TRUE(ops.EnsureSleep([&] { ++warnings; }));
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(ops.ReleaseSleep(), 0);
    EXPECT_EQ(boards->Board(3).mode, 0);
    CloseBoardsOnLine(boards);
}

TEST(BoardOperations, SendBothCarriesEachGroupsTwelveCodesAndMasksASilentBoard)
{
    auto *boards = OpenBoardsOnLine(4, {0});
    orvane::BoardOperations ops(2);
    ops.SetIds(0, 1);  // no board answers as 1
    orvane::ChannelCodes codes{};
    for (int n = 1; n <= 24; ++n)
        codes[n] = n;
    EXPECT_EQ(ops.SendBoth(5, codes), 2);
    const QStringList frames = Hex(boards->Frames());
    ASSERT_GE(frames.size(), 1);
    EXPECT_TRUE(frames[0].startsWith(QStringLiteral("fd 00 05 01 02 03 04 05 06 07 08 09 0a 0b 0c")));
    EXPECT_EQ(ops.SetModeAll(1), 2);
    EXPECT_EQ(boards->Board(0).mode, 1);
    CloseBoardsOnLine(boards);
}

TEST(OpenPortChecked, ReportsSuccessAndFailureInTheirBoxes)
{
    ScriptedLine line;
    SetDevicePath(3, line.SlavePath());
    SetDevicePath(7, QStringLiteral("/dev/orvane-no-such-device"));
    CreateSerialPort(nullptr);
    ScriptedPrompt prompt;

    SetupPort(3, 115200);
    OpenPortChecked(prompt);
    EXPECT_TRUE(SerialPort->IsOpen());
    EXPECT_EQ(SerialPort->TimeOutReceive(), 30);
    EXPECT_EQ(SerialPort->FlowCtrl(), cfcNone);
    EXPECT_EQ(SerialPort->XonLim(), 512);
    ClosePort();

    SetupPort(7, 115200);
    OpenPortChecked(prompt);
    EXPECT_FALSE(SerialPort->IsOpen());

    ASSERT_EQ(prompt.boxes.size(), 2u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("情報"));
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("COM3 設定完了"));
    EXPECT_EQ(prompt.boxes[1].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.boxes[1].title, QStringLiteral("警告"));
    EXPECT_EQ(prompt.boxes[1].text,
              QStringLiteral("COM7指定のポートは使用できません\nデバイス /dev/orvane-no-such-device は存在しません。"));
    ReleasePort();
    ClearDevicePaths();
}

// The box keeps its first line and names the cause below it.
TEST(OpenPortChecked, SaysWhyThePortDidNotOpen)
{
    QTemporaryDir dir;
    const QString plain = dir.filePath("plain");
    {
        QFile f(plain);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ScriptedLine line;
    const int holder = ::open(QFile::encodeName(line.SlavePath()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    SetDevicePath(4, plain);
    SetDevicePath(5, line.SlavePath());
    CreateSerialPort(nullptr);
    ScriptedPrompt prompt;
    SetupPort(4, 115200);
    OpenPortChecked(prompt);
    SetupPort(5, 115200);
    OpenPortChecked(prompt);
    EXPECT_FALSE(SerialPort->IsOpen());
    ::close(holder);
    OpenPortChecked(prompt);
    EXPECT_TRUE(SerialPort->IsOpen()) << "open again once the other holder let go";

    ASSERT_EQ(prompt.boxes.size(), 3u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("COM4指定のポートは使用できません\n") + plain
                                        + QStringLiteral(" はシリアルデバイスではありません。"));
    EXPECT_EQ(prompt.boxes[1].text, QStringLiteral("COM5指定のポートは使用できません\nデバイス ") + line.SlavePath()
                                        + QStringLiteral(" は他のプログラムが使用中です。"));
    EXPECT_EQ(prompt.boxes[2].text, QStringLiteral("COM5 設定完了"));
    ReleasePort();
    ClearDevicePaths();

    EXPECT_EQ(PortOpenCauseText(TCommOpenCause::NotPermitted, EACCES, "/dev/ttyUSB0", 1),
              QStringLiteral("You may not open the device /dev/ttyUSB0. Join the dialout group and log in again: sudo "
                             "usermod -aG dialout $USER"));
    EXPECT_EQ(PortOpenCauseText(TCommOpenCause::Other, EIO, "/dev/ttyS0", 1),
              QStringLiteral("The device /dev/ttyS0 could not be opened: Input/output error"));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
