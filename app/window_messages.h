#pragma once
// The texts of the home position and label dialogs, the home files and the close guard. They sit apart from
// those windows so that the texts can be read (and checked) without any widget.

#include "session/message_table.h"

// The four choices of the home position dialog and its title.
extern const orvane::MessageTable<5> kHomeDialogMessages;
// The label dialog's title and colour hint.
extern const orvane::MessageTable<2> kLabelMessages;
// Failure texts of the home files.
extern const orvane::MessageTable<3> kHomeFileMessages;
// Why the program cannot close during a board transfer.
extern const orvane::MessageTable<2> kCloseGuardMessages;
