#pragma once
// The main window's home position operations: the dialog's four choices and the read-back that
// `return to home` uses. Every board command runs with MainRetryCount attempts.

#include "app/window_messages.h"

class MainOperations;
class THomeDialog;

// Shows the dialog modally and runs the chosen operation; Cancel or closing it does nothing.
void RunHomeDialog(THomeDialog &dialog, MainOperations &main);
// Runs the operation of a dialog result (10 to 13); any other result does nothing.
void RunHomeOperation(int result, THomeDialog &dialog, MainOperations &main);

// 10: after the user agrees, the boards take their current positions as home; read back into the panels.
void RegisterHome(MainOperations &main);
// 11: home values from the boards; sliders and value codes stay. True when every present board answered.
bool GetHomeFromBoard(MainOperations &main);
// 12: home values and current values from a .vpd file; in sync mode the boards are driven there.
void OpenHomeFile(THomeDialog &dialog, MainOperations &main);
// 13: the home values into a .vpd file, other content of an existing file kept.
void SaveHomeFile(THomeDialog &dialog, MainOperations &main);
