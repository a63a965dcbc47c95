#pragma once
// The frame every board transfer of a window shares: one transfer at a time, the window disabled while the
// boards are busy, each present board in turn (the CH1-CH12 board first, ID 255 skipped), the progress bar,
// rows first and the length last, the closing question whose OK or Yes releases sleep, and the failure box.
// Free of widgets: the window lends its enabling, progress bar and refresh through TransferView, and the
// main window's sleep operations come through MainOperations.
//
// A write or clear is one RowWrite:
//
//     BoardTransfer transfer_{main, view, TransferOrder::BusyOnceAsleep};  // one per window
//
//     RowWrite w;
//     w.ask = {{PromptIcon::Question, title, slotText + question, PromptButtons::OkCancel}};
//     if (n > 200) {  // asked once the boards sleep, over the disabled window; No stops, Yes writes the first 200
//         w.askAsleep = {{PromptIcon::Question, title, over200, PromptButtons::YesNo}};
//         n = 200;
//     }
//     w.rows = n;
//     w.sendRow = [&](int group, std::uint8_t id, int row) {  // group 0: CH1-CH12
//         int retry = RetryCount;
//         return WriteScenarioItem(retry, id, slot, row, items[row]);
//     };
//     w.sendLength = [&](std::uint8_t id) {
//         int retry = RetryCount;
//         return SetScenarioLength(retry, id, slot, n);
//     };
//     w.closing = {PromptIcon::Question, title, done, PromptButtons::OkCancel};
//     w.failure = {PromptIcon::Error, warningTitle, failed, PromptButtons::Ok};
//     return transfer_.WriteRows(w);
//
// A transfer of its own shape (a read) drives a Run:
//
//     BoardTransfer::Run run = transfer_.Begin();
//     if (!run) return TransferResult::Stopped;        // another transfer is running
//     if (!run.EnsureSleep()) return run.Finish(failure);  // BusyBeforeSleep: disabled before it,
//                                                       // BusyOnceAsleep: disabled once it went through
//     run.Busy();                                       // BusyAfterSleep: disabled from here
//     run.Progress(40, 0);
//     for (int m = 0; m < 40 && run.Ok(); ++m) {
//         run.EachBoard([&](int group, std::uint8_t id) { ... });
//         run.Progress(40, m + 1);
//     }
//     if (run.Ok()) run.Close(closing);                 // OK/Yes releases sleep
//     return run.Finish(failure);                       // failure box, progress 0, window enabled
//
// Everything runs on the user-interface thread; the commands dispatch window messages while they wait, so a
// transfer keeps its own copy of what it sends.

#include "protocol/board_facts.h"
#include "session/prompt.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class MainOperations;

namespace orvane {

class TransferView {
public:
    virtual ~TransferView() = default;
    virtual void SetBusy(bool busy) = 0;  // the window disabled while true
    virtual void SetProgress(int maximum, int value) = 0;
    virtual void Refresh() = 0;  // what the window shows of the data it holds
};

enum class TransferResult {
    Stopped,  // refused, answered No/Cancel, or nothing to do
    Succeeded,
    Failed,  // the failure box was shown
};

// When the window is disabled: before `ensure sleep` runs (its warning then shows over a disabled window),
// as soon as the boards sleep (the questions asked asleep show over a disabled window), or only when the
// rows start.
enum class TransferOrder { BusyBeforeSleep, BusyOnceAsleep, BusyAfterSleep };

struct TransferBox {
    PromptIcon icon = PromptIcon::Question;
    QString title;
    QString text;
    PromptButtons buttons = PromptButtons::Ok;
};

// A write of `rows` rows to every present board, then the length, then the closing question.
struct RowWrite {
    std::vector<TransferBox> ask;        // before `ensure sleep`, in order; any answer but OK/Yes stops
    std::function<bool()> prepare;       // after those questions, before sleep; false stops without a box
    std::vector<TransferBox> askAsleep;  // once the boards sleep; any answer but OK/Yes stops, boards asleep
    int rows = 0;
    int progressMaximum = -1;  // -1: the row count
    int progressAfterRow = 1;  // the bar shows row + this after each row
    bool progressOnFailedRow = false;
    bool stopAtFailedBoard = false;  // a row a board did not take goes to no further board
    std::function<bool(int group, std::uint8_t id, int row)> sendRow;
    std::function<bool(std::uint8_t id)> sendLength;  // none: no length is written
    std::function<void()> rowsDone;                   // every row and the length went through
    TransferBox closing;
    TransferBox failure;
    bool progressResetBeforeFailure = false;
};

// A play of a stored slot on every present board, from the boards' default mode.
struct PlayRequest {
    TransferBox warning;                           // the servos start moving: shown when the boards slept
    std::function<bool(std::uint8_t lead)> check;  // none: nothing to check once sleep is released
    TransferBox refused;                           // shown when `check` is false; nothing is played
    std::function<bool(std::uint8_t id)> send;
    TransferBox failure;
};

class BoardTransfer {
public:
    BoardTransfer(MainOperations &main, TransferView &view, TransferOrder order)
        : main_(main), view_(view), order_(order)
    {}
    BoardTransfer(const BoardTransfer &) = delete;
    BoardTransfer &operator=(const BoardTransfer &) = delete;

