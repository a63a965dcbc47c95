// Scenario transfers driven through the editor's buttons against two virtual boards on a pty.

#include "fake_main.h"

#include "boards_on_line.h"
#include "scenario/scenario_data.h"
#include "scenario/scenario_form.h"
#include "sim/virtual_boards.h"
#include "sleep_on_boards.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace orvane;
using orvane::sim::BoardMemory;
using orvane::sim::Bytes;
using orvane::sim::Fault;
using orvane::sim::FaultKind;

const QString Confirm = QStringLiteral("確認");
const QString Warning = QStringLiteral("警告");
const char *const Failed = "通信が中断されました";

// Tells the test about every box before the scripted prompt answers it.
class HookedPrompt : public ScriptedPrompt {
public:
    PromptAnswer Message(PromptIcon icon, const QString &title, const QString &text, PromptButtons buttons) override
    {
        if (onMessage)
            onMessage(text);
        return ScriptedPrompt::Message(icon, title, text, buttons);
    }
    std::function<void(const QString &)> onMessage;
};

using BoardMain = SleepOnBoards<FakeMain>;
const QString ServoStop = QString::fromUtf8(BoardMain::kServoStop);

class ScenarioOnBoards : public BoardsOnLineTest<908> {
protected:
    void SetUp() override
    {
        BoardsOnLineTest::SetUp();
        main.ids = {0, 1};
    }
    void FillMotions()
    {
        QList<SlotRow> rows;
        for (int k = 0; k < 40; ++k)
            rows.append({QStringLiteral("M%1").arg(k), QStringLiteral("m%1").arg(k), "1"});
        form.Motions()->Replace(rows);
    }
    // Row i names motion i % 40.
    void FillScenario(int n)
    {
        QList<ScenarioRow> rows;
        for (int i = 0; i < n; ++i)
            rows.append({QStringLiteral("M%1").arg(i % 40), QStringLiteral("r%1").arg(i)});
        form.Scenario()->Replace(rows);
    }
    // Both boards hold scenario slot `slot` with these motions.
    void Store(int slot, const std::vector<int> &motions, int differentAt = -1)
    {
        for (uint8_t id : {0, 1})
            boards->EditBoard(id, [&](BoardMemory &m) {
                m.scenarioLengths[slot] = uint8_t(motions.size());
                for (size_t i = 0; i < motions.size(); ++i)
                    m.scenarios[slot][i] = uint8_t(motions[i] + (id == 1 && int(i) == differentAt ? 1 : 0));
            });
        boards->ClearFrames();
    }
    const std::vector<ShownBox> &Boxes() const { return main.ownPrompt.boxes; }

    BoardMain main;
    TFileDialog form{nullptr, main, QString(), QDate(2024, 5, 17)};
};

TEST_F(ScenarioOnBoards, WriteOf201RowsAsksInOrderAndWritesTheFirst200ThenTheLength)
{
    FillScenario(201);
    form.FILE_NUM->setCurrentIndex(2);
    HookedPrompt prompt;
    main.prompt = &prompt;
    bool enabledAtEnsureSleep = false;
    main.onEnsureSleep = [&] { enabledAtEnsureSleep = form.isEnabled(); };
    QList<bool> enabled;
    prompt.onMessage = [&](const QString &) { enabled << form.isEnabled(); };
    form.FILE_WRITE_BTN->click();
    main.ownPrompt = prompt;

    ASSERT_EQ(Boxes().size(), 4u);
    ExpectBox(Boxes()[0], PromptIcon::Question, Warning,
              "S2に編集中のシナリオデータを書き込みますが\r\nよろしいですか？", PromptButtons::OkCancel);
    EXPECT_EQ(Boxes()[1].text, ServoStop);
    ExpectBox(Boxes()[2], PromptIcon::Question, Confirm,
              "シナリオデータは200個までしか書き込めませんが\r\n書込を続行しますか？", PromptButtons::YesNo);
    ExpectBox(Boxes()[3], PromptIcon::Question, Confirm,
              "シナリオデータの書込が完了いたしました\r\nＯＫを押すとスリープを解除します", PromptButtons::OkCancel);

    std::vector<Bytes> expected{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})};
    for (int i = 0; i < 200; ++i)
        for (int id : {0, 1})
            expected.push_back(Frame({0xF5, id, 2, i, i % 40}));
    for (int id : {0, 1})
        expected.push_back(Frame({0xF3, id, 2, 200}));
    for (int id : {0, 1})
        expected.push_back(Frame({0xF1, id, 0}));
    EXPECT_EQ(boards->Frames(), expected);

    const BoardMemory second = boards->Board(1);
    EXPECT_EQ(second.scenarioLengths[2], 200);
    EXPECT_EQ(second.scenarios[2][199], 199 % 40);
    EXPECT_EQ(second.mode, 0);
    // Disabled from just after ensure sleep to the end.
    EXPECT_TRUE(enabledAtEnsureSleep);
    EXPECT_EQ(enabled, (QList<bool>{true, true, false, false}));
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.COMM_GAUGE->value(), 0);
    EXPECT_EQ(form.Scenario()->Count(), 201);
}

