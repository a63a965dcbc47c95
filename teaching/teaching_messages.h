#pragma once
// Texts of the teaching window.

#include "session/message_table.h"

namespace orvane {

enum TeachingEntry {
    TchTitle,
    TchHintShot,
    TchHintNow,
    TchHintAdd,
    TchServoStart,  // before the servos are driven again on opening
    TchWarning,
    TchKeyShot,  // second line of the shot button's hint
    TchKeyAdd,   // second line of the add button's hint
    TchAutoCapture,
    TchStillTime,
    TchStillDeg,
    TchSeconds,  // unit after a spin box
    TchDegrees,
    TchRowCount,  // %1: rows taken since ticking
    TchRecord,
    TchRecTolerance,
    TchRecording,  // %1 seconds, %2 samples
    TchReduced,    // %1 samples, %2 rows
    TchRecSave,
    TchRecLoad,
    TchTraceFilter,
    TchSaveTitle,
    TchLoadTitle,
    TchSaveFailed,
    TchLoadFailed,
    TchNoTrace,
    TchNoFree,
    TchBoardSilent,
    TchHintAuto,
    TchHintRecord,
    TchEntryCount
};

extern const MessageTable<TchEntryCount> TeachingMessages;

}  // namespace orvane
