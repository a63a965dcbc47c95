// Write, read and clear of the control assignment through the window's buttons, on two virtual boards.

#include "fake_main.h"

#include "boards_on_line.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "transmitter/button_dialog.h"
#include "transmitter/propo_dialog.h"

#include <QProgressBar>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <functional>

using namespace orvane;
using orvane::sim::AssignInit;
using orvane::sim::BoardMemory;
using orvane::sim::Bytes;
using orvane::sim::Fault;
using orvane::sim::FaultKind;

namespace {

const QString Confirm = QStringLiteral("確認");
const QString Warning = QStringLiteral("警告");
const char *const Failed = "通信が中断されました";

// Sleep operations that really talk to the boards, without the main window's warning.
class BoardMain : public FakeMain {
public:
    bool EnsureSleep() override
    {
        calls << QStringLiteral("EnsureSleep");
        if (failSleep)
            return false;
        return SetModeAll(1);
    }
    bool ReleaseSleep() override
    {
        calls << QStringLiteral("ReleaseSleep");
        return SetModeAll(0);
    }
    bool failSleep = false;

private:
    bool SetModeAll(uint8_t mode)
    {
        bool ok = true;
        for (int g = 0; g < 2; ++g) {
            int retry = MainRetryCount;
            if (ids[g] != 255 && !SetMode(retry, uint8_t(ids[g]), mode))
                ok = false;
        }
        return ok;
    }
};

class AssignmentOnBoards : public BoardsOnLineTest<909> {
protected:
    void SetUp() override
    {
        BoardsOnLineTest::SetUp();
        main.ids = {0, 1};
        form.SetButtonDialog(&keys);
        QObject::connect(form.COMM_GAUGE, &QProgressBar::valueChanged, [this](int v) {
            if (v > 0)
                enabledDuringTransfer = enabledDuringTransfer || form.isEnabled();
        });
    }
    // Both boards hold the same table and slot lengths.
    void FillBoards(const std::function<void(BoardMemory &)> &edit)
    {
        boards->EditBoard(0, edit);
        boards->EditBoard(1, edit);
        boards->ClearFrames();
    }
    const std::vector<ShownBox> &Boxes() const { return main.ownPrompt.boxes; }

    BoardMain main;
    TButtonDialog keys;
    TPropoDialog form{nullptr, main};
    bool enabledDuringTransfer = false;
};

}  // namespace

TEST_F(AssignmentOnBoards, WriteSendsEveryEntryToEachBoardInOrderPatternAsTwoNibbles)
{
    form.Document().SetEntry(0, {0x3C, 100});
    form.Document().SetEntry(37, {0xFF, 39});
    form.Document().SetEntry(159, {1, 200});
    form.PCM_WRITE_BTN->click();

    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[0], PromptIcon::Question, Warning, "現在のコントロール割付を書込みますか？",
              PromptButtons::YesNo);
    ExpectBox(Boxes()[1], PromptIcon::Question, Warning,
              "コントロール割付の書込が完了いたしました\r\nＯＫを押すとスリープを解除します", PromptButtons::YesNo);
    std::vector<Bytes> expected{Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})};
    for (int e = 0; e < 160; ++e) {
        const AssignmentEntry entry = form.Assignment().Entry(e);
        for (int id : {0, 1})
            expected.push_back(Frame({0xED, id, e, entry.pattern >> 4, entry.pattern & 15, entry.target}));
    }
    expected.push_back(Frame({0xF1, 0, 0}));
    expected.push_back(Frame({0xF1, 1, 0}));
    EXPECT_EQ(boards->Frames(), expected);
    for (uint8_t id : {0, 1}) {
        const BoardMemory m = boards->Board(id);
        EXPECT_EQ(m.assignments[37], (sim::Assignment{0xFF, 39}));
        EXPECT_EQ(m.assignments[0], (sim::Assignment{0x3C, 100}));
        EXPECT_EQ(m.mode, 0);
    }
    EXPECT_FALSE(enabledDuringTransfer);
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.COMM_GAUGE->value(), 0);
}

