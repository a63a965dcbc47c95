#include "comm_test_support.h"
#include "pty_pair.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

constexpr int kPort = 120;

class CommXLifecycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDevicePath(kPort, pty.SlavePath());
        comm.SetPortNo(kPort);
        comm.SetFlowCtrl(cfcNone);
        comm.SetTimeOutReceive(3000);
        comm.Open();
    }
    void TearDown() override { ClearDevicePaths(); }

    PtyPair pty;
    TCommX comm;
};

}  // namespace

TEST_F(CommXLifecycle, ClosingFromAnEventWhileReadWaitsEndsTheRead)
{
    QTimer::singleShot(50, [&] { comm.Close(); });
    char buf[4];
    int n = 0;
    const double ms = ElapsedMs([&] { n = comm.Read(buf, sizeof buf); });
    EXPECT_EQ(n, -1);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_LT(ms, 50 + 300 + 150 * kSlowdown);  // Close itself waits 300 ms
}

TEST_F(CommXLifecycle, LineEventsOfAClosedOpeningAreNotDelivered)
{
    int received = 0;
    comm.OnReceive = [&](TCustomCommX *, int) { ++received; };
    pty.Send("late");
    std::this_thread::sleep_for(Ms(50));  // the event is queued, not yet served
    comm.Close();
    ServeUntil([] { return false; }, 20);
    EXPECT_EQ(received, 0);
}

TEST_F(CommXLifecycle, VanishedDeviceNeitherHangsNorSpins)
{
    pty.CloseMaster();
    char buf[4];
    int n = 0;
    EXPECT_LT(ElapsedMs([&] { n = comm.Read(buf, sizeof buf); }), 200);
    EXPECT_EQ(n, -1);
    EXPECT_LT(ElapsedMs([&] { comm.Write(QByteArray("lost")); }), 100);
    EXPECT_FALSE(comm.Write(QByteArray("lost")));
    const double cpu = ProcessCpuMs();
    std::this_thread::sleep_for(Ms(300));
    EXPECT_LT(ProcessCpuMs() - cpu, 20.0);
    EXPECT_LT(ElapsedMs([&] { comm.Close(); }), 1000);
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommXLifecycle, DeviceVanishingWhileReadWaitsEndsTheRead)
{
    std::thread unplug([&] {
        std::this_thread::sleep_for(Ms(50));
        pty.CloseMaster();
    });
    char buf[4];
    int n = 0;
    const double ms = ElapsedMs([&] { n = comm.Read(buf, sizeof buf); });
    unplug.join();
    EXPECT_EQ(n, -1);
    EXPECT_LT(ms, 150 * kSlowdown);
}

TEST_F(CommXLifecycle, AnIdleDeviceVanishingIsToldOnceAndAPlainCloseNever)
{
    int lost = 0;
    QObject::connect(&comm, &TCustomCommX::DeviceLost, [&] { ++lost; });
    EXPECT_FALSE(comm.IsLost());
    pty.CloseMaster();
    // Nobody reads or writes: the receive thread's hang-up alone tells it.
    EXPECT_TRUE(ServeUntil([&] { return lost > 0; }, 1000));
    EXPECT_TRUE(comm.IsLost());
    EXPECT_TRUE(comm.IsOpen());  // closing is the owner's choice
    char buf[4];
    EXPECT_EQ(comm.Read(buf, sizeof buf), -1);
    EXPECT_FALSE(comm.Write(QByteArray("x")));
    ServeUntil([] { return false; }, 50);
    EXPECT_EQ(lost, 1);

    comm.Close();
    EXPECT_FALSE(comm.IsLost());
    PtyPair again;
    SetDevicePath(kPort, again.SlavePath());
    comm.Open();
    comm.Close();
    ServeUntil([] { return false; }, 50);
    EXPECT_EQ(lost, 1);
}
