#include "scenario/scenario_transfer.h"

#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "scenario/scenario_messages.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <array>
#include <vector>

namespace orvane {

namespace {

QString Text(int entry) { return kScenarioMessages(entry); }

TransferBox Question(int entry, PromptButtons buttons, PromptIcon icon = PromptIcon::Question)
{
    return {icon, Text(ScnConfirmTitle), Text(entry), buttons};
}

TransferBox Notice(PromptIcon icon, int entry) { return {icon, Text(ScnWarningTitle), Text(entry), PromptButtons::Ok}; }

TransferBox Failure() { return Notice(PromptIcon::Error, ScnTransferFailed); }

void Tell(MainOperations &main, const TransferBox &box)
{
    main.UserPrompt().Message(box.icon, box.title, box.text, box.buttons);
}

}  // namespace

bool ScenarioTransfer::ReadMotionListSteps(BoardTransfer::Run &run)
{
    if (!run.EnsureSleep())
        return false;
    SlotNaming naming;
    naming.emptyName = Text(ScnEmptySlotName);
    naming.rename = main_.UserPrompt().Input(Text(ScnInputTitle), Text(ScnBaseNamePrompt), naming.baseName);
    run.Progress(kMotionSlotCount, 0);

    // Read into a copy: the names the user typed survive a read that breaks off.
    SlotList read = doc_.Motions()->List();
    const bool ok = ReadSlotCounts(
        read, {main_.BoardId(0), main_.BoardId(1)},
        [](int id, int slot, int &count) {
            int retry = RetryCount;
            return GetMotionLength(retry, std::uint8_t(id), std::uint8_t(slot), count);
        },
        naming, [&run](int done) { run.Progress(kMotionSlotCount, done); });
    if (!ok) {
        run.Fail(3);
        return false;
    }
    doc_.ReplaceMotions(read, naming.rename);
    run.Close(Question(ScnMotionReadDone, PromptButtons::OkCancel, PromptIcon::Information));
    return true;
}

TransferResult ScenarioTransfer::ReadMotionList()
{
    BoardTransfer::Run run = transfer_.Begin();
    if (!run)
        return TransferResult::Stopped;
    if (!doc_.Motions()->IsEmpty() && !run.Ask(Question(ScnMotionReadQuestion, PromptButtons::OkCancel)))
        return TransferResult::Stopped;
    ReadMotionListSteps(run);
    return run.Finish(Failure());
}

TransferResult ScenarioTransfer::Write(int slot, const QString &slotText)
{
    if (transfer_.Running())
        return TransferResult::Stopped;
    int n = doc_.RowCount();
    if (n == 0) {
        Tell(main_, Notice(PromptIcon::Warning, ScnWriteEmpty));
        return TransferResult::Stopped;
    }
    // Taken before anything is sent: the list may change while the commands wait.
    std::vector<std::uint8_t> items;
    items.reserve(size_t(std::min(n, kScenarioItemsPerSlot)));
    for (int i = 0; i < n && i < kScenarioItemsPerSlot; ++i) {
        const std::optional<int> number = MotionNumberOf(doc_.Scenario()->Rows().MotionAt(i));
        if (!number || *number < 0 || *number > 255) {
            Tell(main_, Notice(PromptIcon::Warning, ScnUnwritableMotion));
            return TransferResult::Stopped;
        }
        items.push_back(std::uint8_t(*number));
    }
    RowWrite write;
    write.ask = {
        {PromptIcon::Question, Text(ScnWarningTitle), slotText + Text(ScnWriteQuestion), PromptButtons::OkCancel}};
    if (n > kScenarioItemsPerSlot) {
        write.askAsleep = {Question(ScnWriteOver200, PromptButtons::YesNo)};
        n = kScenarioItemsPerSlot;
    }
    write.rows = n;
    write.sendRow = [&](int, std::uint8_t id, int i) {
        int retry = RetryCount;
        return WriteScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(i), items[size_t(i)]);
    };
    // The length goes last, so a board keeps its old length until every row has arrived.
    write.sendLength = [&](std::uint8_t id) {
        int retry = RetryCount;
        return SetScenarioLength(retry, id, std::uint8_t(slot), std::uint8_t(n));
    };
    write.closing = Question(ScnWriteDone, PromptButtons::OkCancel);
    write.failure = Failure();
    return transfer_.WriteRows(write);
}