    bool Running() const { return running_; }

    // One transfer from its first question to its last box; whatever way it ends, the window is enabled
    // again and the bar is back at 0.
    class Run {
    public:
        Run(const Run &) = delete;
        Run &operator=(const Run &) = delete;
        ~Run();

        explicit operator bool() const { return owner_ != nullptr; }

        // True for OK or Yes.
        bool Ask(const TransferBox &box);
        void Tell(const TransferBox &box);

        // Disables the window until the run ends.
        void Busy();
        // A bar once set goes back to (maximum, 0) when the run ends. The window is served here too: a
        // command whose reply comes back within a millisecond never lets the port's wait serve it, so a run
        // of quick commands would hold the event loop for the whole transfer.
        void Progress(int maximum, int value);
        // `ensure sleep`; with BusyBeforeSleep the window is disabled first, with BusyOnceAsleep once the
        // boards sleep, with BusyAfterSleep the caller disables it when the sequence says. A failure sets the
        // mask to 3.
        bool EnsureSleep();

        // `send(group, id)` for each present board, the CH1-CH12 board first, or up to the first that fails;
        // the failed boards join the mask.
        template <typename Send>
        FailureMask EachBoard(Send send, bool stopAtFailure = false);
        void Fail(FailureMask mask) { mask_ |= mask; }
        // False, with the second board joining the mask, when both boards are present and answered
        // differently.
        template <typename T>
        bool Alike(const std::array<T, 2> &answers);
        FailureMask Mask() const { return mask_; }
        bool Ok() const { return mask_ == 0; }

        // The closing question; OK or Yes releases sleep.
        void Close(const TransferBox &closing);
        // The failure box when the mask is not 0, the bar back to 0 (before or after the box), the window
        // enabled.
        TransferResult Finish(const TransferBox &failure, bool progressResetFirst = false);

    private:
        friend class BoardTransfer;
        explicit Run(BoardTransfer *owner) : owner_(owner) {}
        void End();

        BoardTransfer *owner_;
        int maximum_ = -1;  // -1: the bar was not touched
        bool busy_ = false;
        FailureMask mask_ = 0;
        bool finished_ = false;
    };

    // Refused (an empty Run) while another transfer runs.
    Run Begin();

    TransferResult WriteRows(const RowWrite &write);
    // The window stays enabled, so a second click may arrive while the commands wait: it is refused.
    TransferResult Play(const PlayRequest &play);

    int BoardId(int group) const;
    bool BoardPresent(int group) const;

private:
    MainOperations &main_;
    TransferView &view_;
    TransferOrder order_;
    bool running_ = false;
};

template <typename Send>
FailureMask BoardTransfer::Run::EachBoard(Send send, bool stopAtFailure)
{
    FailureMask failed = 0;
    for (int group = 0; group < 2 && !(stopAtFailure && failed != 0); ++group) {
        if (owner_->BoardPresent(group) && !send(group, std::uint8_t(owner_->BoardId(group))))
            failed |= GroupFailure(group);
    }
    mask_ |= failed;
    return failed;
}

template <typename T>
bool BoardTransfer::Run::Alike(const std::array<T, 2> &answers)
{
    if (!owner_->BoardPresent(0) || !owner_->BoardPresent(1) || answers[0] == answers[1])
        return true;
    mask_ |= GroupFailure(1);
    return false;
}

}  // namespace orvane
