#include "app/home_ops.h"

#include "app/home_dialog.h"
#include "app/home_file.h"
#include "app/main_messages.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Failure texts of the home files; everything else comes from the main window's table.
enum { ReadFailed, SaveFailed, AlreadyExists };
}  // namespace

namespace {
QString Text(int entry) { return kHomeFileMessages(entry); }

constexpr int kChannelsPerBoard = orvane::kChannelsPerBoard;

uint8_t Id(const MainOperations &main, int group) { return uint8_t(main.BoardId(group)); }

// Reads one board's home position; on success hands channel and value to `take` for its twelve channels.
template <typename Take>
bool ReadBoardHome(MainOperations &main, int group, Take take)
{
    int retry = MainRetryCount;
    QByteArray reply;
    if (!GetHomePosition(retry, Id(main, group), reply))
        return false;
    for (int k = 1; k <= kChannelsPerBoard; ++k)
        take(kChannelsPerBoard * group + k, int(uint8_t(reply.at(k))));
    return true;
}

void Warn(Prompt &prompt, int entry, const QString &path, const QString &error)
{
    QString text = Text(entry) + QLatin1Char('\n') + QDir::toNativeSeparators(path);
    if (!error.isEmpty())
        text += QLatin1Char('\n') + error;
    prompt.Message(PromptIcon::Warning, MainMessage(MsgWarning), text, PromptButtons::Ok);
}

QString StartName(const THomeDialog &dialog, const MainOperations &main, const QString &remembered)
{
    return remembered.isEmpty() ? orvane::HomeFileStartPath(main.StartFolder(), dialog.StartDate()) : remembered;
}

}  // namespace

void RegisterHome(MainOperations &main)
{
    Prompt &prompt = main.UserPrompt();
    if (prompt.Message(PromptIcon::Question, MainMessage(MsgConfirm), MainMessage(MsgClearHome), PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;

    orvane::FailureMask mask = 0;
    for (int group = 0; group < 2; ++group) {
        if (!main.BoardPresent(group))
            continue;
        int retry = MainRetryCount;
        if (!SetHomePosition(retry, Id(main, group)))
            mask |= orvane::GroupFailure(group);
    }
    // A board that missed the command keeps its old home: reading either back would mix two poses.
    if (mask == 0) {
        for (int group = 0; group < 2; ++group) {
            if (!main.BoardPresent(group))
                continue;
            const bool read = ReadBoardHome(main, group, [&main](int channel, int value) {
                main.SetHomeValue(channel, value);
                main.SetChannel(channel, value, orvane::ChannelSource::User);
            });
            if (!read)
                mask |= orvane::GroupFailure(group);
        }
    }
    main.ShowLinkStatus(mask);
}

bool GetHomeFromBoard(MainOperations &main)
{
    orvane::FailureMask mask = 0;
    for (int group = 0; group < 2; ++group) {
        if (!main.BoardPresent(group))
            continue;
        const bool read = ReadBoardHome(main, group, [&main](int channel, int value) {
            main.SetHomeValue(channel, value);
            main.ShowChannelValue(channel);
        });
        if (!read)
            mask |= orvane::GroupFailure(group);
    }
    main.ShowLinkStatus(mask);
    return mask == 0;
}

void OpenHomeFile(THomeDialog &dialog, MainOperations &main)
{
    Prompt &prompt = main.UserPrompt();
    const QString path = prompt.OpenFile(MainMessage(MsgHomeOpenTitle), MainMessage(MsgHomeOpenFilter),
                                         StartName(dialog, main, dialog.OpenFileName()));
    if (path.isEmpty())
        return;
    dialog.SetOpenFileName(path);

    // An unreadable file must not turn every channel into 90 as if it had been empty.
    orvane::HomeFileContent content;
    QString error;
    if (!orvane::ReadHomeFile(path, &content, &error)) {
        Warn(prompt, ReadFailed, path, error);
        return;
    }
    for (int n = 1; n <= orvane::kChannelCount; ++n) {
        const int value = content.values[n - 1];
        main.SetHomeValue(n, value);
        main.ShowChannelValue(n);
        main.SetChannel(n, value, orvane::ChannelSource::User);
    }
    if (main.SyncMode()) {
        prompt.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgServoStart), PromptButtons::Ok);
        main.SendBoardPositions(0, 0);
        main.SendBoardPositions(1, 0);
    }
}

void SaveHomeFile(THomeDialog &dialog, MainOperations &main)
{
    Prompt &prompt = main.UserPrompt();
    const QString chosen = prompt.SaveFile(MainMessage(MsgHomeSaveTitle), MainMessage(MsgHomeSaveFilter),
                                           StartName(dialog, main, dialog.SaveFileName()));
    if (chosen.isEmpty())
        return;
    const QString path = orvane::WithHomeFileExtension(chosen);
    dialog.SetSaveFileName(path);

    // The save dialog asked about the name as typed; the extended name may be another, existing file.
    if (path != chosen && QFileInfo::exists(path)) {
        const QString question = Text(AlreadyExists).arg(QDir::toNativeSeparators(path));
        if (prompt.Message(PromptIcon::Question, MainMessage(MsgConfirm), question, PromptButtons::YesNo)
            != PromptAnswer::Yes)
            return;
    }

    orvane::HomePosition home;
    for (int n = 1; n <= orvane::kChannelCount; ++n)
        home[n - 1] = main.HomeValue(n);
    QString error;
    if (!orvane::SaveHomeFile(path, home, &error))
        Warn(prompt, SaveFailed, path, error);
}

void RunHomeOperation(int result, THomeDialog &dialog, MainOperations &main)
{
    switch (result) {
    case THomeDialog::RegisterResult: RegisterHome(main); break;
    case THomeDialog::GetFromBoardResult: GetHomeFromBoard(main); break;
    case THomeDialog::OpenFileResult: OpenHomeFile(dialog, main); break;
    case THomeDialog::SaveFileResult: SaveHomeFile(dialog, main); break;
    default: break;
    }
}

void RunHomeDialog(THomeDialog &dialog, MainOperations &main) { RunHomeOperation(dialog.exec(), dialog, main); }