TEST_F(ScenarioOnBoards, WriteWithTheSecondBoardOffGoesToTheFirstOnly)
{
    main.ids = {0, 255};
    FillScenario(3);
    main.ownPrompt.answers = {PromptAnswer::Ok, PromptAnswer::Ok, PromptAnswer::Cancel};
    form.FILE_WRITE_BTN->click();
    for (const Bytes &f : boards->Frames())
        EXPECT_EQ(f[1], 0);
    EXPECT_EQ(FramesOf(boards->Frames(), 0xF5).size(), 3u);
    EXPECT_EQ(boards->Board(0).scenarioLengths[0], 3);
    EXPECT_EQ(boards->Board(0).mode, 1);  // Cancel: left asleep
}

TEST_F(ScenarioOnBoards, FailedWriteKeepsTheOldLengthAndNeverClaimsCompletion)
{
    Store(1, {4, 4, 4, 4});
    form.FILE_NUM->setCurrentIndex(1);
    FillScenario(5);
    // Row 3 goes unanswered by the second board.
    boards->AddFault(Fault{FaultKind::NoReply, 0xF5, 4, 0});
    form.FILE_WRITE_BTN->click();
    EXPECT_EQ(boards->Board(0).scenarioLengths[1], 4);
    EXPECT_EQ(boards->Board(1).scenarioLengths[1], 4);
    EXPECT_TRUE(FramesOf(boards->Frames(), 0xF3).empty());
    ASSERT_EQ(Boxes().size(), 3u);
    ExpectBox(Boxes()[2], PromptIcon::Error, Warning, Failed, PromptButtons::Ok);
    EXPECT_EQ(boards->Board(0).mode, 1);
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.COMM_GAUGE->value(), 0);

    // The length itself unanswered: the failure alone, no completion question, the boards stay asleep.
    boards->ClearFaults();
    boards->AddFault(Fault{FaultKind::NoReply, 0xF3, 1, 0});
    main.ownPrompt = ScriptedPrompt{};
    form.FILE_WRITE_BTN->click();
    ASSERT_EQ(Boxes().size(), 2u);
    ExpectBox(Boxes()[1], PromptIcon::Error, Warning, Failed, PromptButtons::Ok);
    EXPECT_EQ(boards->Board(0).mode, 1);
}

