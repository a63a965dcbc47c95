// Motion transfers driven through the editor's buttons against two virtual boards on a pty.

#include "fake_main.h"

#include "boards_on_line.h"
#include "motion/motion_data.h"
#include "motion/motion_form.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "sleep_on_boards.h"

#include <QComboBox>
#include <QProgressBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace {

using orvane::sim::BoardMemory;
using orvane::sim::Bytes;
using orvane::sim::Fault;
using orvane::sim::FaultKind;
using orvane::sim::VirtualBoards;

const QString Confirm = QStringLiteral("確認");
const QString Warning = QStringLiteral("警告");
const char *const Failed = "通信が中断されました";

// The sleep operations are the program's own, over the boards on the line.
using BoardMain = SleepOnBoards<FakeMain>;

Bytes RowFrame(int id, int slot, int row, int speed, const std::array<uint8_t, 12> &values)
{
    Bytes b{0xF9, uint8_t(id), uint8_t(slot), uint8_t(row), uint8_t(speed)};
    for (uint8_t v : values)
        b.push_back(v);
    b.push_back(orvane::sim::Checksum(b));
    return b;
}

// Rows r = 0..n-1: speed r % 8, channel n at (r + n) % 181.
void FillRows(TMotionForm &form, int n)
{
    for (int r = 0; r < n; ++r) {
        QStringList values;
        for (int ch = 1; ch <= 24; ++ch)
            values << QString::number((r + ch) % 181);
        form.AppendPosition(QStringLiteral("P%1").arg(r), QString::number(r % 8), values);
    }
}

// The 12 values FillRows gave row r on one board.
std::array<uint8_t, 12> Values(int r, int group)
{
    std::array<uint8_t, 12> v;
    for (int k = 0; k < 12; ++k)
        v[k] = uint8_t((r + 12 * group + k + 1) % 181);
    return v;
}

class TransferOnBoards : public BoardsOnLineTest<907> {
protected:
    void SetUp() override
    {
        BoardsOnLineTest::SetUp();
        main.ids = {0, 1};
    }
    void Fill(int n)
    {
        FillRows(form, n);
        boards->ClearFrames();
    }

    BoardMain main;
    TMotionForm form{nullptr, main, QString(), MotionFormPlacement{}};
};

TEST_F(TransferOnBoards, WriteOf101RowsAsksAndWritesTheFirst100WithLength100)
{
    Fill(101);
    form.MOTION_NUM->setCurrentIndex(3);
    bool enabledWhileSleeping = true;
    main.onEnsureSleep = [&] { enabledWhileSleeping = form.isEnabled(); };
    form.MOT_WRITE_BTN->click();

    const auto &boxes = main.ownPrompt.boxes;
    ASSERT_EQ(boxes.size(), 4u);
    ExpectBox(boxes[0], PromptIcon::Question, Confirm,
              "M3に一覧表のモーションデータを書き込みますが\r\nよろしいですか？", PromptButtons::OkCancel);
    ExpectBox(boxes[1], PromptIcon::Question, Confirm,
              "モーションデータは100個までしか書き込めませんが\r\n書込を続行しますか？", PromptButtons::YesNo);
    EXPECT_EQ(boxes[2].text, QString::fromUtf8(BoardMain::kServoStop));
    ExpectBox(boxes[3], PromptIcon::Question, Confirm, "書込が完了いたしました\r\nＯＫを押すとスリープを解除します",
              PromptButtons::OkCancel);

    std::vector<Bytes> expected{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})};
    for (int r = 0; r < 100; ++r)
        for (int g = 0; g < 2; ++g)
            expected.push_back(RowFrame(g, 3, r, r % 8, Values(r, g)));
    for (int id : {0, 1})
        expected.push_back(Frame({0xF7, id, 3, 100}));
    for (int id : {0, 1})
        expected.push_back(Frame({0xF1, id, 0}));
    EXPECT_EQ(boards->Frames(), expected);

    const BoardMemory second = boards->Board(1);
    EXPECT_EQ(second.motionLengths[3], 100);
    EXPECT_EQ(second.motions[3][99].speed, 99 % 8);
    EXPECT_EQ(second.motions[3][99].values, Values(99, 1));
    EXPECT_EQ(second.mode, 0);
    EXPECT_FALSE(enabledWhileSleeping);
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.COMM_GAUGE->value(), 0);
}

