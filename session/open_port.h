#pragma once

#include "session/message_table.h"

class Prompt;

// The outcome texts and box titles.
extern const orvane::MessageTable<4> kPortMessages;

// Opens the port and tells the user the outcome; the port is left closed on failure.
void OpenPortChecked(Prompt &prompt);

// Opens the port with its stored settings and readies the line, telling nobody; raises ECommError as
// TCommX::Open does (the port is closed again then). Nothing is sent to the boards.
void OpenPortQuietly();
