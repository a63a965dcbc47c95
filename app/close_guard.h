#pragma once
// The main window's close request while a board transfer runs. The transfer lives in event loops
// nested below the request: closing then would pull the port and the windows from under it.

#include "app/window_messages.h"

class Prompt;

// False while `transferRunning`; the user is told why in a box that lets the transfer go on.
bool MayCloseNow(bool transferRunning, Prompt &prompt);
