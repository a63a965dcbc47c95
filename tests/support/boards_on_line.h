#pragma once
// Virtual boards behind the program's one port, opened once per suite: opening costs 100 ms and
// closing 300 ms, so suites share the line.

#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"

#include <QString>

inline orvane::sim::VirtualBoards *OpenBoardsOnLine(int portNo, std::vector<uint8_t> ids = {0, 1})
{
    orvane::sim::Options options;
    options.ids = std::move(ids);
    auto *boards = new orvane::sim::VirtualBoards(options);
    SetDevicePath(portNo, QString::fromStdString(boards->SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(portNo, 115200);
    SerialPort->Open();
    return boards;
}

inline void CloseBoardsOnLine(orvane::sim::VirtualBoards *&boards)
{
    ReleasePort();
    delete boards;
    boards = nullptr;
}
