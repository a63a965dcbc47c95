#pragma once
// Texts of the scenario editor and its board transfers.

#include "session/message_table.h"

namespace orvane {

enum ScenarioEntry {
    ScnMotionReadDone,
    ScnInputTitle,
    ScnBaseNamePrompt,
    ScnMotionReadQuestion,
    ScnDataLost,
    ScnEmptySlotName,
    ScnFileRejected,
    ScnSaveEmpty,
    ScnPasteAfterLast,
    ScnWriteEmpty,
    ScnTransferFailed,
    ScnWriteDone,
    ScnWriteOver200,
    ScnWriteQuestion,  // follows the slot text ("S2")
    ScnReadDone,
    ScnReadEmpty,
    ScnClearDone,
    ScnPlayEmpty,
    ScnPlayWarning,
    ScnRenamePrompt,
    ScnWindowTitle,
    ScnHintMotRead,
    ScnHintNew,
    ScnOpen,  // hint of OPEN_BTN and the open dialog's title
    ScnSave,  // hint of SAVE_BTN and the save dialog's title
    ScnCopy,
    ScnCut,
    ScnPaste,
    ScnDown,
    ScnUp,
    ScnDelete,
    ScnHintWrite,
    ScnHintRead,
    ScnHintClear,
    ScnHintPlay,
    ScnHintFileNum,
    ScnMotionListLabel,
    ScnScenarioLabel,
    ScnWarningTitle,
    ScnConfirmTitle,
    ScnFileFilter,
    ScnSaveFailed,        // followed by the system's reason
    ScnSlotInvalid,       // a stored length the boards cannot hold
    ScnUnwritableMotion,  // a row whose motion number is no byte
    ScnUndo,
    ScnRedo,
    ScenarioEntryCount
};

extern const MessageTable<ScenarioEntryCount> kScenarioMessages;

}  // namespace orvane
