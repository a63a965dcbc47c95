#include "transmitter/assignment_transfer.h"

#include "protocol/board_facts.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "session/main_operations.h"
#include "transmitter/propo_messages.h"

#include <array>

namespace orvane {

namespace {

const QString kEmptySlotName = QStringLiteral("None");

TransferBox Question(int entry, PromptIcon icon = PromptIcon::Question)
{
    return {icon, kPropoMessages(PrpWarningTitle), kPropoMessages(entry), PromptButtons::YesNo};
}

TransferBox Failure()
{
    return {PromptIcon::Error, kPropoMessages(PrpConfirmTitle), kPropoMessages(PrpTransferFailed), PromptButtons::Ok};
}

}  // namespace

RowWrite AssignmentTransfer::TableWrite(const AssignmentTable &table, int question, PromptIcon icon, int done) const
{
    RowWrite write;
    write.ask = {Question(question, icon)};
    write.rows = kAssignmentEntryCount;
    write.sendRow = [&table](int, std::uint8_t id, int e) {
        int retry = RetryCount;
        const AssignmentEntry entry = table[size_t(e)];
        return WriteAssignment(retry, id, std::uint8_t(e), entry.pattern, entry.target);
    };
    write.closing = Question(done);
    write.failure = Failure();
    write.progressResetBeforeFailure = true;
    return write;
}

TransferResult AssignmentTransfer::Write()
{
    // Sent from a copy: the table may change while the commands wait.
    AssignmentTable table{};
    RowWrite write = TableWrite(table, PrpWriteQuestion, PromptIcon::Question, PrpWriteDone);
    write.prepare = [&] {
        table = document_.Assignment().Table();
        return true;
    };
    return transfer_.WriteRows(write);
}

TransferResult AssignmentTransfer::Clear()
{
    const AssignmentTable empty{};
    RowWrite write = TableWrite(empty, PrpClearQuestion, PromptIcon::Warning, PrpClearDone);
    write.rowsDone = [this] {
        document_.EmptyAll();
        view_.Refresh();
    };
    return transfer_.WriteRows(write);
}

bool AssignmentTransfer::ReadTable(BoardTransfer::Run &run)
{
    AssignmentTable scratch{};
    bool valid = true;
    run.Progress(kAssignmentEntryCount, 0);
    for (int e = 0; e < kAssignmentEntryCount; ++e) {
        run.Progress(kAssignmentEntryCount, e + 1);
        std::array<AssignmentEntry, 2> read{};
        run.EachBoard([&](int g, std::uint8_t id) {
            int retry = RetryCount;
            int pattern = 0;
            int target = 0;
            if (!ReadAssignment(retry, id, std::uint8_t(e), pattern, target))
                return false;
            read[size_t(g)] = AssignmentEntry{std::uint8_t(pattern), std::uint8_t(target)};
            return true;
        });
        if (!run.Ok() || !run.Alike(read))
            return false;
        const int lead = main_.FirstPresentGroup();
        if (lead >= 0)
            scratch[size_t(e)] = read[size_t(lead)];
        if (!IsValidTarget(scratch[size_t(e)].target)) {
            run.Tell({PromptIcon::Warning, kPropoMessages(PrpWarningTitle), kPropoMessages(PrpInitialize),
                      PromptButtons::Ok});
            valid = false;
            break;
        }
    }
    if (valid) {
        document_.ReplaceTable(scratch);
        view_.Refresh();
    }
    run.Progress(kAssignmentEntryCount, 0);
    return true;
}

bool AssignmentTransfer::ReadList(BoardTransfer::Run &run, SlotListKind kind, int titleEntry, int promptEntry)
{
    const bool scenarios = kind == SlotListKind::Scenarios;
    QString baseName;
    const bool renamed = main_.UserPrompt().Input(kPropoMessages(titleEntry), kPropoMessages(promptEntry), baseName);
    const SlotNaming naming{renamed, baseName, kEmptySlotName};
    // Read into a copy: a failed read leaves the names the user typed.
    SlotList scratch = document_.List(kind);
    run.Progress(scratch.Slots(), 0);
    const SlotCountReader read = [scenarios](int id, int slot, int &count) {
        int retry = RetryCount;
        return scenarios ? GetScenarioLength(retry, std::uint8_t(id), std::uint8_t(slot), count)
                         : GetMotionLength(retry, std::uint8_t(id), std::uint8_t(slot), count);
    };
    if (!ReadSlotCounts(scratch, {main_.BoardId(0), main_.BoardId(1)}, read, naming,
                        [&](int done) { run.Progress(scratch.Slots(), done); })) {
        run.Fail(3);
        return false;
    }
    run.Progress(scratch.Slots(), 0);
    document_.ReplaceList(kind, scratch.Rows());
    view_.ShowLists();
    return true;
}

TransferResult AssignmentTransfer::Read()
{
    BoardTransfer::Run run = transfer_.Begin();
    if (!run)
        return TransferResult::Stopped;
    if (!run.Ask(Question(PrpReadQuestion)))
        return TransferResult::Stopped;
    // The table and both lists a read brings are undone together, also when a later part failed.
    struct Group {
        AssignmentDocument &document;
        explicit Group(AssignmentDocument &d) : document(d) { document.BeginGroup(); }
        ~Group() { document.EndGroup(); }
    } group(document_);
    if (run.EnsureSleep() && ReadTable(run)
        && ReadList(run, SlotListKind::Scenarios, PrpScenarioBaseTitle, PrpScenarioBasePrompt)
        && ReadList(run, SlotListKind::Motions, PrpMotionBaseTitle, PrpMotionBasePrompt)) {
        run.Close(Question(PrpReadDone));
        view_.Refresh();
    }
    // The bar is back at 0 before the failure box.
    return run.Finish(Failure(), true);
}

}  // namespace orvane