TEST_F(ScenarioOnBoards, ReadFillsTheScenarioFromBothBoardsWithTheMotionNames)
{
    FillMotions();
    Store(3, {5, 0, 39, 45});
    form.FILE_NUM->setCurrentIndex(3);
    main.ownPrompt.answers = {PromptAnswer::Ok, PromptAnswer::Cancel};
    form.FILE_READ_BTN->click();

    ASSERT_EQ(form.Scenario()->Count(), 4);
    EXPECT_EQ(form.Scenario()->Rows(), (QList<ScenarioRow>{{"M5", "m5"}, {"M0", "m0"}, {"M39", "m39"}, {"M45", ""}}));
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 4");
    ExpectBox(Boxes().back(), PromptIcon::Question, Confirm,
              "シナリオデータの読込が完了いたしました\r\nＯＫを押すとスリープを解除します", PromptButtons::OkCancel);
    const std::vector<Bytes> frames = boards->Frames();
    EXPECT_EQ(frames[3], Frame({0xF2, 0, 3}));
    EXPECT_EQ(frames[4], Frame({0xF2, 1, 3}));
    EXPECT_EQ(frames[5], Frame({0xF4, 0, 3, 0}));
    EXPECT_EQ(frames[6], Frame({0xF4, 1, 3, 0}));
    EXPECT_EQ(frames.size(), 3u + 2u + 8u);
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(ScenarioOnBoards, ReadThatFailsOrFindsBoardsDisagreeingKeepsTheList)
{
    FillMotions();
    FillScenario(2);
    const ScenarioRows before = form.Scenario()->Rows();

    Store(0, {1, 2, 3}, 2);  // the boards differ at row 2
    form.FILE_READ_BTN->click();
    EXPECT_EQ(form.Scenario()->Rows(), before);
    ExpectBox(Boxes().back(), PromptIcon::Error, Warning, Failed, PromptButtons::Ok);

    boards->EditBoard(1, [](BoardMemory &m) { m.scenarioLengths[0] = 7; });  // lengths differ
    main.ownPrompt = ScriptedPrompt{};
    form.FILE_READ_BTN->click();
    EXPECT_EQ(form.Scenario()->Rows(), before);
    EXPECT_EQ(main.ownPrompt.Texts(), QStringList{Failed});

    Store(0, {1, 2, 3});
    boards->AddFault(Fault{FaultKind::NoReply, 0xF4, 3, 0});  // stops answering mid-read
    main.ownPrompt = ScriptedPrompt{};
    form.FILE_READ_BTN->click();
    EXPECT_EQ(form.Scenario()->Rows(), before);
    EXPECT_EQ(main.ownPrompt.Texts(), QStringList{Failed});
    EXPECT_EQ(boards->Board(0).mode, 1);
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(form.COMM_GAUGE->value(), 0);
}

TEST_F(ScenarioOnBoards, ReadOfAnEmptyOrOverlongSlot)
{
    FillMotions();
    FillScenario(2);
    Store(0, {});
    form.FILE_READ_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 0);
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 0");
    ExpectBox(Boxes().back(), PromptIcon::Warning, Warning, "読込むシナリオデータがありません", PromptButtons::Ok);

    FillScenario(2);
    for (uint8_t id : {0, 1})
        boards->EditBoard(id, [](BoardMemory &m) { m.scenarioLengths[0] = 201; });
    main.ownPrompt = ScriptedPrompt{};
    form.FILE_READ_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 2);
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectBox(Boxes()[0], PromptIcon::Warning, Warning,
              "このシナリオ番号には有効なシナリオデータがありません\r\n使うには一度消去してください",
              PromptButtons::Ok);
    EXPECT_EQ(boards->Board(0).mode, 1);
}

TEST_F(ScenarioOnBoards, MotionListReadNamesSlotsFromTheBaseNameAndTheGreaterCount)
{
    boards->EditBoard(0, [](BoardMemory &m) {
        m.motionLengths[0] = 3;
        m.motionLengths[7] = 1;
    });
    boards->EditBoard(1, [](BoardMemory &m) {
        m.motionLengths[3] = 9;
        m.motionLengths[7] = 4;
    });
    boards->ClearFrames();
    FillScenario(2);
    main.ownPrompt.inputs = {QStringLiteral("walk")};
    form.MOT_READ_BTN->click();

    ASSERT_EQ(form.Motions()->Count(), 40);
    QStringList names, counts;
    for (int k = 0; k < 9; ++k) {
        names << form.Motions()->Row(k).name;
        counts << form.Motions()->Row(k).count;
    }
    EXPECT_EQ(names, (QStringList{"walk0", "なし", "なし", "walk3", "なし", "なし", "なし", "walk7", "なし"}));
    EXPECT_EQ(counts, (QStringList{"3", "0", "0", "9", "0", "0", "0", "4", "0"}));
    EXPECT_EQ(form.Motions()->Row(39).label, "M39");
    EXPECT_EQ(form.Scenario()->Rows()[0].name, "walk0");  // names refreshed
    EXPECT_EQ(FramesOf(boards->Frames(), 0xF6).size(), 80u);
    EXPECT_EQ(FramesOf(boards->Frames(), 0xF6)[1], Frame({0xF6, 1, 0}));
    ExpectBox(Boxes().back(), PromptIcon::Information, Confirm,
              "モーションデータの読込が完了いたしました\r\nＯＫを押すとスリープを解除します", PromptButtons::OkCancel);
    EXPECT_EQ(main.ownPrompt.dialogs, QStringList{"DATA NAMEの入力"});

    // A second read asks first; one that breaks off keeps the names the user typed.
    form.Motions()->SetName(3, "mine");
    boards->AddFault(Fault{FaultKind::NoReply, 0xF6, 10, 0});
    main.ownPrompt = ScriptedPrompt{};
    main.ownPrompt.inputs = {QStringLiteral("other")};
    form.MOT_READ_BTN->click();
    ExpectBox(Boxes()[0], PromptIcon::Question, Confirm, "モーションデータの状態を読込みますか",
              PromptButtons::OkCancel);
    ExpectBox(Boxes().back(), PromptIcon::Error, Warning, Failed, PromptButtons::Ok);
    EXPECT_EQ(form.Motions()->Row(3).name, "mine");
    EXPECT_EQ(form.Motions()->Row(0).name, "walk0");
    EXPECT_EQ(form.Scenario()->Rows()[0].name, "walk0");
    EXPECT_TRUE(form.isEnabled());
}

