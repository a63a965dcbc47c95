#include "tools/varkel_port.h"

#include "protocol/serial_port.h"
#include "session/port_failure.h"

#include <cstdio>

bool OpenVarkelPort(const std::string &port, int portNo)
{
    CreateSerialPort(nullptr);
    SetupPort(portNo, 115200);
    try {
        SerialPort->Open();
        SerialPort->PurgeReceive();
        return true;
    } catch (const ECommError &e) {
        const QString device = SerialPort->DevicePath();
        const QString cause = PortOpenCauseText(e.OpenCause(), e.SystemError(), device);
        std::fprintf(stderr, "varkel: cannot open %s (%s): %s%s%s\n", port.c_str(), qPrintable(device),
                     qPrintable(e.Message()), cause.isEmpty() ? "" : ": ", qPrintable(cause));
        ReleasePort();
        return false;
    }
}
