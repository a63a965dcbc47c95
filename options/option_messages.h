#pragma once
// Texts of the options window.

#include "session/message_table.h"

namespace orvane {

enum OptionEntry {
    OptTitle,
    OptIdTitle,
    OptTrimTitle,
    OptTrimNote,
    OptRead,
    OptReset,
    OptExit,
    OptResetQuestion,
    OptWarning,
    OptImageTitle,
    OptImageBackup,
    OptImageRestore,
    OptImageHome,
    OptImageFilter,
    OptImageSaveTitle,
    OptImageOpenTitle,
    OptImageSaved,
    OptImageBackupFailed,
    OptImageSaveFailed,
    OptImageUnreadable,
    OptImageRefused,
    OptImageNoBoard,
    OptImageRestoreQuestion,
    OptImageLeftOut,
    OptImageHomeWarning,
    OptImageRestored,
    OptImageRestoredHome,
    OptImageRestoreFailed,
    OptImageDifferences,
    OptImageNoAnswer,
    OptEntryCount
};

extern const MessageTable<OptEntryCount> OptionMessages;

}  // namespace orvane