TEST_F(ScenarioOnBoards, ReadWithAnEmptyMotionListReadsItFirstEvenWhenTheNameBoxIsCancelled)
{
    boards->EditBoard(0, [](BoardMemory &m) { m.motionLengths[2] = 5; });
    boards->EditBoard(1, [](BoardMemory &m) { m.motionLengths[2] = 5; });
    Store(0, {2, 3});
    form.FILE_READ_BTN->click();  // name box cancelled
    ASSERT_EQ(form.Motions()->Count(), 40);
    EXPECT_EQ(form.Motions()->Row(2).name, "");
    EXPECT_EQ(form.Motions()->Row(3).name, "なし");
    EXPECT_EQ(form.Scenario()->Rows(), (QList<ScenarioRow>{{"M2", ""}, {"M3", "なし"}}));
}

TEST_F(ScenarioOnBoards, ClearWritesMotionZeroThenLengthZeroAndEmptiesTheWindow)
{
    Store(1, {9, 9, 9});
    FillScenario(3);
    form.FILE_NUM->setCurrentIndex(1);
    form.FILE_FORMAT_BTN->click();
    ExpectBox(Boxes()[0], PromptIcon::Question, Confirm, "現在のデータが消えてしまいますが\r\nよろしいですか？",
              PromptButtons::YesNo);
    ExpectBox(Boxes().back(), PromptIcon::Question, Confirm,
              "消去が完了いたしました\r\nＯＫを押すとスリープを解除します", PromptButtons::OkCancel);
    const std::vector<Bytes> items = FramesOf(boards->Frames(), 0xF5);
    ASSERT_EQ(items.size(), 400u);
    EXPECT_EQ(items[399], Frame({0xF5, 1, 1, 199, 0}));
    EXPECT_EQ(FramesOf(boards->Frames(), 0xF3), (std::vector<Bytes>{Frame({0xF3, 0, 1, 0}), Frame({0xF3, 1, 1, 0})}));
    EXPECT_EQ(boards->Board(1).scenarioLengths[1], 0);
    EXPECT_EQ(boards->Board(1).scenarios[1][2], 0);
    EXPECT_EQ(form.Scenario()->Count(), 0);
    EXPECT_EQ(form.FILE_COUNT_LABEL->text(), "DATA > 0");

    // A clear whose length went unanswered keeps the window's rows and says only that it failed.
    FillScenario(2);
    boards->AddFault(Fault{FaultKind::NoReply, 0xF3, 1, 0});
    main.ownPrompt = ScriptedPrompt{};
    form.FILE_FORMAT_BTN->click();
    EXPECT_EQ(form.Scenario()->Count(), 2);
    EXPECT_EQ(main.ownPrompt.Texts(),
              (QStringList{"現在のデータが消えてしまいますが\r\nよろしいですか？", ServoStop, Failed}));
}

TEST_F(ScenarioOnBoards, ClearThatBreaksOffShowsTheBarAtZeroBeforeItsFailureBox)
{
    FillScenario(2);
    HookedPrompt prompt;
    main.prompt = &prompt;
    int barAtFailure = -1;
    prompt.onMessage = [&](const QString &text) {
        if (text == Failed)
            barAtFailure = form.COMM_GAUGE->value();
    };
    boards->AddFault(Fault{FaultKind::NoReply, 0xF5, 7, 0});  // from row 3 on, no row is answered
    form.FILE_FORMAT_BTN->click();
    main.ownPrompt = prompt;
    EXPECT_EQ(main.ownPrompt.Texts().last(), Failed);
    EXPECT_EQ(barAtFailure, 0);
    EXPECT_EQ(form.Scenario()->Count(), 2);
}