TransferResult ScenarioTransfer::Read(int slot)
{
    BoardTransfer::Run run = transfer_.Begin();
    if (!run)
        return TransferResult::Stopped;
    if (!run.EnsureSleep())
        return run.Finish(Failure());
    if (doc_.Motions()->IsEmpty() && !ReadMotionListSteps(run))
        return run.Finish(Failure());  // the boards stay asleep

    std::array<int, 2> lengths{};
    run.EachBoard([&](int g, std::uint8_t id) {
        int retry = RetryCount;
        return GetScenarioLength(retry, id, std::uint8_t(slot), lengths[size_t(g)]);
    });
    if (!run.Ok() || !run.Alike(lengths))
        return run.Finish(Failure());
    const int lead = main_.FirstPresentGroup();
    const int length = lead < 0 ? 0 : lengths[size_t(lead)];
    if (length == 0) {
        // The boards answered: the slot is empty.
        doc_.ReplaceScenario({});
        view_.Refresh();
        run.Tell(Notice(PromptIcon::Warning, ScnReadEmpty));
        return TransferResult::Stopped;
    }
    if (length > kScenarioItemsPerSlot) {
        run.Tell(Notice(PromptIcon::Warning, ScnSlotInvalid));
        return TransferResult::Stopped;
    }

    run.Progress(length, 0);
    ScenarioRows rows;
    rows.reserve(length);
    for (int i = 0; i < length; ++i) {
        std::array<int, 2> numbers{};
        run.EachBoard([&](int g, std::uint8_t id) {
            int retry = RetryCount;
            return ReadScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(i), numbers[size_t(g)]);
        });
        if (!run.Ok() || !run.Alike(numbers))
            return run.Finish(Failure());
        const int number = numbers[size_t(lead)];
        // A number past the motion list names no slot: no name to show.
        rows.Append(
            {QStringLiteral("M") + QString::number(number), doc_.Motions()->List().NameOf(number).value_or(QString())});
        run.Progress(length, i + 1);
    }
    doc_.ReplaceScenario(std::move(rows));
    view_.Refresh();
    run.Close(Question(ScnReadDone, PromptButtons::OkCancel));
    return run.Finish(Failure());
}

TransferResult ScenarioTransfer::Clear(int slot)
{
    RowWrite write;
    write.ask = {Question(ScnDataLost, PromptButtons::YesNo)};
    write.rows = kScenarioItemsPerSlot;
    write.sendRow = [&](int, std::uint8_t id, int i) {
        int retry = RetryCount;
        return WriteScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(i), 0);
    };
    write.sendLength = [&](std::uint8_t id) {
        int retry = RetryCount;
        return SetScenarioLength(retry, id, std::uint8_t(slot), 0);
    };
    // Until the boards took the empty slot it is not known to be empty: the rows in the window stay.
    write.rowsDone = [this] {
        doc_.ReplaceScenario({});
        view_.Refresh();
    };
    write.closing = Question(ScnClearDone, PromptButtons::OkCancel);
    write.failure = Failure();
    // A clear that broke off shows its bar back at 0 before it says so.
    write.progressResetBeforeFailure = true;
    return transfer_.WriteRows(write);
}

TransferResult ScenarioTransfer::Play(int slot)
{
    PlayRequest play;
    play.warning = Notice(PromptIcon::Warning, ScnPlayWarning);
    // A slot whose length does not come back is nothing to play.
    play.check = [slot](std::uint8_t lead) {
        int retry = RetryCount;
        int length = 0;
        return GetScenarioLength(retry, lead, std::uint8_t(slot), length);
    };
    play.refused = Notice(PromptIcon::Warning, ScnPlayEmpty);
    play.send = [slot](std::uint8_t id) {
        int retry = RetryCount;
        return PlayScenario(retry, id, std::uint8_t(slot));
    };
    play.failure = Failure();
    return transfer_.Play(play);
}

}  // namespace orvane
