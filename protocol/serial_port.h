#pragma once
// The program's one serial port object and its opening.

#include "serial/comm_x.h"

class Prompt;
class QObject;

extern TCommX *SerialPort;

void CreateSerialPort(QObject *owner);
void SetupPort(int portNo, int bitRate);
// Opens the port and tells the user the outcome; the port is left closed on failure.
void OpenPortChecked(Prompt &prompt);
void ClosePort();
void ReleasePort();
