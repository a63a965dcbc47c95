#include "comm_test_support.h"
#include "pty_pair.h"

#include <gtest/gtest.h>

#include <termios.h>

#include <memory>

namespace {

const QString kAlreadyOpen = QStringLiteral("ポートは、すでにオープンされています");
const QString kCannotOpen = QStringLiteral("ポートをオープンできませんでした");

termios LineOf(const PtyPair &pty)
{
    termios t{};
    tcgetattr(pty.Slave(), &t);
    return t;
}

class CommXOpen : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetDevicePath(101, pty.SlavePath());
        SetDevicePath(102, other.SlavePath());
    }
    void TearDown() override { ClearDevicePaths(); }

    PtyPair pty;
    PtyPair other;
};

}  // namespace

TEST_F(CommXOpen, MissingDeviceOrNonTerminalCannotBeOpened)
{
    TCommX comm;
    SetDevicePath(103, "/dev/no-such-serial-device");
    comm.SetPortNo(103);
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), kCannotOpen);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.Handle(), TCustomCommX::kInvalidHandle);

    SetDevicePath(103, "/dev/null");
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), kCannotOpen);
    EXPECT_FALSE(comm.IsOpen());

    comm.SetPortNo(99);  // outside the table, no override
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), kCannotOpen);
}

TEST_F(CommXOpen, SecondOpeningIsRefusedAndTheFirstKeepsWorking)
{
    TCommX first;
    first.SetPortNo(101);
    first.SetFlowCtrl(cfcNone);
    first.SetTimeOutReceive(500);
    first.Open();
    ASSERT_TRUE(first.IsOpen());
    const uintptr_t handle = first.Handle();
    EXPECT_NE(handle, TCustomCommX::kInvalidHandle);

    // The test runs as root, whom TIOCEXCL lets through: the lock must refuse it all the same.
    TCommX second;
    second.SetPortNo(101);
    EXPECT_EQ(CommErrorOf([&] { second.Open(); }), kCannotOpen);
    EXPECT_FALSE(second.IsOpen());

    EXPECT_EQ(CommErrorOf([&] { first.Open(); }), kAlreadyOpen);
    EXPECT_TRUE(first.IsOpen());
    EXPECT_EQ(first.Handle(), handle);

    ASSERT_TRUE(first.Write(QByteArray("ping")));
    EXPECT_EQ(pty.Receive(4, 1000), QByteArray("ping"));
    pty.Send("pong");
    char buf[8] = {};
    EXPECT_EQ(first.Read(buf, 4), 4);
    EXPECT_EQ(QByteArray(buf, 4), QByteArray("pong"));

    first.Close();
    EXPECT_EQ(first.Handle(), TCustomCommX::kInvalidHandle);
    second.Open();  // free again once closed
    EXPECT_TRUE(second.IsOpen());
}

TEST_F(CommXOpen, OpenMakesTheLineRawAndCloseRestoresIt)
{
    const termios before = LineOf(pty);
    ASSERT_TRUE(before.c_lflag & ICANON);
    TCommX comm;
    comm.SetPortNo(101);
    comm.SetBitRate(115200);
    comm.Open();
    const termios open = LineOf(pty);
    EXPECT_FALSE(open.c_lflag & (ICANON | ECHO | ISIG));
    EXPECT_FALSE(open.c_oflag & OPOST);
    EXPECT_EQ(open.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_FALSE(open.c_cflag & HUPCL);
    EXPECT_EQ(open.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_TRUE(open.c_cflag & CRTSCTS);  // the default flow control
    EXPECT_FALSE(open.c_iflag & (IXON | IXOFF | ICRNL | BRKINT));
    EXPECT_EQ(open.c_cc[VMIN], 0);
    EXPECT_EQ(open.c_cc[VTIME], 0);
    EXPECT_EQ(cfgetospeed(&open), speed_t(B115200));
    comm.Close();
    const termios after = LineOf(pty);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
}

TEST_F(CommXOpen, SettingRefusedWhileOpeningClosesThePortAgain)
{
    const termios before = LineOf(pty);
    TCommX comm;
    comm.SetPortNo(101);
    comm.SetCharSize(7);  // a pseudo-terminal only carries 8 bits
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), QStringLiteral("通信ビット数の設定でエラーが発生しました"));
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(LineOf(pty).c_lflag, before.c_lflag);

    comm.SetCharSize(8);
    comm.SetFlowCtrl(cfcDtrDsr);  // no DSR/DTR handshake on Linux
    EXPECT_EQ(CommErrorOf([&] { comm.Open(); }), QStringLiteral("通信フロー制御の設定で失敗しました"));
    EXPECT_FALSE(comm.IsOpen());

    TCommX next;
    next.SetPortNo(101);
    next.Open();  // nothing of the failed openings is left holding the device
    EXPECT_TRUE(next.IsOpen());
}

TEST_F(CommXOpen, DestroyingAnOpenComponentClosesIt)
{
    auto comm = std::make_unique<TCommX>();
    comm->SetPortNo(101);
    comm->Open();
    comm.reset();
    EXPECT_TRUE(LineOf(pty).c_lflag & ICANON);
    TCommX next;
    next.SetPortNo(101);
    next.Open();
    EXPECT_TRUE(next.IsOpen());
}

TEST_F(CommXOpen, PortNoWhileOpenReopensOnTheNewDevice)
{
    TCommX comm;
    comm.SetFlowCtrl(cfcNone);
    comm.SetPortNo(101);
    comm.Open();
    comm.SetPortNo(102);
    ASSERT_TRUE(comm.IsOpen());
    EXPECT_EQ(comm.PortNo(), 102);
    EXPECT_EQ(comm.DevicePath(), other.SlavePath());
    ASSERT_TRUE(comm.Write(QByteArray("moved")));
    EXPECT_EQ(other.Receive(5, 1000), QByteArray("moved"));
    EXPECT_TRUE(pty.ReceiveUntilQuiet(20).isEmpty());

    TCommX formerDevice;  // released by the reopening
    formerDevice.SetPortNo(101);
    formerDevice.Open();
    EXPECT_TRUE(formerDevice.IsOpen());
}
