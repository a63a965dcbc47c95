#include "motion/motion_transfer.h"

#include "motion/motion_messages.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <QByteArray>

#include <vector>

namespace orvane {

namespace {

constexpr std::uint8_t kClearSpeed = 7;
constexpr std::uint8_t kClearValue = 225;  // "-L-"

ChannelValues GroupValues(const BoardRow &row, int group)
{
    ChannelValues values;
    for (int k = 0; k < kBoardChannels; ++k)
        values[size_t(k)] = row.values[size_t(kBoardChannels * group + k)];
    return values;
}

PromptAnswer Ask(MainOperations &main, int entry, PromptButtons buttons, const QString &prefix = {})
{
    return main.UserPrompt().Message(PromptIcon::Question, MotionMessage(MotConfirmTitle),
                                     prefix + MotionMessage(entry), buttons);
}

void Tell(MainOperations &main, PromptIcon icon, int entry)
{
    main.UserPrompt().Message(icon, MotionMessage(MotWarningTitle), MotionMessage(entry), PromptButtons::Ok);
}

class RunningFlag {
public:
    explicit RunningFlag(bool &running) : running_(running) { running_ = true; }
    ~RunningFlag() { running_ = false; }

private:
    bool &running_;
};

// The window stays disabled exactly as long as the transfer runs, whichever way it ends.
class BusyWindow {
public:
    BusyWindow(TransferView &view, bool &running) : view_(view), running_(running) { view_.SetBusy(true); }
    ~BusyWindow() { view_.SetBusy(false); }

private:
    TransferView &view_;
    RunningFlag running_;
};

}  // namespace

std::optional<BoardRow> RowForBoards(const MotionRows &rows, qsizetype row)
{
    BoardRow out;
    const std::optional<int> speed = ParseDecimal(rows.fieldView(row, kSpeedColumn));
    if (!speed || *speed < 0 || *speed > 255)
        return std::nullopt;
    out.speed = std::uint8_t(*speed);
    for (int n = 0; n < kChannelCount; ++n) {
        const std::optional<int> v = ParseDecimal(rows.fieldView(row, kFirstChannelColumn + n));
        if (!v || *v < 0 || *v > 255)
            return std::nullopt;
        out.values[size_t(n)] = std::uint8_t(*v);
    }
    return out;
}

QStringList RowFromBoards(int row, const BoardRow &boardRow)
{
    QStringList fields;
    fields.reserve(kMotionFieldCount);
    fields << QString::number(row + 1) << QStringLiteral("DATA") << QString::number(boardRow.speed);
    for (std::uint8_t v : boardRow.values)
        fields << QString::number(v);
    return fields;
}

int MotionTransfer::Id(int group) const { return main_.BoardId(group); }

template <typename Send>
int MotionTransfer::EachBoard(Send send)
{
    int mask = 0;
    for (int g = 0; g < 2; ++g) {
        if (main_.BoardPresent(g) && !send(g, std::uint8_t(Id(g))))
            mask |= 1 << g;
    }
    return mask;
}

int MotionTransfer::SetLength(int slot, int rows, int tries)
{
    return EachBoard([&](int, std::uint8_t id) {
        int retry = tries;
        return SetMotionLength(retry, id, std::uint8_t(slot), std::uint8_t(rows));
    });
}

TransferResult MotionTransfer::Write(const MotionData &data, int slot)
{
    if (running_)
        return TransferResult::Stopped;
    if (data.count() == 0) {
        Tell(main_, PromptIcon::Warning, MotWriteEmpty);
        return TransferResult::Stopped;
    }
    const QString slotText = QStringLiteral("M") + QString::number(slot);
    if (Ask(main_, MotWriteQuestion, PromptButtons::OkCancel, slotText) != PromptAnswer::Ok)
        return TransferResult::Stopped;
    int n = data.count();
    if (n > kSlotRowLimit) {
        if (Ask(main_, MotWriteOver100, PromptButtons::YesNo) != PromptAnswer::Yes)
            return TransferResult::Stopped;
        n = kSlotRowLimit;
    }
    // Taken before anything is sent: the list may change while the commands wait.
    std::vector<BoardRow> rows;
    rows.reserve(size_t(n));
    for (int r = 0; r < n; ++r) {
        const std::optional<BoardRow> row = RowForBoards(data.rows(), r);
        if (!row) {
            Tell(main_, PromptIcon::Warning, MotUnwritableRow);
            return TransferResult::Stopped;
        }
        rows.push_back(*row);
    }

    view_.SetProgress(n, 0);
    int mask = 0;
    {
        BusyWindow busy(view_, running_);
        if (!main_.EnsureSleep()) {
            mask = 3;
        } else {
            for (int r = 0; r < n && mask == 0; ++r) {
                mask |= EachBoard([&](int g, std::uint8_t id) {
                    int retry = RetryCount;
                    return WriteMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(r), rows[size_t(r)].speed,
                                          GroupValues(rows[size_t(r)], g));
                });
                view_.SetProgress(n, r + 1);
            }
            if (mask == 0) {
                mask |= SetLength(slot, n, RetryCount);
                if (Ask(main_, MotWriteDone, PromptButtons::OkCancel) == PromptAnswer::Ok)
                    main_.ReleaseSleep();
            }
        }
        if (mask != 0)
            Tell(main_, PromptIcon::Error, MotTransferFailed);
        view_.SetProgress(n, 0);
    }
    return mask == 0 ? TransferResult::Succeeded : TransferResult::Failed;
}

