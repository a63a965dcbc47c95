// TMainForm, its closing sequence: settings saved first, motion data offered for saving, then the exit question.

#include "app/main_form.h"

#include "app/close_guard.h"
#include "app/main_messages.h"
#include "motion/motion_form.h"
#include "protocol/serial_port.h"
#include "session/prompt.h"

#include <QCloseEvent>

// Closing

void TMainForm::EXIT_BTNClick() { close(); }

bool TMainForm::FormClose()
{
    SaveSettings();
    TMotionForm *motion = windows_.Find<TMotionForm>();
    if (motion && motion->HasRows()
        && prompt_.Message(PromptIcon::Question, MainMessage(MsgConfirm), MainMessage(MsgSaveMotion),
                           PromptButtons::YesNo)
               == PromptAnswer::Yes)
        motion->Save();
    if (prompt_.Message(PromptIcon::Question, MainMessage(MsgConfirm), MainMessage(MsgFinish), PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return false;
    ReleasePort();
    return true;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    const TMotionForm *motion = windows_.Find<TMotionForm>();
    if (!MayCloseNow(motion && motion->TransferRunning(), prompt_) || !FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // The program ends with this window, also when the request came inside a nested event loop.
    windows_.HideAll();
    emit Closed();
}
