#pragma once
// Texts of the program entry and the main window, one row per language, picked by LanguageIndex.

#include "session/message_table.h"

#include <QString>

enum StartupEntry { StartupText, StartupTitle };

// Entries of the main message table (47 per language).
enum MainEntry {
    MsgSaveMotion = 0,
    MsgFinish = 1,
    MsgConfirm = 2,
    MsgPortOff = 3,
    MsgOverwriteMany = 4,
    MsgOverwriteOne = 5,
    MsgSelectToReplace = 6,
    MsgStatusPrefix1 = 7,
    MsgStatusPrefix2 = 8,
    MsgSuccess = 9,
    MsgFault = 10,
    MsgClearHome = 11,
    MsgWarning = 12,
    MsgCopyToWritable = 13,
    MsgServoStart = 14,
    MsgDesktopCaption = 15,
    MsgDesktopPrompt = 16,
    MsgServoStop = 17,
    HintMotionFile = 18,
    HintHome = 19,
    HintOption = 20,
    HintTransmitter = 21,
    HintLabel = 22,
    HintInfo = 23,
    HintExit = 24,
    HintCommPort = 25,
    HintDesktop = 26,
    HintDataName = 27,
    HintSyncOn = 28,
    HintSyncOff = 29,
    HintSpeed = 30,
    HintChannelLabel = 31,
    HintShot = 32,
    HintSetPos = 33,
    HintGetPos = 34,
    HintNow = 35,
    HintSleep = 36,
    HintDefault = 37,
    HintGrid = 38,
    HintGraph = 39,
    HintAddItem = 40,
    HintOverwrite = 41,
    MsgHomeSaveFilter = 42,
    MsgHomeSaveTitle = 43,
    MsgHomeOpenFilter = 44,
    MsgHomeOpenTitle = 45,
    MsgStandardDesktop = 46,
    MainEntryCount = 47
};

// Board mode names of status field 0: 0 sleep, 1 default, 2 teaching, 3 default.
enum BoardModeName { ModeNameSleep = 0, ModeNameDefault = 1, ModeNameTeaching = 2, ModeNameDefault3 = 3 };

extern const orvane::MessageTable<2> kStartupMessages;
extern const orvane::MessageTable<MainEntryCount> kMainMessages;
extern const orvane::MessageTable<4> kBoardModeNames;

QString StartupMessage(int entry);
QString MainMessage(int entry);
QString BoardModeText(int entry);