TEST_F(ScenarioOnBoards, CloseBoxAndEscapeWaitForAWriteAndTheMainWindowTakesNoClickInTheMiddle)
{
    FillScenario(20);
    // The main window's "send positions", as a top-level window of its own.
    QPushButton mainButton(QStringLiteral("send positions"));
    QObject::connect(&mainButton, &QPushButton::clicked, [&] { main.SendBoardPositions(0, 0); });
    mainButton.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainButton));
    auto clickMain = [&] {
        QTest::mouseClick(mainButton.windowHandle(), Qt::LeftButton, {}, mainButton.rect().center());
    };
    clickMain();
    ASSERT_EQ(FramesOf(boards->Frames(), 0xFD).size(), 1u);  // with no editor open the click goes out
    boards->ClearFrames();

    form.setWindowModality(Qt::ApplicationModal);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    bool tried = false, visibleAfterClose = false, visibleAfterEscape = false;
    // Tried once the first row has gone to both boards, in the middle of the write.
    QObject::connect(form.COMM_GAUGE, &QProgressBar::valueChanged, &form, [&](int value) {
        if (tried || value != 1)
            return;
        tried = true;
        form.close();
        visibleAfterClose = form.isVisible();
        QTest::keyClick(&form, Qt::Key_Escape);
        visibleAfterEscape = form.isVisible();
        clickMain();
    });
    form.FILE_WRITE_BTN->click();

    ASSERT_TRUE(tried);
    EXPECT_TRUE(visibleAfterClose);
    EXPECT_TRUE(visibleAfterEscape);
    std::vector<Bytes> expected{Frame({0xF0, 0}), Frame({0xF1, 0, 1}), Frame({0xF1, 1, 1})};
    for (int i = 0; i < 20; ++i)
        for (int id : {0, 1})
            expected.push_back(Frame({0xF5, id, 0, i, i}));
    for (int id : {0, 1})
        expected.push_back(Frame({0xF3, id, 0, 20}));
    for (int id : {0, 1})
        expected.push_back(Frame({0xF1, id, 0}));
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_EQ(main.ownPrompt.Texts().last(),
              "シナリオデータの書込が完了いたしました\r\nＯＫを押すとスリープを解除します");

    // Once the write has ended the close box closes.
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(ScenarioOnBoards, TheListChangeOfATransferIsOneStepAndNoStepIsTakenWhileOneRuns)
{
    FillMotions();
    Store(2, {5, 6});
    FillScenario(3);
    form.FILE_NUM->setCurrentIndex(2);
    form.FILE_READ_BTN->click();
    EXPECT_EQ(form.Scenario()->Rows(), (QList<ScenarioRow>{{"M5", "m5"}, {"M6", "m6"}}));
    ASSERT_EQ(form.Document()->UndoStack()->count(), 1);

    // During a write, undo and redo do nothing.
    HookedPrompt prompt;
    main.prompt = &prompt;
    QList<int> rowsAtBoxes;
    prompt.onMessage = [&](const QString &) {
        form.UNDO_MENUClick();
        form.REDO_MENUClick();
        rowsAtBoxes << form.Scenario()->Count();
    };
    form.FILE_WRITE_BTN->click();
    main.prompt = &main.ownPrompt;
    EXPECT_EQ(rowsAtBoxes, (QList<int>{2, 2, 2}));

    // Afterwards the read's list change goes back; the boards keep what was sent.
    boards->ClearFrames();
    form.UNDO_MENU->trigger();
    EXPECT_EQ(form.Scenario()->Count(), 3);
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_EQ(boards->Board(0).scenarioLengths[2], 2);
    form.REDO_MENU->trigger();
    EXPECT_EQ(form.Scenario()->Rows(), (QList<ScenarioRow>{{"M5", "m5"}, {"M6", "m6"}}));
}

TEST_F(ScenarioOnBoards, PlayAsksTheModeWarnsOnlyFromSleepAndPlaysOnBothBoards)
{
    form.FILE_NUM->setCurrentIndex(2);
    form.FILE_BTN->click();  // default mode: no warning
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(boards->Frames(), (std::vector<Bytes>{Frame({0xF0, 0}), Frame({0xF1, 0, 0}), Frame({0xF1, 1, 0}),
                                                    Frame({0xF2, 0, 2}), Frame({0xEE, 0, 2}), Frame({0xEE, 1, 2})}));
    EXPECT_EQ(boards->Board(1).playedScenarios, std::vector<uint8_t>{2});

    for (uint8_t id : {0, 1})
        boards->EditBoard(id, [](BoardMemory &m) { m.mode = 1; });
    form.FILE_BTN->click();
    ASSERT_EQ(Boxes().size(), 1u);
    ExpectBox(Boxes()[0], PromptIcon::Warning, Warning, "ＯＫをクリックするとサーボが動き出すので注意してください！",
              PromptButtons::Ok);
    EXPECT_EQ(boards->Board(0).mode, 0);

    // No answer to the length query: nothing is played.
    boards->ClearFrames();
    boards->AddFault(Fault{FaultKind::NoReply, 0xF2, 1, 0});
    main.ownPrompt = ScriptedPrompt{};
    form.FILE_BTN->click();
    EXPECT_EQ(main.ownPrompt.Texts(), QStringList{"再生できるファイルデータがありません"});
    EXPECT_TRUE(FramesOf(boards->Frames(), 0xEE).empty());
}

}  // namespace