TransferResult MotionTransfer::Read(MotionData &data, int slot)
{
    if (running_)
        return TransferResult::Stopped;
    BusyWindow busy(view_, running_);
    int mask = 0;
    std::array<int, 2> counts{};
    mask = EachBoard([&](int g, std::uint8_t id) {
        int retry = RetryCount;
        return GetMotionLength(retry, id, std::uint8_t(slot), counts[size_t(g)]);
    });

    bool empty = false;
    int maximum = 0;
    if (mask == 0) {
        const int lead = main_.FirstPresentGroup();
        const int n = lead < 0 ? 0 : counts[size_t(lead)];
        if (n == 0) {
            empty = true;
        } else if (!main_.EnsureSleep()) {
            mask = 3;
        } else {
            maximum = n - 1;
            view_.SetProgress(maximum, 0);
            std::vector<BoardRow> rows(static_cast<size_t>(n));
            for (BoardRow &row : rows)
                row.values.fill(kClearValue);  // an absent board's channels read as "-L-"
            for (int r = 0; r < n && mask == 0; ++r) {
                mask |= EachBoard([&](int g, std::uint8_t id) {
                    int retry = RetryCount;
                    QByteArray reply;
                    if (!ReadMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(r), reply))
                        return false;
                    BoardRow &row = rows[size_t(r)];
                    if (g == lead)
                        row.speed = std::uint8_t(reply[1]);
                    for (int k = 0; k < kBoardChannels; ++k)
                        row.values[size_t(kBoardChannels * g + k)] = std::uint8_t(reply[2 + k]);
                    return true;
                });
                view_.SetProgress(maximum, r);
            }
            if (mask == 0) {
                MotionRows read;
                read.reserve(n);
                for (int r = 0; r < n; ++r)
                    read.append(RowFromBoards(r, rows[size_t(r)]));
                data.replaceAll(data.captions(), std::move(read));
                if (Ask(main_, MotReadDone, PromptButtons::OkCancel) == PromptAnswer::Ok)
                    main_.ReleaseSleep();
            }
        }
    }

    view_.Refresh();
    if (mask != 0)
        Tell(main_, PromptIcon::Error, MotTransferFailed);
    else if (empty)
        Tell(main_, PromptIcon::Warning, MotReadEmpty);
    view_.SetProgress(maximum, 0);
    if (mask != 0)
        return TransferResult::Failed;
    return empty ? TransferResult::Stopped : TransferResult::Succeeded;
}

TransferResult MotionTransfer::Clear(int slot)
{
    if (running_)
        return TransferResult::Stopped;
    if (Ask(main_, MotClearQuestion, PromptButtons::YesNo) != PromptAnswer::Yes)
        return TransferResult::Stopped;
    constexpr int maximum = kSlotRowLimit - 1;
    view_.SetProgress(maximum, 0);
    int mask = 0;
    {
        BusyWindow busy(view_, running_);
        if (!main_.EnsureSleep()) {
            mask = 3;
        } else {
            ChannelValues cleared;
            cleared.fill(kClearValue);
            for (int r = 0; r < kSlotRowLimit; ++r) {
                mask |= EachBoard([&](int, std::uint8_t id) {
                    int retry = MainRetryCount;
                    return WriteMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(r), kClearSpeed, cleared);
                });
                if (mask != 0)
                    break;
                view_.SetProgress(maximum, r);
            }
            if (mask == 0) {
                mask |= SetLength(slot, 0, MainRetryCount);
                if (Ask(main_, MotClearDone, PromptButtons::OkCancel) == PromptAnswer::Ok)
                    main_.ReleaseSleep();
            }
        }
        // The editor's rows are the user's own work and have nothing to do with the slot: they stay.
        if (mask != 0)
            Tell(main_, PromptIcon::Error, MotTransferFailed);
        view_.SetProgress(maximum, 0);
    }
    return mask == 0 ? TransferResult::Succeeded : TransferResult::Failed;
}

TransferResult MotionTransfer::Play(int slot)
{
    // The window stays enabled, so a second click may arrive while the commands wait: it is ignored
    // rather than started inside the running transaction.
    if (running_)
        return TransferResult::Stopped;
    RunningFlag flag(running_);
    const int lead = main_.FirstPresentGroup();
    if (lead >= 0) {
        int retry = RetryCount;
        std::uint8_t mode = 0;
        if (!GetMode(retry, std::uint8_t(Id(lead)), mode))
            return TransferResult::Stopped;
        if (mode != 0)
            Tell(main_, PromptIcon::Warning, MotPlayWarning);
    }
    if (!main_.ReleaseSleep())
        return TransferResult::Stopped;
    const int mask = EachBoard([&](int, std::uint8_t id) {
        int retry = RetryCount;
        return PlayMotion(retry, id, std::uint8_t(slot));
    });
    if (mask != 0) {
        Tell(main_, PromptIcon::Error, MotTransferFailed);
        return TransferResult::Failed;
    }
    return TransferResult::Succeeded;
}

}  // namespace orvane
