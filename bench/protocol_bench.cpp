// Line efficiency, round-trip latency and the silence rule of the board protocol against virtual boards.

#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "sim/virtual_boards.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kBenchPort = 950;

void OpenOn(const orvane::sim::VirtualBoards &boards)
{
    SetDevicePath(kBenchPort, QString::fromStdString(boards.SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(kBenchPort, 115200);
    SerialPort->Open();
}

void MotionWriteToTwoPacedBoards()
{
    orvane::sim::Options options;
    options.ids = {0, 1};
    options.paced = true;
    orvane::sim::VirtualBoards boards(options);
    OpenOn(boards);
    ChannelValues values;
    values.fill(90);
    QElapsedTimer clock;
    clock.start();
    int failures = 0;
    for (int row = 0; row < 100; ++row)
        for (uint8_t id : {0, 1}) {
            int retry = RetryCount;
            failures += !WriteMotionRow(retry, id, 5, uint8_t(row), 3, values);
        }
    for (uint8_t id : {0, 1}) {
        int retry = RetryCount;
        failures += !SetMotionLength(retry, id, 5, 100);
    }
    const double wallMs = clock.nsecsElapsed() / 1e6;
    const double lineBytes = 200 * (18 + 2) + 2 * (5 + 2);
    const double lineMs = lineBytes * orvane::sim::kByteTimeUs / 1000;
    std::printf("motion write, 100 rows to two paced boards: %.1f ms wall, %.1f ms on the line, ratio %.3f"
                " (goal <= 1.10), %d failed commands\n",
                wallMs, lineMs, wallMs / lineMs, failures);
    ReleasePort();
}

void GetModeRoundTrip()
{
    orvane::sim::VirtualBoards boards;
    OpenOn(boards);
    std::vector<double> us;
    uint8_t mode = 0;
    for (int i = 0; i < 2000; ++i) {
        int retry = 1;
        QElapsedTimer clock;
        clock.start();
        const bool ok = GetMode(retry, 0, mode);
        const double t = clock.nsecsElapsed() / 1e3;
        if (ok && i >= 100)
            us.push_back(t);
    }
    std::sort(us.begin(), us.end());
    if (us.empty()) {
        std::printf("GetMode round trip: no successful replies\n");
    } else {
        std::printf("GetMode round trip, unpaced (%zu samples): median %.1f us, p99 %.1f us, max %.1f us"
                    " (goal: median < 300 us)\n",
                    us.size(), us[us.size() / 2], us[us.size() * 99 / 100], us.back());
    }
    ReleasePort();
}

void AbsentBoard()
{
    orvane::sim::VirtualBoards boards;
    OpenOn(boards);
    std::vector<double> ms;
    for (int i = 0; i < 8; ++i) {
        int retry = 10;
        uint8_t mode = 0;
        QElapsedTimer clock;
        clock.start();
        GetMode(retry, 7, mode);
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("GetMode to an absent board, 10 attempts: min %.1f ms, median %.1f ms, max %.1f ms"
                " (goal 300-310 ms)\n",
                ms.front(), ms[ms.size() / 2], ms.back());
    ReleasePort();
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    MotionWriteToTwoPacedBoards();
    GetModeRoundTrip();
    AbsentBoard();
    return 0;
}
