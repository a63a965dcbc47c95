#pragma once
// Tracing of the serial component, off by default. QT_LOGGING_RULES="orvane.serial.warning=true"
// shows lost devices and write time-outs, "orvane.serial.info=true" adds why an opening failed, and
// "orvane.serial*=true" everything: opening, closing, refusals and every byte written and read, in hex.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSerial)
