#pragma once
// Texts of the motion editor and its board transfers, one row per language, picked by LanguageIndex.

#include "session/message_table.h"

#include <QString>

namespace orvane {

enum MotionEntry {
    MotRenameTitle,
    MotRenamePrompt,
    MotClearQuestion,
    MotClearDone,
    MotReadDone,
    MotTransferFailed,
    MotPlayWarning,
    MotReadEmpty,
    MotWriteEmpty,
    MotWriteDone,
    MotWriteOver100,
    MotWriteQuestion,  // follows the motion number ("M3")
    MotPasteAfterLast,
    MotSaveEmpty,
    MotFileRejected,
    MotDataLost,
    MotRenewLabel,
    MotWindowTitle,
    MotHintNew,
    MotHintOpen,
    MotHintSave,
    MotHintDefScr,
    MotCopy,
    MotCut,
    MotPaste,
    MotHintWrite,
    MotHintRead,
    MotHintClear,
    MotHintRun,
    MotHintMotionNum,
    MotEdit,
    MotInsert,
    MotDelete,
    MotCaption,  // the caption line and the file dialogs' filter
    MotSpeedMenu,
    MotRenameMenu,
    MotConfirmTitle,
    MotWarningTitle,
    MotSaveFailed,     // followed by the system's reason
    MotOpenFailed,     // followed by the system's reason
    MotUnwritableRow,  // a row whose speed or channel value is no byte
    MotUndo,
    MotRedo,
    MotionEntryCount
};

extern const MessageTable<MotionEntryCount> kMotionMessages;

QString MotionMessage(int entry);

}  // namespace orvane
