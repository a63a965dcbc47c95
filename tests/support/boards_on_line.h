#pragma once
// Virtual boards behind the program's one port, opened once per suite: opening costs 100 ms and
// closing 300 ms, so suites share the line. BoardsOnLineTest is such a suite whose tests each start on fresh
// boards with IDs 0 and 1, no faults and no frames recorded.

#include "protocol/serial_port.h"
#include "sanitized.h"
#include "sim/virtual_boards.h"

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

inline orvane::sim::VirtualBoards *OpenBoardsOnLine(int portNo, std::vector<uint8_t> ids = {0, 1})
{
    orvane::sim::Options options;
    options.ids = std::move(ids);
    auto *boards = new orvane::sim::VirtualBoards(options);
    SetDevicePath(portNo, QString::fromStdString(boards->SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(portNo, 115200);
    // Under a sanitizer a board's answer can take longer than the 30 ms a try waits, and tests that
    // count frames would see a retry.
    if (ORVANE_TEST_SANITIZED)
        SerialPort->SetTimeOutReceive(150);
    SerialPort->Open();
    return boards;
}

inline void CloseBoardsOnLine(orvane::sim::VirtualBoards *&boards)
{
    ReleasePort();
    delete boards;
    boards = nullptr;
}

// A frame as it goes on the line: the bytes and their checksum.
inline orvane::sim::Bytes Frame(const std::vector<int> &bytes)
{
    orvane::sim::Bytes b(bytes.begin(), bytes.end());
    b.push_back(orvane::sim::Checksum(b));
    return b;
}

// A frame's bytes as the program's side holds them.
inline QByteArray AsByteArray(const orvane::sim::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
}

// The frames of one command, in the order they went out.
inline std::vector<orvane::sim::Bytes> FramesOf(const std::vector<orvane::sim::Bytes> &frames, uint8_t command)
{
    std::vector<orvane::sim::Bytes> out;
    for (const orvane::sim::Bytes &f : frames)
        if (f[0] == command)
            out.push_back(f);
    return out;
}

template <int Port>
class BoardsOnLineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { boards = OpenBoardsOnLine(Port); }
    static void TearDownTestSuite() { CloseBoardsOnLine(boards); }
    void SetUp() override
    {
        ASSERT_TRUE(SerialPort->IsOpen());
        ResetBoards(orvane::sim::BoardMemory(0), orvane::sim::BoardMemory(1));
    }
    static void ResetBoards(const orvane::sim::BoardMemory &first, const orvane::sim::BoardMemory &second)
    {
        boards->ClearFaults();
        boards->SetBoard(0, first);
        boards->SetBoard(1, second);
        boards->ClearFrames();
    }

    static inline orvane::sim::VirtualBoards *boards = nullptr;
};
