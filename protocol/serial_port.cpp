#include "protocol/serial_port.h"

#include "protocol/transaction.h"

TCommX *SerialPort = nullptr;

void CreateSerialPort(QObject *owner)
{
    if (!SerialPort)
        SerialPort = new TCommX(owner);
}

void SetupPort(int portNo, int bitRate)
{
    if (!SerialPort)
        return;
    SerialPort->SetBitRate(bitRate);
    SerialPort->SetBufLenReceive(2048);
    SerialPort->SetBufLenTrans(2048);
    SerialPort->SetCharSize(8);
    SerialPort->SetFlowCtrl(cfcNone);
    SerialPort->SetParityBit(cpbNone);
    SerialPort->SetPortNo(portNo);
    SerialPort->SetStopBit(csb1);
    SerialPort->SetTimeOutReceive(30);
    SerialPort->SetTimeOutTrans(3000);
}

void ClosePort()
{
    if (SerialPort)
        SerialPort->Close();
}

void ReleasePort()
{
    delete SerialPort;
    SerialPort = nullptr;
}
