#pragma once
// The frame every board transfer of a window shares: one transfer at a time, the window disabled while the
// boards are busy, each present board in turn (the CH1-CH12 board first, ID 255 skipped), the progress bar,
// rows first and the length last, the closing question whose OK or Yes releases sleep, and the failure box.
// Free of widgets: the window lends its enabling, progress bar and refresh through TransferView, and the
// main window's sleep operations come through MainOperations.
//
// A write or clear is one RowWrite:
//
//     BoardTransfer transfer_{main, view, TransferOrder::BusyAfterSleep};  // one per window
//
//     RowWrite w;
//     w.ask = {{PromptIcon::Question, title, slotText + question, PromptButtons::OkCancel}};
//     if (n > 200) {  // asked once the boards sleep; No stops, Yes writes the first 200
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
//     if (!run.EnsureSleep()) return run.Finish(failure);  // BusyBeforeSleep: disabled before it
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

#include "session/prompt.h"

#include <QString>

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

// Whether the window is disabled before `ensure sleep` runs (its warning then shows over a disabled window)
// or only once the boards sleep.
enum class TransferOrder { BusyBeforeSleep, BusyAfterSleep };

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
    std::function<bool(int group, std::uint8_t id, int row)> sendRow;
    std::function<bool(std::uint8_t id)> sendLength;  // none: no length is written
    std::function<void()> rowsDone;                   // every row and the length went through
    TransferBox closing;
    TransferBox failure;
    bool progressResetBeforeFailure = false;
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
        // A bar once set goes back to (maximum, 0) when the run ends.
        void Progress(int maximum, int value);
        // `ensure sleep`; with BusyBeforeSleep the window is disabled first, with BusyAfterSleep the caller
        // disables it when the sequence says. A failure sets the mask to 3.
        bool EnsureSleep();

        // `send(group, id)` for each present board, the CH1-CH12 board first; the failed boards join the mask.
        template <typename Send>
        int EachBoard(Send send);
        void Fail(int mask) { mask_ |= mask; }
        int Mask() const { return mask_; }
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
        int mask_ = 0;
        bool finished_ = false;
    };

    // Refused (an empty Run) while another transfer runs.
    Run Begin();

    TransferResult WriteRows(const RowWrite &write);

    int BoardId(int group) const;
    bool BoardPresent(int group) const;

private:
    MainOperations &main_;
    TransferView &view_;
    TransferOrder order_;
    bool running_ = false;
};

template <typename Send>
int BoardTransfer::Run::EachBoard(Send send)
{
    int failed = 0;
    for (int group = 0; group < 2; ++group) {
        if (owner_->BoardPresent(group) && !send(group, std::uint8_t(owner_->BoardId(group))))
            failed |= 1 << group;
    }
    mask_ |= failed;
    return failed;
}

}  // namespace orvane