TEST_F(TransferOnBoards, WriteFailingAtARowStopsThereWritesNoLengthAndSaysSo)
{
    Fill(5);
    // Row 2 on the first board goes unanswered for all ten tries; the second board still takes it.
    boards->AddFault(Fault{FaultKind::NoReply, 0xF9, 5, 14});
    form.MOT_WRITE_BTN->click();

    int rowFrames = 0;
    for (const Bytes &f : boards->Frames()) {
        EXPECT_NE(f[0], 0xF7);
        if (f[0] == 0xF9) {
            ++rowFrames;
            EXPECT_LE(f[3], 2);
        }
        EXPECT_FALSE(f[0] == 0xF1 && f[2] == 0) << "sleep was released";
    }
    EXPECT_EQ(rowFrames, 4 + 10 + 1);
    EXPECT_EQ(boards->Board(0).motionLengths[0], 0);
    const auto &boxes = main.ownPrompt.boxes;
    ASSERT_EQ(boxes.size(), 3u);  // question, sleep warning, failure: no completion question
    ExpectBox(boxes[2], PromptIcon::Error, Warning, Failed, PromptButtons::Ok);
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(TransferOnBoards, ReadOfAnEmptySlotWarnsWithoutPuttingTheBoardsToSleep)
{
    Fill(1);
    form.MOTION_NUM->setCurrentIndex(7);
    form.MOT_READ_BTN->click();

    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{Frame({0xF6, 0, 7}), Frame({0xF6, 1, 7})}));
    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    ExpectBox(main.ownPrompt.boxes[0], PromptIcon::Warning, Warning, "読込むモーションデータがありません",
              PromptButtons::Ok);
    EXPECT_EQ(form.model()->Field(0, 1), QStringLiteral("P0"));
}

// What a read replaced comes back with undo, and the read rows with redo.
TEST_F(TransferOnBoards, UndoOfAReadGivesBackTheListItReplaced)
{
    Fill(3);
    const QList<QStringList> before{form.model()->Fields(0), form.model()->Fields(1), form.model()->Fields(2)};
    boards->EditBoard(0, [](BoardMemory &m) {
        m.motionLengths[2] = 1;
        m.motions[2][0] = {4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}};
    });
    boards->EditBoard(1, [](BoardMemory &m) { m.motionLengths[2] = 1; });
    main.ownPrompt.answers = {PromptAnswer::Ok, PromptAnswer::Ok};
    form.MOTION_NUM->setCurrentIndex(2);
    form.MOT_READ_BTN->click();
    ASSERT_EQ(form.RowCount(), 1);
    const QStringList read = form.model()->Fields(0);
    EXPECT_EQ(read.mid(0, 5), (QStringList{"1", "DATA", "4", "1", "2"}));

    form.UNDO_MENU->trigger();
    ASSERT_EQ(form.RowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(form.model()->Fields(r), before[r]);
    form.REDO_MENU->trigger();
    ASSERT_EQ(form.RowCount(), 1);
    EXPECT_EQ(form.model()->Fields(0), read);
}

// Whichever board is absent, its twelve channels read as 225; the present board gives count and speeds.
TEST_F(TransferOnBoards, ReadWithOneBoardAbsentFillsItsChannelsWith225)
{
    for (int absent : {1, 0}) {
        SCOPED_TRACE(absent);
        const int present = 1 - absent;
        boards->EditBoard(uint8_t(present), [](BoardMemory &m) {
            m.motionLengths[5] = 2;
            for (int r = 0; r < 2; ++r)
                m.motions[5][r] = {uint8_t(6 - r), {uint8_t(10 + r), 20, 30, 40, 50, 60, 70, 80, 90, 100, 221, 227}};
        });
        boards->ClearFrames();
        main.ids[absent] = 255;
        main.ownPrompt = ScriptedPrompt{};
        main.ownPrompt.answers = {PromptAnswer::Ok, PromptAnswer::Cancel};  // sleep warning; stay asleep
        Fill(1);
        form.MOTION_NUM->setCurrentIndex(5);
        form.MOT_READ_BTN->click();

        ASSERT_EQ(form.RowCount(), 2);
        for (int r = 0; r < 2; ++r) {
            QStringList board{
                QString::number(10 + r), "20", "30", "40", "50", "60", "70", "80", "90", "100", "221", "227"};
            QStringList filler(12, QStringLiteral("225"));
            QStringList expected{QString::number(r + 1), "DATA", QString::number(6 - r)};
            expected += absent == 1 ? board + filler : filler + board;
            EXPECT_EQ(form.model()->Fields(r), expected);
        }
        for (const Bytes &f : boards->Frames())
            EXPECT_EQ(f[1], present);
        EXPECT_EQ(boards->Board(uint8_t(present)).mode, 1);
        EXPECT_EQ(main.ownPrompt.boxes.back().text,
                  QStringLiteral("読込が完了いたしました\r\nＯＫを押すとスリープを解除します"));
        main.ids = {0, 1};
        form.model()->ClearRows();
    }
}

