#pragma once
// The program's one serial port object and its opening.

#include "serial/comm_x.h"

class QObject;

extern TCommX *SerialPort;

void CreateSerialPort(QObject *owner);
void SetupPort(int portNo, int bitRate);
void ClosePort();
void ReleasePort();
