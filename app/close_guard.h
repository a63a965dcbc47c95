#pragma once
// The main window's close request while a board transfer runs. The transfer lives in event loops
// nested below the request: closing then would pull the port and the windows from under it.

#include "session/message_table.h"

class Prompt;

extern const orvane::MessageTable<2> kCloseGuardMessages;

class CloseGuard {
public:
    // False while `transferRunning`; the user hears why once per request, and requests made while
    // the notice is up are refused without another one.
    bool MayClose(bool transferRunning, Prompt &prompt);

private:
    bool telling_ = false;
};
