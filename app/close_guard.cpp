#include "app/close_guard.h"

#include "session/message_table.h"
#include "session/prompt.h"

namespace {
enum { Title, Running };
}  // namespace

bool MayCloseNow(bool transferRunning, Prompt &prompt)
{
    if (!transferRunning)
        return true;
    // A box that waited for its OK would hold the transfer still below this request.
    prompt.Notice(PromptIcon::Information, kCloseGuardMessages(Title), kCloseGuardMessages(Running));
    return false;
}
