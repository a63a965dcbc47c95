#include "transmitter/assignment_transfer.h"

#include "protocol/channels.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "session/main_operations.h"
#include "transmitter/propo_messages.h"

namespace orvane {

namespace {

const QString kEmptySlotName = QStringLiteral("None");

class RunningFlag {
public:
    explicit RunningFlag(bool &running) : running_(running) { running_ = true; }
    ~RunningFlag() { running_ = false; }

private:
    bool &running_;
};

// Disabled exactly as long as the boards are being talked to, whichever way the transfer ends.
class BusyWindow {
public:
    explicit BusyWindow(AssignmentView &view) : view_(view) { view_.SetBusy(true); }
    ~BusyWindow() { view_.SetBusy(false); }

private:
    AssignmentView &view_;
};

}  // namespace

template <typename Send>
bool AssignmentTransfer::EachBoard(Send send)
{
    for (int g = 0; g < 2; ++g) {
        if (main_.BoardPresent(g) && !send(g, std::uint8_t(main_.BoardId(g))))
            return false;
    }
    return true;
}

bool AssignmentTransfer::AskYes(int entry, PromptIcon icon)
{
    return main_.UserPrompt().Message(icon, kPropoMessages(PrpWarningTitle), kPropoMessages(entry),
                                      PromptButtons::YesNo)
           == PromptAnswer::Yes;
}

void AssignmentTransfer::OfferRelease(int entry)
{
    if (AskYes(entry, PromptIcon::Question))
        main_.ReleaseSleep();
}

void AssignmentTransfer::TellFailed()
{
    main_.UserPrompt().Message(PromptIcon::Error, kPropoMessages(PrpConfirmTitle), kPropoMessages(PrpTransferFailed),
                               PromptButtons::Ok);
}

bool AssignmentTransfer::SendTable(const AssignmentTable &table)
{
    view_.SetProgress(kEntryCount, 0);
    for (int e = 0; e < kEntryCount; ++e) {
        const AssignmentEntry entry = table[size_t(e)];
        const bool sent = EachBoard([&](int, std::uint8_t id) {
            int retry = RetryCount;
            return WriteAssignment(retry, id, std::uint8_t(e), entry.pattern, entry.target);
        });
        if (!sent)
            return false;
        view_.SetProgress(kEntryCount, e + 1);
    }
    return true;
}

AssignmentTransferResult AssignmentTransfer::Write()
{
    if (running_)
        return AssignmentTransferResult::Stopped;
    RunningFlag flag(running_);
    if (!AskYes(PrpWriteQuestion, PromptIcon::Question))
        return AssignmentTransferResult::Stopped;
    if (!main_.EnsureSleep()) {
        TellFailed();
        return AssignmentTransferResult::Failed;
    }
    const AssignmentTable table = assignment_.Table();
    BusyWindow busy(view_);
    const bool ok = SendTable(table);
    if (ok)
        OfferRelease(PrpWriteDone);
    view_.SetProgress(kEntryCount, 0);
    if (!ok)
        TellFailed();
    return ok ? AssignmentTransferResult::Succeeded : AssignmentTransferResult::Failed;
}

AssignmentTransferResult AssignmentTransfer::Clear()
{
    if (running_)
        return AssignmentTransferResult::Stopped;
    RunningFlag flag(running_);
    if (!AskYes(PrpClearQuestion, PromptIcon::Warning))
        return AssignmentTransferResult::Stopped;
    if (!main_.EnsureSleep()) {
        TellFailed();
        return AssignmentTransferResult::Failed;
    }
    BusyWindow busy(view_);
    const bool ok = SendTable(AssignmentTable{});
    if (ok) {
        assignment_.EmptyAll();
        view_.RedrawCells();
        OfferRelease(PrpClearDone);
    }
    view_.SetProgress(kEntryCount, 0);
    if (!ok)
        TellFailed();
    return ok ? AssignmentTransferResult::Succeeded : AssignmentTransferResult::Failed;
}

bool AssignmentTransfer::ReadTable(bool &valid)
{
    valid = true;
    AssignmentTable scratch{};
    view_.SetProgress(kEntryCount, 0);
    for (int e = 0; e < kEntryCount; ++e) {
        view_.SetProgress(kEntryCount, e + 1);
        std::array<AssignmentEntry, 2> read{};
        const bool ok = EachBoard([&](int g, std::uint8_t id) {
            int retry = RetryCount;
            int pattern = 0;
            int target = 0;
            if (!ReadAssignment(retry, id, std::uint8_t(e), pattern, target))
                return false;
            read[size_t(g)] = AssignmentEntry{std::uint8_t(pattern), std::uint8_t(target)};
            return true;
        });
        if (!ok || (main_.BoardPresent(0) && main_.BoardPresent(1) && read[0] != read[1])) {
            view_.SetProgress(kEntryCount, 0);
            return false;
        }
        const int lead = main_.FirstPresentGroup();
        if (lead >= 0)
            scratch[size_t(e)] = read[size_t(lead)];
        if (!IsValidTarget(scratch[size_t(e)].target)) {
            main_.UserPrompt().Message(PromptIcon::Warning, kPropoMessages(PrpWarningTitle),
                                       kPropoMessages(PrpInitialize), PromptButtons::Ok);
            valid = false;
            break;
        }
    }
    if (valid) {
        assignment_.SetTable(scratch);
        view_.RedrawCells();
    }
    view_.SetProgress(kEntryCount, 0);
    return true;
}

bool AssignmentTransfer::ReadList(SlotList &list, int titleEntry, int promptEntry, bool scenarios)
{
    QString baseName;
    const bool renamed = main_.UserPrompt().Input(kPropoMessages(titleEntry), kPropoMessages(promptEntry), baseName);
    const SlotNaming naming{renamed, baseName, kEmptySlotName};
    // Read into a copy: a failed read leaves the names the user typed.
    SlotList scratch = list;
    view_.SetProgress(scratch.Slots(), 0);
    const SlotCountReader read = [scenarios](int id, int slot, int &count) {
        int retry = RetryCount;
        return scenarios ? GetScenarioLength(retry, std::uint8_t(id), std::uint8_t(slot), count)
                         : GetMotionLength(retry, std::uint8_t(id), std::uint8_t(slot), count);
    };
    const bool ok = ReadSlotCounts(scratch, {main_.BoardId(0), main_.BoardId(1)}, read, naming,
                                   [&](int done) { view_.SetProgress(scratch.Slots(), done); });
    view_.SetProgress(list.Slots(), 0);
    if (ok) {
        list = std::move(scratch);
        view_.ShowLists();
    }
    return ok;
}

AssignmentTransferResult AssignmentTransfer::Read()
{
    if (running_)
        return AssignmentTransferResult::Stopped;
    RunningFlag flag(running_);
    if (!AskYes(PrpReadQuestion, PromptIcon::Question))
        return AssignmentTransferResult::Stopped;
    if (!main_.EnsureSleep()) {
        TellFailed();
        return AssignmentTransferResult::Failed;
    }
    BusyWindow busy(view_);
    bool tableValid = true;
    const bool ok = ReadTable(tableValid)
                    && ReadList(assignment_.Scenarios(), PrpScenarioBaseTitle, PrpScenarioBasePrompt, true)
                    && ReadList(assignment_.Motions(), PrpMotionBaseTitle, PrpMotionBasePrompt, false);
    if (ok) {
        OfferRelease(PrpReadDone);
        view_.RedrawCells();
        return AssignmentTransferResult::Succeeded;
    }
    TellFailed();
    return AssignmentTransferResult::Failed;
}

}  // namespace orvane
