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
    TchEntryCount
};

extern const MessageTable<TchEntryCount> TeachingMessages;

}  // namespace orvane
