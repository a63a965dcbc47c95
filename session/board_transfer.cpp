#include "session/board_transfer.h"

#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "serial/comm_x.h"
#include "session/main_operations.h"

namespace orvane {

namespace {

bool Agreed(PromptAnswer answer) { return answer == PromptAnswer::Ok || answer == PromptAnswer::Yes; }

}  // namespace

int BoardTransfer::BoardId(int group) const { return main_.BoardId(group); }

bool BoardTransfer::BoardPresent(int group) const { return main_.BoardPresent(group); }

BoardTransfer::Run BoardTransfer::Begin()
{
    if (running_)
        return Run(nullptr);
    running_ = true;
    return Run(this);
}

BoardTransfer::Run::~Run() { End(); }

void BoardTransfer::Run::End()
{
    if (owner_ == nullptr || finished_)
        return;
    finished_ = true;
    if (maximum_ >= 0)
        owner_->view_.SetProgress(maximum_, 0);
    if (busy_)
        owner_->view_.SetBusy(false);
    owner_->running_ = false;
}

bool BoardTransfer::Run::Ask(const TransferBox &box)
{
    return Agreed(owner_->main_.UserPrompt().Message(box.icon, box.title, box.text, box.buttons));
}

void BoardTransfer::Run::Tell(const TransferBox &box)
{
    owner_->main_.UserPrompt().Message(box.icon, box.title, box.text, box.buttons);
}

void BoardTransfer::Run::Busy()
{
    if (busy_)
        return;
    busy_ = true;
    owner_->view_.SetBusy(true);
    // The disabled window's repaint is the longest the event loop waits in a transfer; done now, it
    // is not added to a wait for the next turn.
    ServeUserInterface(true);
}

void BoardTransfer::Run::Progress(int maximum, int value)
{
    maximum_ = maximum;
    owner_->view_.SetProgress(maximum, value);
    ServeUserInterface();
}

bool BoardTransfer::Run::EnsureSleep()
{
    if (owner_->order_ == TransferOrder::BusyBeforeSleep)
        Busy();
    if (owner_->main_.EnsureSleep()) {
        if (owner_->order_ == TransferOrder::BusyOnceAsleep)
            Busy();
        return true;
    }
    mask_ = kBothGroupsFailed;
    return false;
}

void BoardTransfer::Run::Close(const TransferBox &closing)
{
    if (Ask(closing))
        owner_->main_.ReleaseSleep();
}

TransferResult BoardTransfer::Run::Finish(const TransferBox &failure, bool progressResetFirst)
{
    if (progressResetFirst && maximum_ >= 0) {
        owner_->view_.SetProgress(maximum_, 0);
        maximum_ = -1;
    }
    if (mask_ != 0)
        Tell(failure);
    End();
    return mask_ == 0 ? TransferResult::Succeeded : TransferResult::Failed;
}

TransferResult BoardTransfer::WriteRows(const RowWrite &write)
{
    Run run = Begin();
    if (!run)
        return TransferResult::Stopped;
    for (const TransferBox &box : write.ask)
        if (!run.Ask(box))
            return TransferResult::Stopped;
    if (write.prepare && !write.prepare())
        return TransferResult::Stopped;

    const int maximum = write.progressMaximum >= 0 ? write.progressMaximum : write.rows;
    if (order_ == TransferOrder::BusyBeforeSleep)
        run.Progress(maximum, 0);
    if (!run.EnsureSleep())
        return run.Finish(write.failure, write.progressResetBeforeFailure);
    for (const TransferBox &box : write.askAsleep)
        if (!run.Ask(box))
            return TransferResult::Stopped;
    if (order_ != TransferOrder::BusyBeforeSleep) {
        run.Progress(maximum, 0);
        run.Busy();
    }

    for (int row = 0; row < write.rows; ++row) {
        run.EachBoard([&](int group, std::uint8_t id) { return write.sendRow(group, id, row); },
                      write.stopAtFailedBoard);
        if (run.Ok() || write.progressOnFailedRow)
            run.Progress(maximum, row + write.progressAfterRow);
        if (!run.Ok())
            break;
    }
    if (run.Ok() && write.sendLength)
        run.EachBoard([&](int, std::uint8_t id) { return write.sendLength(id); }, write.stopAtFailedBoard);
    // A length that did not arrive leaves the slot unfinished: no completion, the failure box alone.
    if (run.Ok()) {
        if (write.rowsDone)
            write.rowsDone();
        run.Close(write.closing);
    }
    return run.Finish(write.failure, write.progressResetBeforeFailure);
}

TransferResult BoardTransfer::Play(const PlayRequest &play)
{
    Run run = Begin();
    if (!run)
        return TransferResult::Stopped;
    const int lead = main_.FirstPresentGroup();
    if (lead >= 0) {
        int retry = RetryCount;
        std::uint8_t mode = 0;
        if (!GetMode(retry, std::uint8_t(main_.BoardId(lead)), mode))
            return TransferResult::Stopped;
        if (mode != 0)
            run.Tell(play.warning);
    }
    if (!main_.ReleaseSleep())
        return TransferResult::Stopped;
    if (lead >= 0 && play.check && !play.check(std::uint8_t(main_.BoardId(lead)))) {
        run.Tell(play.refused);
        return TransferResult::Stopped;
    }
    run.EachBoard([&](int, std::uint8_t id) { return play.send(id); });
    return run.Finish(play.failure);
}

}  // namespace orvane
