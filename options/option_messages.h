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
    OptEntryCount
};

extern const MessageTable<OptEntryCount> OptionMessages;

}  // namespace orvane
