#include "motion/motion_transfer.h"

#include "motion/motion_document.h"
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

ChannelValues GroupValues(const BoardRow &row, int group)
{
    ChannelValues values;
    for (int k = 0; k < kChannelsPerBoard; ++k)
        values[size_t(k)] = row.values[size_t(kChannelsPerBoard * group + k)];
    return values;
}

TransferBox Question(int entry, PromptButtons buttons, const QString &prefix = {})
{
    return {PromptIcon::Question, MotionMessage(MotConfirmTitle), prefix + MotionMessage(entry), buttons};
}

TransferBox Notice(PromptIcon icon, int entry)
{
    return {icon, MotionMessage(MotWarningTitle), MotionMessage(entry), PromptButtons::Ok};
}

TransferBox Failure() { return Notice(PromptIcon::Error, MotTransferFailed); }

void Tell(MainOperations &main, const TransferBox &box)
{
    main.UserPrompt().Message(box.icon, box.title, box.text, box.buttons);
}

}  // namespace

std::optional<BoardRow> RowForBoards(const MotionRows &rows, qsizetype row)
{
    BoardRow out;
    const std::optional<int> speed = ParseDecimal(rows.FieldView(row, kSpeedColumn));
    if (!speed || *speed < 0 || *speed > 255)
        return std::nullopt;
    out.speed = std::uint8_t(*speed);
    for (int n = 0; n < kChannelCount; ++n) {
        const std::optional<int> v = ParseDecimal(rows.FieldView(row, kFirstChannelColumn + n));
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

TransferResult MotionTransfer::Write(const MotionData &data, int slot)
{
    if (transfer_.Running())
        return TransferResult::Stopped;
    if (data.Count() == 0) {
        Tell(main_, Notice(PromptIcon::Warning, MotWriteEmpty));
        return TransferResult::Stopped;
    }
    RowWrite write;
    write.ask = {Question(MotWriteQuestion, PromptButtons::OkCancel, QStringLiteral("M") + QString::number(slot))};
    int n = data.Count();
    if (n > kMotionRowsPerSlot) {
        write.ask.push_back(Question(MotWriteOver100, PromptButtons::YesNo));
        n = kMotionRowsPerSlot;
    }
    // Taken before anything is sent: the list may change while the commands wait.
    std::vector<BoardRow> rows;
    write.prepare = [&] {
        rows.reserve(size_t(n));
        for (int r = 0; r < n; ++r) {
            const std::optional<BoardRow> row = RowForBoards(data.Rows(), r);
            if (!row) {
                Tell(main_, Notice(PromptIcon::Warning, MotUnwritableRow));
                return false;
            }
            rows.push_back(*row);
        }
        return true;
    };
    write.rows = n;
    write.progressOnFailedRow = true;
    write.sendRow = [&](int group, std::uint8_t id, int r) {
        int retry = RetryCount;
        const BoardRow &row = rows[size_t(r)];
        return WriteMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(r), row.speed, GroupValues(row, group));
    };
    write.sendLength = [&](std::uint8_t id) {
        int retry = RetryCount;
        return SetMotionLength(retry, id, std::uint8_t(slot), std::uint8_t(n));
    };
    write.closing = Question(MotWriteDone, PromptButtons::OkCancel);
    write.failure = Failure();
    return transfer_.WriteRows(write);
}

TransferResult MotionTransfer::Read(MotionDocument &document, int slot)
{
    BoardTransfer::Run run = transfer_.Begin();
    if (!run)
        return TransferResult::Stopped;
    run.Busy();
    std::array<int, 2> counts{};
    run.EachBoard([&](int g, std::uint8_t id) {
        int retry = RetryCount;
        return GetMotionLength(retry, id, std::uint8_t(slot), counts[size_t(g)]);
    });

    bool empty = false;
    if (run.Ok()) {
        const int lead = main_.FirstPresentGroup();
        const int n = lead < 0 ? 0 : counts[size_t(lead)];
        if (n == 0) {
            empty = true;
        } else if (run.EnsureSleep()) {
            const int maximum = n - 1;
            run.Progress(maximum, 0);
            std::vector<BoardRow> rows(static_cast<size_t>(n));
            for (BoardRow &row : rows)
                row.values.fill(kValueLow);  // an absent board's channels read as "-L-"
            for (int r = 0; r < n && run.Ok(); ++r) {
                run.EachBoard([&](int g, std::uint8_t id) {
                    int retry = RetryCount;
                    QByteArray reply;
                    if (!ReadMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(r), reply))
                        return false;
                    BoardRow &row = rows[size_t(r)];
                    if (g == lead)
                        row.speed = std::uint8_t(reply[1]);
                    for (int k = 0; k < kChannelsPerBoard; ++k)
                        row.values[size_t(kChannelsPerBoard * g + k)] = std::uint8_t(reply[2 + k]);
                    return true;
                });
                run.Progress(maximum, r);
            }
            if (run.Ok()) {
                MotionRows read;
                read.Reserve(n);
                for (int r = 0; r < n; ++r)
                    read.Append(RowFromBoards(r, rows[size_t(r)]));
                document.ReplaceFromBoard(std::move(read));
                run.Close(Question(MotReadDone, PromptButtons::OkCancel));
            }
        }
    }

    view_.Refresh();
    if (empty) {
        run.Tell(Notice(PromptIcon::Warning, MotReadEmpty));
        run.Finish(Failure());
        return TransferResult::Stopped;
    }
    return run.Finish(Failure());
}

TransferResult MotionTransfer::Clear(int slot)
{
    ChannelValues cleared;
    cleared.fill(kValueLow);
    RowWrite write;
    write.ask = {Question(MotClearQuestion, PromptButtons::YesNo)};
    write.rows = kMotionRowsPerSlot;
    write.progressMaximum = kMotionRowsPerSlot - 1;
    write.progressAfterRow = 0;
    write.sendRow = [&](int, std::uint8_t id, int r) {
        int retry = MainRetryCount;
        return WriteMotionRow(retry, id, std::uint8_t(slot), std::uint8_t(r), kClearSpeed, cleared);
    };
    write.sendLength = [&](std::uint8_t id) {
        int retry = MainRetryCount;
        return SetMotionLength(retry, id, std::uint8_t(slot), 0);
    };
    write.closing = Question(MotClearDone, PromptButtons::OkCancel);
    // The editor's rows are the user's own work and have nothing to do with the slot: they stay.
    write.failure = Failure();
    return transfer_.WriteRows(write);
}

TransferResult MotionTransfer::Play(int slot)
{
    PlayRequest play;
    play.warning = Notice(PromptIcon::Warning, MotPlayWarning);
    play.send = [slot](std::uint8_t id) {
        int retry = RetryCount;
        return PlayMotion(retry, id, std::uint8_t(slot));
    };
    play.failure = Failure();
    return transfer_.Play(play);
}

}  // namespace orvane
