#pragma once
// Tracing of the serial component: QT_LOGGING_RULES="orvane.serial.debug=true" shows opening,
// closing and every byte written and read, in hex.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSerial)