TEST_F(AssignmentOnBoards, WriteThatLosesABoardStopsLeavesTheBoardsAsleepAndSaysSo)
{
    // The sixth write (entry 2 on the second board) goes unanswered for all ten tries.
    boards->AddFault(Fault{FaultKind::NoReply, 0xED, 6, 15});
    main.ownPrompt.answers = {PromptAnswer::Yes};
    form.PCM_WRITE_BTN->click();

    const std::vector<Bytes> writes = FramesOf(boards->Frames(), 0xED);
    ASSERT_EQ(writes.size(), 2u * 2 + 1 + 10);
    EXPECT_EQ(writes.back(), Frame({0xED, 1, 2, 0, 0, 200}));
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[1], PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
    EXPECT_TRUE(main.Calls("ReleaseSleep").isEmpty());
    EXPECT_EQ(boards->Board(1).mode, 1);
    EXPECT_TRUE(form.isEnabled());

    // No: nothing goes out.
    boards->ClearFrames();
    main.ownPrompt.answers = {PromptAnswer::No};
    form.PCM_WRITE_BTN->click();
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(AssignmentOnBoards, ReadTakesTheTableAndNamesBothListsFromTheBaseNames)
{
    FillBoards([](BoardMemory &m) {
        m.assignments[0] = {3, 100};
        m.assignments[1] = {16, 0};
        m.assignments[32] = {128, 2};
        m.scenarioLengths[0] = 12;
        m.motionLengths[0] = 8;
        m.motionLengths[2] = 50;
    });
    boards->EditBoard(1, [](BoardMemory &m) { m.motionLengths[2] = 60; });  // the greater count wins
    boards->ClearFrames();
    main.ownPrompt.inputs = {QStringLiteral("dance"), QStringLiteral("walk")};
    form.PCM_READ_BTN->click();

    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[0], PromptIcon::Question, Warning, "読込を行いますか？", PromptButtons::YesNo);
    ExpectBox(Boxes()[1], PromptIcon::Question, Warning, "読込が完了しました\r\nＯＫを押すとスリープを解除します",
              PromptButtons::YesNo);
    EXPECT_EQ(main.ownPrompt.dialogs,
              (QStringList{QStringLiteral("SCENARIO DATA NAMEの入力"), QStringLiteral("MOTION DATA NAMEの入力")}));

    std::vector<Bytes> expected{Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})};
    for (int e = 0; e < 160; ++e)
        for (int id : {0, 1})
            expected.push_back(Frame({0xEC, id, e}));
    for (int k = 0; k < 4; ++k)
        for (int id : {0, 1})
            expected.push_back(Frame({0xF2, id, k}));
    for (int m = 0; m < 40; ++m)
        for (int id : {0, 1})
            expected.push_back(Frame({0xF6, id, m}));
    expected.push_back(Frame({0xF1, 0, 0}));
    expected.push_back(Frame({0xF1, 1, 0}));
    EXPECT_EQ(boards->Frames(), expected);

    EXPECT_EQ(form.Assignment().Entry(32), (AssignmentEntry{128, 2}));
    EXPECT_EQ(form.KeyList->item(1, 1)->text(), QStringLiteral("[↑↓:S0:dance0]"));
    EXPECT_EQ(form.KeyList->item(2, 1)->text(), QStringLiteral("[△:M0:walk0]"));
    EXPECT_EQ(form.KeyList->item(1, 2)->text(), QStringLiteral("[□:M2:walk2]"));
    EXPECT_EQ(form.Assignment().Scenarios().Row(1), (SlotRow{"S1", "None", "0"}));
    EXPECT_EQ(form.Assignment().Motions().Row(2), (SlotRow{"M2", "walk2", "60"}));
    EXPECT_EQ(form.MotList->topLevelItemCount(), 40);
    EXPECT_EQ(form.SceList->topLevelItem(0)->text(1), QStringLiteral("dance0"));
    EXPECT_FALSE(enabledDuringTransfer);
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(AssignmentOnBoards, ReadFailsWhenTheBoardsDifferInOneEntryKeepingTableAndLists)
{
    form.Document().SetEntry(3, {7, 7});
    boards->EditBoard(1, [](BoardMemory &m) { m.assignments[90] = {0, 1}; });
    boards->ClearFrames();
    form.PCM_READ_BTN->click();

    EXPECT_EQ(FramesOf(boards->Frames(), 0xEC).size(), 91u * 2);
    EXPECT_TRUE(FramesOf(boards->Frames(), 0xF2).empty());
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[1], PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
    EXPECT_EQ(form.Assignment().Entry(3), (AssignmentEntry{7, 7}));
    EXPECT_TRUE(main.ownPrompt.dialogs.isEmpty());
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(AssignmentOnBoards, InvalidTargetOnTheBoardsAsksForInitialisingAndStillReadsTheNames)
{
    boards->SetBoard(0, BoardMemory(0, AssignInit::Garbage));
    boards->SetBoard(1, BoardMemory(1, AssignInit::Garbage));
    FillBoards([](BoardMemory &m) { m.motionLengths[4] = 3; });
    form.Document().SetEntry(0, {1, 4});
    main.ownPrompt.inputs = {QString(), QStringLiteral("hop")};
    form.PCM_READ_BTN->click();

    ASSERT_EQ(Boxes().size(), 3u);
    ExpectBox(Boxes()[1], PromptIcon::Warning, Warning, "初期化を行ってください", PromptButtons::Ok);
    EXPECT_EQ(FramesOf(boards->Frames(), 0xEC).size(), 2u);
    EXPECT_EQ(form.Assignment().Entry(0), (AssignmentEntry{1, 4}));
    EXPECT_EQ(form.KeyList->item(1, 1)->text(), QStringLiteral("[↑:M4:hop4]"));
    EXPECT_EQ(form.Assignment().Scenarios().Size(), 4);
    EXPECT_EQ(form.Assignment().Scenarios().Row(0).name, QStringLiteral("None"));
}

TEST_F(AssignmentOnBoards, FailedListReadKeepsTheNamesTheUserTyped)
{
    FillBoards([](BoardMemory &m) {
        m.scenarioLengths[1] = 4;
        m.motionLengths[1] = 4;
    });
    main.ownPrompt.inputs = {QStringLiteral("first"), QStringLiteral("first")};
    form.PCM_READ_BTN->click();
    ASSERT_EQ(form.Assignment().Motions().Row(1).name, QStringLiteral("first1"));
    form.MotList->setCurrentItem(form.MotList->topLevelItem(1));
    main.ownPrompt.inputs = {QStringLiteral("my own")};
    form.MotListDblClick();
    const QList<SlotRow> scenes = form.Assignment().Scenarios().Rows();

    // The motion counts stop answering on the first board at slot 20.
    boards->AddFault(Fault{FaultKind::NoReply, 0xF6, 21, 0});
    main.ownPrompt = ScriptedPrompt{};
    main.ownPrompt.inputs = {QStringLiteral("second"), QStringLiteral("second")};
    form.PCM_READ_BTN->click();

    ExpectBox(Boxes().back(), PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
    EXPECT_EQ(form.Assignment().Motions().Size(), 40);
    EXPECT_EQ(form.Assignment().Motions().Row(1).name, QStringLiteral("my own"));
    EXPECT_EQ(form.MotList->topLevelItem(1)->text(1), QStringLiteral("my own"));
    // The scenario list's read went through before.
    EXPECT_EQ(form.Assignment().Scenarios().Row(1).name, QStringLiteral("second1"));
    EXPECT_NE(form.Assignment().Scenarios().Rows(), scenes);
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(AssignmentOnBoards, ClearEmptiesBoardsAndTableButKeepsTheLists)
{
    FillBoards([](BoardMemory &m) { m.assignments[9] = {5, 5}; });
    main.ownPrompt.inputs = {QStringLiteral("a"), QStringLiteral("b")};
    form.PCM_READ_BTN->click();
    const QList<SlotRow> motions = form.Assignment().Motions().Rows();
    main.ownPrompt = ScriptedPrompt{};
    form.Document().SetEntry(150, {2, 2});
    boards->ClearFrames();
    form.PCM_FORMAT_BTN->click();

    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[0], PromptIcon::Warning, Warning, "コントロール割付を消去しますか？", PromptButtons::YesNo);
    ExpectBox(Boxes()[1], PromptIcon::Question, Warning, "消去が完了いたしました\r\nＯＫを押すとスリープを解除します",
              PromptButtons::YesNo);
    const std::vector<Bytes> writes = FramesOf(boards->Frames(), 0xED);
    ASSERT_EQ(writes.size(), 320u);
    EXPECT_EQ(writes[19], Frame({0xED, 1, 9, 0, 0, 200}));
    EXPECT_EQ(boards->Board(0).assignments[9], sim::Assignment{});
    for (int e = 0; e < kAssignmentEntryCount; ++e)
        ASSERT_TRUE(form.Assignment().Entry(e).IsEmpty());
    EXPECT_TRUE(form.KeyList->item(7, 5)->text().isEmpty());
    EXPECT_EQ(form.Assignment().Motions().Rows(), motions);
}

TEST_F(AssignmentOnBoards, FailedSleepStopsBeforeAnyFrameWithTheWindowEnabled)
{
    main.failSleep = true;
    for (QToolButton *button : {form.PCM_WRITE_BTN, form.PCM_READ_BTN, form.PCM_FORMAT_BTN}) {
        main.ownPrompt = ScriptedPrompt{};
        button->click();
        ASSERT_EQ(Boxes().size(), 2u);
        ExpectBox(Boxes()[1], PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
    }
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(AssignmentOnBoards, EntryAFirstBoardDidNotTakeStillGoesToTheSecondThenTheWriteStops)
{
    // Entry 2 on the first board (the fifth write) goes unanswered for all ten tries.
    boards->AddFault(Fault{FaultKind::NoReply, 0xED, 5, 14});
    form.PCM_WRITE_BTN->click();

    const std::vector<Bytes> writes = FramesOf(boards->Frames(), 0xED);
    ASSERT_EQ(writes.size(), 2u * 2 + 10 + 1);
    EXPECT_EQ(writes[13], Frame({0xED, 0, 2, 0, 0, 200}));
    EXPECT_EQ(writes.back(), Frame({0xED, 1, 2, 0, 0, 200}));
    EXPECT_EQ(boards->Frames().back(), writes.back());  // no release of sleep after it
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[1], PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
    EXPECT_EQ(form.COMM_GAUGE->value(), 0);

    // The clear goes the same way.
    boards->ClearFrames();
    boards->AddFault(Fault{FaultKind::NoReply, 0xED, 3, 12});  // entry 1 on the first board
    main.ownPrompt = ScriptedPrompt{};
    form.PCM_FORMAT_BTN->click();
    const std::vector<Bytes> clears = FramesOf(boards->Frames(), 0xED);
    ASSERT_EQ(clears.size(), 2u + 10 + 1);
    EXPECT_EQ(clears.back(), Frame({0xED, 1, 1, 0, 0, 200}));
    ExpectBox(Boxes().back(), PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
}

TEST_F(AssignmentOnBoards, ReadAsksTheSecondBoardForAnEntryOrSlotTheFirstDidNotAnswer)
{
    // Entry 3 on the first board (the seventh read) goes unanswered.
    boards->AddFault(Fault{FaultKind::NoReply, 0xEC, 7, 16});
    form.PCM_READ_BTN->click();
    std::vector<Bytes> reads = FramesOf(boards->Frames(), 0xEC);
    ASSERT_EQ(reads.size(), 3u * 2 + 10 + 1);
    EXPECT_EQ(reads.back(), Frame({0xEC, 1, 3}));
    EXPECT_EQ(boards->Frames().back(), reads.back());
    ExpectBox(Boxes().back(), PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);

    // Motion slot 5 on the first board goes unanswered: the second is asked for it, and no later slot.
    boards->ClearFrames();
    boards->AddFault(Fault{FaultKind::NoReply, 0xF6, 11, 20});
    main.ownPrompt = ScriptedPrompt{};
    main.ownPrompt.inputs = {QStringLiteral("s"), QStringLiteral("m")};
    form.PCM_READ_BTN->click();
    const std::vector<Bytes> counts = FramesOf(boards->Frames(), 0xF6);
    ASSERT_EQ(counts.size(), 5u * 2 + 10 + 1);
    EXPECT_EQ(counts.back(), Frame({0xF6, 1, 5}));
    EXPECT_EQ(boards->Frames().back(), counts.back());
    ExpectBox(Boxes().back(), PromptIcon::Error, Confirm, Failed, PromptButtons::Ok);
    EXPECT_TRUE(form.isEnabled());
}

namespace {

// Runs `during` whenever a box is shown, before it is answered.
struct HookedPrompt : ScriptedPrompt {
    std::function<void()> during;
    PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) override
    {
        if (during)
            during();
        return ScriptedPrompt::Message(icon, title, text, buttons);
    }
};

}  // namespace

TEST_F(AssignmentOnBoards, UndoDoesNothingDuringATransferAndThenUndoesOnlyTheListChange)
{
    HookedPrompt prompt;
    main.prompt = &prompt;
    form.Document().SetEntry(150, {2, 2});
    form.Document().SetEntry(3, {1, 200});
    const AssignmentTable before = form.Assignment().Table();

    // The table is emptied before the closing question; undo and redo asked then change nothing.
    int tries = 0;
    prompt.during = [&] {
        form.UNDO_MENU->trigger();
        form.REDO_MENU->trigger();
        ++tries;
    };
    form.PCM_FORMAT_BTN->click();
    prompt.during = nullptr;
    ASSERT_EQ(tries, 2);
    for (int e = 0; e < kAssignmentEntryCount; ++e)
        ASSERT_TRUE(form.Assignment().Entry(e).IsEmpty());

    // Afterwards undo gives the table back and sends nothing.
    boards->ClearFrames();
    form.UNDO_MENU->trigger();
    EXPECT_EQ(form.Assignment().Table(), before);
    EXPECT_EQ(form.KeyList->item(4, 1)->text(), QStringLiteral("[↑:none:]"));
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(boards->Board(0).assignments[150], sim::Assignment{});
    form.REDO_MENU->trigger();
    EXPECT_TRUE(form.Assignment().Entry(150).IsEmpty());
}

TEST_F(AssignmentOnBoards, ReadOfTableAndBothListsIsUndoneAsOneStep)
{
    FillBoards([](BoardMemory &m) {
        m.assignments[0] = {3, 100};
        m.scenarioLengths[0] = 12;
        m.motionLengths[0] = 8;
    });
    form.Document().SetEntry(5, {1, 1});
    const ControlAssignment before = form.Assignment();
    const int steps = form.Document().UndoStack().count();
    main.ownPrompt.inputs = {QStringLiteral("dance"), QStringLiteral("walk")};
    form.PCM_READ_BTN->click();
    ASSERT_EQ(form.Assignment().Entry(0), (AssignmentEntry{3, 100}));
    ASSERT_EQ(form.Assignment().Motions().Size(), 40);
    EXPECT_EQ(form.Document().UndoStack().count(), steps + 1);
    const ControlAssignment read = form.Assignment();

    boards->ClearFrames();
    form.UNDO_MENU->trigger();
    EXPECT_EQ(form.Assignment().Table(), before.Table());
    EXPECT_TRUE(form.Assignment().Scenarios().IsEmpty());
    EXPECT_EQ(form.MotList->topLevelItemCount(), 0);
    EXPECT_EQ(form.KeyList->item(6, 1)->text(), QStringLiteral("[↑::]"));
    form.REDO_MENU->trigger();
    EXPECT_EQ(form.Assignment().Table(), read.Table());
    EXPECT_EQ(form.Assignment().Motions().Rows(), read.Motions().Rows());
    EXPECT_EQ(form.KeyList->item(1, 1)->text(), QStringLiteral("[↑↓:S0:dance0]"));
    EXPECT_TRUE(boards->Frames().empty());
}
