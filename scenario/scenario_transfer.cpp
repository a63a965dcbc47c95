#include "scenario/scenario_transfer.h"

#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "scenario/scenario_messages.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <vector>

namespace orvane {

namespace {

QString Text(int entry) { return kScenarioMessages(entry); }

PromptAnswer Ask(MainOperations &main, int entry, PromptButtons buttons, PromptIcon icon = PromptIcon::Question)
{
    return main.UserPrompt().Message(icon, Text(ScnConfirmTitle), Text(entry), buttons);
}

void Tell(MainOperations &main, PromptIcon icon, int entry)
{
    main.UserPrompt().Message(icon, Text(ScnWarningTitle), Text(entry), PromptButtons::Ok);
}

void Failure(MainOperations &main) { Tell(main, PromptIcon::Error, ScnTransferFailed); }

class RunningFlag {
public:
    explicit RunningFlag(bool &running) : running_(running) { running_ = true; }
    ~RunningFlag() { running_ = false; }

private:
    bool &running_;
};

}  // namespace

// Disabled from the first holder to the last, so a motion list read inside a scenario read does not enable
// the window halfway; the progress bar goes back to 0 with the last holder.
class ScenarioTransfer::Busy {
public:
    explicit Busy(ScenarioTransfer &t) : t_(t)
    {
        if (t_.busyDepth_++ == 0)
            t_.view_.SetBusy(true);
    }
    ~Busy()
    {
        if (--t_.busyDepth_ == 0) {
            t_.view_.SetProgress(1, 0);
            t_.view_.SetBusy(false);
        }
    }

private:
    ScenarioTransfer &t_;
};

template <typename Send>
int ScenarioTransfer::EachBoard(Send send)
{
    int mask = 0;
    for (int g = 0; g < 2; ++g) {
        if (main_.BoardPresent(g) && !send(g, std::uint8_t(main_.BoardId(g))))
            mask |= 1 << g;
    }
    return mask;
}

int ScenarioTransfer::SetLength(int slot, int rows)
{
    return EachBoard([&](int, std::uint8_t id) {
        int retry = RetryCount;
        return SetScenarioLength(retry, id, std::uint8_t(slot), std::uint8_t(rows));
    });
}

ScenarioResult ScenarioTransfer::ReadMotionList()
{
    if (running_)
        return ScenarioResult::Stopped;
    RunningFlag flag(running_);
    if (!motions_.IsEmpty() && Ask(main_, ScnMotionReadQuestion, PromptButtons::OkCancel) != PromptAnswer::Ok)
        return ScenarioResult::Stopped;
    return ReadMotionListSteps();
}

ScenarioResult ScenarioTransfer::ReadMotionListSteps()
{
    if (!main_.EnsureSleep()) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    Busy busy(*this);
    SlotNaming naming;
    naming.emptyName = Text(ScnEmptySlotName);
    naming.rename = main_.UserPrompt().Input(Text(ScnInputTitle), Text(ScnBaseNamePrompt), naming.baseName);
    view_.SetProgress(kMotionSlotCount, 0);

    // Read into a copy: the names the user typed survive a read that breaks off.
    SlotList read = motions_.List();
    const std::array<int, 2> ids{main_.BoardId(0), main_.BoardId(1)};
    const bool ok = ReadSlotCounts(
        read, ids,
        [](int id, int slot, int &count) {
            int retry = RetryCount;
            return GetMotionLength(retry, std::uint8_t(id), std::uint8_t(slot), count);
        },
        naming, [this](int done) { view_.SetProgress(kMotionSlotCount, done); });
    if (!ok) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    motions_.Replace(read);
    if (naming.rename)
        scenario_.RefreshNames(motions_.List());
    if (Ask(main_, ScnMotionReadDone, PromptButtons::OkCancel, PromptIcon::Information) == PromptAnswer::Ok)
        main_.ReleaseSleep();
    return ScenarioResult::Succeeded;
}

ScenarioResult ScenarioTransfer::Write(int slot, const QString &slotText)
{
    if (running_)
        return ScenarioResult::Stopped;
    RunningFlag flag(running_);
    int n = scenario_.Count();
    if (n == 0) {
        Tell(main_, PromptIcon::Warning, ScnWriteEmpty);
        return ScenarioResult::Stopped;
    }
    // Taken before anything is sent: the list may change while the commands wait.
    std::vector<std::uint8_t> items;
    items.reserve(size_t(std::min(n, kScenarioItemLimit)));
    for (int i = 0; i < n && i < kScenarioItemLimit; ++i) {
        const std::optional<int> number = MotionNumberOf(scenario_.Row(i).motion);
        if (!number || *number < 0 || *number > 255) {
            Tell(main_, PromptIcon::Warning, ScnUnwritableMotion);
            return ScenarioResult::Stopped;
        }
        items.push_back(std::uint8_t(*number));
    }
    if (main_.UserPrompt().Message(PromptIcon::Question, Text(ScnWarningTitle), slotText + Text(ScnWriteQuestion),
                                   PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return ScenarioResult::Stopped;
    if (!main_.EnsureSleep()) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    Busy busy(*this);
    if (n > kScenarioItemLimit) {
        if (Ask(main_, ScnWriteOver200, PromptButtons::YesNo) != PromptAnswer::Yes)
            return ScenarioResult::Stopped;
        n = kScenarioItemLimit;
    }
    view_.SetProgress(n, 0);
    int mask = 0;
    for (int i = 0; i < n && mask == 0; ++i) {
        mask = EachBoard([&](int, std::uint8_t id) {
            int retry = RetryCount;
            return WriteScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(i), items[size_t(i)]);
        });
        if (mask == 0)
            view_.SetProgress(n, i + 1);
    }
    // The length goes last, so a board keeps its old length until every row has arrived; a write whose
    // length did not arrive is no completed write.
    if (mask == 0)
        mask = SetLength(slot, n);
    if (mask != 0) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    if (Ask(main_, ScnWriteDone, PromptButtons::OkCancel) == PromptAnswer::Ok)
        main_.ReleaseSleep();
    return ScenarioResult::Succeeded;
}

ScenarioResult ScenarioTransfer::Read(int slot)
{
    if (running_)
        return ScenarioResult::Stopped;
    RunningFlag flag(running_);
    if (!main_.EnsureSleep()) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    Busy busy(*this);
    if (motions_.IsEmpty() && ReadMotionListSteps() != ScenarioResult::Succeeded)
        return ScenarioResult::Failed;  // said so already; the boards stay asleep

    const auto end = [this](ScenarioResult result) {
        view_.ShowRowCount();
        return result;
    };
    std::array<int, 2> lengths{};
    int mask = EachBoard([&](int g, std::uint8_t id) {
        int retry = RetryCount;
        return GetScenarioLength(retry, id, std::uint8_t(slot), lengths[size_t(g)]);
    });
    if (mask == 0 && main_.BoardPresent(0) && main_.BoardPresent(1) && lengths[0] != lengths[1])
        mask = 2;
    if (mask != 0) {
        Failure(main_);
        return end(ScenarioResult::Failed);
    }
    const int lead = main_.FirstPresentGroup();
    const int length = lead < 0 ? 0 : lengths[size_t(lead)];
    if (length == 0) {
        // The boards answered: the slot is empty.
        scenario_.Clear();
        Tell(main_, PromptIcon::Warning, ScnReadEmpty);
        return end(ScenarioResult::Stopped);
    }
    if (length > kScenarioItemLimit) {
        Tell(main_, PromptIcon::Warning, ScnSlotInvalid);
        return end(ScenarioResult::Stopped);
    }

    view_.SetProgress(length, 0);
    QList<ScenarioRow> rows;
    rows.reserve(length);
    for (int i = 0; i < length; ++i) {
        std::array<int, 2> numbers{};
        mask = EachBoard([&](int g, std::uint8_t id) {
            int retry = RetryCount;
            return ReadScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(i), numbers[size_t(g)]);
        });
        if (mask == 0 && main_.BoardPresent(0) && main_.BoardPresent(1) && numbers[0] != numbers[1])
            mask = 2;
        if (mask != 0) {
            Failure(main_);
            return end(ScenarioResult::Failed);
        }
        const int number = numbers[size_t(lead)];
        // A number past the motion list names no slot: no name to show.
        rows.append(
            {QStringLiteral("M") + QString::number(number), motions_.List().NameOf(number).value_or(QString())});
        view_.SetProgress(length, i + 1);
    }
    scenario_.Replace(std::move(rows));
    view_.ShowRowCount();
    if (Ask(main_, ScnReadDone, PromptButtons::OkCancel) == PromptAnswer::Ok)
        main_.ReleaseSleep();
    return end(ScenarioResult::Succeeded);
}

ScenarioResult ScenarioTransfer::Clear(int slot)
{
    if (running_)
        return ScenarioResult::Stopped;
    RunningFlag flag(running_);
    if (Ask(main_, ScnDataLost, PromptButtons::YesNo) != PromptAnswer::Yes)
        return ScenarioResult::Stopped;
    if (!main_.EnsureSleep()) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    Busy busy(*this);
    view_.SetProgress(kScenarioItemLimit, 0);
    int mask = 0;
    for (int i = 0; i < kScenarioItemLimit && mask == 0; ++i) {
        mask = EachBoard([&](int, std::uint8_t id) {
            int retry = RetryCount;
            return WriteScenarioItem(retry, id, std::uint8_t(slot), std::uint8_t(i), 0);
        });
        if (mask == 0)
            view_.SetProgress(kScenarioItemLimit, i + 1);
    }
    if (mask == 0)
        mask = SetLength(slot, 0);
    if (mask != 0) {
        // The slot is not known to be empty: the rows in the window stay.
        Failure(main_);
        return ScenarioResult::Failed;
    }
    scenario_.Clear();
    view_.ShowRowCount();
    if (Ask(main_, ScnClearDone, PromptButtons::OkCancel) == PromptAnswer::Ok)
        main_.ReleaseSleep();
    return ScenarioResult::Succeeded;
}

ScenarioResult ScenarioTransfer::Play(int slot)
{
    // The window stays enabled, so a second click may arrive while the commands wait: it is ignored.
    if (running_)
        return ScenarioResult::Stopped;
    RunningFlag flag(running_);
    const int lead = main_.FirstPresentGroup();
    if (lead >= 0) {
        int retry = RetryCount;
        std::uint8_t mode = 0;
        if (!GetMode(retry, std::uint8_t(main_.BoardId(lead)), mode))
            return ScenarioResult::Stopped;
        if (mode != 0)
            Tell(main_, PromptIcon::Warning, ScnPlayWarning);
    }
    if (!main_.ReleaseSleep())
        return ScenarioResult::Stopped;
    if (lead >= 0) {
        int retry = RetryCount;
        int length = 0;
        if (!GetScenarioLength(retry, std::uint8_t(main_.BoardId(lead)), std::uint8_t(slot), length)) {
            Tell(main_, PromptIcon::Warning, ScnPlayEmpty);
            return ScenarioResult::Stopped;
        }
    }
    const int mask = EachBoard([&](int, std::uint8_t id) {
        int retry = RetryCount;
        return PlayScenario(retry, id, std::uint8_t(slot));
    });
    if (mask != 0) {
        Failure(main_);
        return ScenarioResult::Failed;
    }
    return ScenarioResult::Succeeded;
}

}  // namespace orvane
