#include "app/close_guard.h"

#include "session/message_table.h"
#include "session/prompt.h"

namespace {
enum { Title, Running };
}  // namespace

const orvane::MessageTable<2> kCloseGuardMessages{
    {"確認", "ボードとの通信中です。通信が終わってから終了してください"},
    {"Confirmation", "Communicating with the boards. Close the program when the transfer has ended."},
};

bool CloseGuard::MayClose(bool transferRunning, Prompt &prompt)
{
    if (!transferRunning)
        return true;
    if (!telling_) {
        telling_ = true;
        prompt.Message(PromptIcon::Information, kCloseGuardMessages(Title), kCloseGuardMessages(Running),
                       PromptButtons::Ok);
        telling_ = false;
    }
    return false;
}
