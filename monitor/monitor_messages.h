#pragma once
// Texts of the line monitor, one row per language, picked by LanguageIndex.

#include "session/message_table.h"

#include <QString>

enum MonitorEntry {
    MonTitle,  // also the hint of the main window's button
    MonPause,
    MonClear,
    MonSave,
    MonFilterAll,
    MonFilterBoard,
    MonHintFilter,
    MonColTime,
    MonColId,
    MonColCommand,
    MonColTry,
    MonColSent,
    MonColReceived,
    MonColRoundTrip,
    MonColOutcome,
    MonStatId,
    MonStatTransactions,
    MonStatFailures,
    MonStatRetries,
    MonStatMedian,
    MonStatP99,
    MonStatLastAnswer,
    MonOk,
    MonOkAfter,
    MonNoReply,
    MonShortReply,
    MonBadChecksum,
    MonWrongId,
    MonNotAcknowledged,
    MonLateBytes,
    MonSentOnly,
    MonPortClosed,
    MonSaveTitle,
    MonSaveFilter,
    MonSaveSuffix,
    MonSaveFailed,
    MonWarningTitle,
    MonitorEntryCount
};

extern const orvane::MessageTable<MonitorEntryCount> kMonitorMessages;

QString MonitorText(MonitorEntry entry, int language = LanguageIndex);