TEST_F(TransferOnBoards, FailedClearKeepsTheListAndSaysSo)
{
    main.ids = {0, 255};
    Fill(2);
    const QStringList before = form.model()->Fields(1);
    boards->AddFault(Fault{FaultKind::NoReply, 0xF9, 3, 0});
    form.MOT_FORMAT_BTN->click();

    const auto &boxes = main.ownPrompt.boxes;
    ASSERT_EQ(boxes.size(), 3u);
    ExpectBox(boxes[0], PromptIcon::Question, Confirm, "指定のモーションデータを消去しますか？", PromptButtons::YesNo);
    ExpectBox(boxes[2], PromptIcon::Error, Warning, Failed, PromptButtons::Ok);
    EXPECT_EQ(form.RowCount(), 2);
    EXPECT_EQ(form.model()->Fields(1), before);
    const auto frames = boards->Frames();
    EXPECT_EQ(frames[2], RowFrame(0, 0, 0, 7,
                                  std::array<uint8_t, 12>{225, 225, 225, 225, 225, 225, 225, 225, 225, 225, 225, 225}));
    EXPECT_EQ(frames.size(), 2u + 2u + 20u);  // GetMode, SetMode, rows 0 and 1, twenty tries of row 2
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(TransferOnBoards, PlayFromSleepWarnsReleasesSleepAndPlaysOnBothBoards)
{
    for (uint8_t id : {0, 1})
        boards->EditBoard(id, [](BoardMemory &m) { m.mode = 1; });
    form.MOTION_NUM->setCurrentIndex(2);
    form.RUN_BTN->click();

    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    ExpectBox(main.ownPrompt.boxes[0], PromptIcon::Warning, Warning,
              "ＯＫをクリックするとサーボが動き出すので注意してください！", PromptButtons::Ok);
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{Frame({0xF0, 0}), Frame({0xF1, 0, 0}), Frame({0xF1, 1, 0}),
                                                    Frame({0xEF, 0, 2}), Frame({0xEF, 1, 2})}));
    EXPECT_EQ(boards->Board(1).playedMotions, std::vector<uint8_t>{2});
}

// Faults on the line, end to end through the editor: each transfer says so at most once, ends, keeps the
// editor's rows, and leaves a port that opens again.
class LineFaults : public ::testing::Test {
protected:
    static constexpr int kFaultPort = 921;
    void SetUp() override
    {
        ReleasePort();
        boards = OpenBoardsOnLine(kFaultPort);
        main.ids = {0, 1};
    }
    void TearDown() override { CloseBoardsOnLine(boards); }
    void Fill(int n)
    {
        FillRows(form, n);
        boards->ClearFrames();
    }
    int FailureBoxes() const
    {
        int n = 0;
        for (const ShownBox &box : main.ownPrompt.boxes)
            n += box.text == QString::fromUtf8(Failed);
        return n;
    }

    VirtualBoards *boards = nullptr;
    BoardMain main;
    TMotionForm form{nullptr, main, QString(), MotionFormPlacement{}};
};

TEST_F(LineFaults, SplitRepliesAndGarbageBetweenFramesAreRiddenOut)
{
    Fill(10);
    boards->AddFault(Fault{FaultKind::Split, 0xF9, 1, 6, 8, 1});
    boards->AddFault(Fault{FaultKind::Extra, 0xF9, 7, 12, 0, 0, 5});
    form.MOT_WRITE_BTN->click();

    EXPECT_EQ(FailureBoxes(), 0);
    for (int id : {0, 1}) {
        EXPECT_EQ(boards->Board(id).motionLengths[0], 10) << id;
        EXPECT_EQ(boards->Board(id).motions[0][9].values, Values(9, id)) << id;
    }
    EXPECT_EQ(form.RowCount(), 10);
}

TEST_F(LineFaults, AReplyThatKeepsFailingItsChecksumEndsTheWriteOnceAndKeepsTheRows)
{
    Fill(10);
    boards->AddFault(Fault{FaultKind::BadChecksum, 0xF9, 7});
    form.MOT_WRITE_BTN->click();
    EXPECT_EQ(FailureBoxes(), 1);
    EXPECT_EQ(boards->Board(0).motionLengths[0], 0) << "no length after a failed row";
    EXPECT_EQ(form.RowCount(), 10);
    EXPECT_TRUE(form.isEnabled());
    int retry = 1;
    uint8_t mode = 0;
    EXPECT_TRUE(GetMode(retry, 0, mode)) << "the line still works";
}

TEST_F(LineFaults, ADeviceVanishingDuringAWriteIsToldOnceAndThePortOpensAgain)
{
    Fill(100);
    std::atomic<bool> done{false};
    std::thread unplug([&] {
        // Pull the cable a third of the way through the rows.
        while (!done && boards->Frames().size() < 3 + 2 * 33)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        boards->Vanish();
    });
    form.MOT_WRITE_BTN->click();
    done = true;
    unplug.join();

    EXPECT_EQ(FailureBoxes(), 1);
    EXPECT_EQ(main.ownPrompt.boxes.back().text, QString::fromUtf8(Failed));
    EXPECT_EQ(form.RowCount(), 100);
    EXPECT_TRUE(form.isEnabled());

    // The same port number, plugged in again (a new device behind it), opens.
    auto *again = new VirtualBoards(orvane::sim::Options{});
    SetDevicePath(kFaultPort, QString::fromStdString(again->SlavePath()));
    SerialPort->Close();
    EXPECT_NO_THROW(SerialPort->Open());
    int retry = 1;
    uint8_t mode = 9;
    EXPECT_TRUE(GetMode(retry, 0, mode));
    ReleasePort();
    delete again;
}

}  // namespace
