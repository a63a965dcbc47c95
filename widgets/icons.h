#pragma once
// The pictures of the main window's icon buttons, drawn at run time in one style:
// a navy outline on a 24-unit grid with one accent colour per picture.

#include <QIcon>
#include <QString>

// name: the button's object name (HOME_BTN, SETPOS_BTN, ...) or "Orvane" for the program's own icon.
QIcon OrvaneIcon(const QString &name);
