#pragma once
// Why a port did not open, as one line for the user; shared by the program and varkel.

#include "serial/comm_x.h"
#include "session/language.h"

#include "session/message_table.h"

#include <QString>

extern const orvane::MessageTable<5> kPortCauseMessages;

// `device` is the path the port number stood for. Empty for TCommOpenCause::None.
QString PortOpenCauseText(TCommOpenCause cause, int systemError, const QString &device, int language = LanguageIndex);
