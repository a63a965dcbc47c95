#include "serial/comm_x.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using Ms = std::chrono::milliseconds;

template <typename F>
Ms Timed(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start);
}

}  // namespace

TEST(DevicePaths, DefaultTableMapsUsbAcmAndOnboardPorts)
{
    ClearDevicePaths();
    EXPECT_EQ(DevicePathFor(1), "/dev/ttyUSB0");
    EXPECT_EQ(DevicePathFor(10), "/dev/ttyUSB9");
    EXPECT_EQ(DevicePathFor(11), "/dev/ttyACM0");
    EXPECT_EQ(DevicePathFor(20), "/dev/ttyACM9");
    EXPECT_EQ(DevicePathFor(21), "/dev/ttyS0");
    EXPECT_EQ(DevicePathFor(30), "/dev/ttyS9");
    EXPECT_TRUE(DevicePathFor(0).isEmpty());
    EXPECT_TRUE(DevicePathFor(31).isEmpty());
}

TEST(DevicePaths, OverridesComeFirstUntilCleared)
{
    SetDevicePath(3, "/dev/serial/by-id/usb-board");
    SetDevicePath(40, "/dev/pts/7");
    EXPECT_EQ(DevicePathFor(3), "/dev/serial/by-id/usb-board");
    EXPECT_EQ(DevicePathFor(40), "/dev/pts/7");
    EXPECT_EQ(DevicePathFor(4), "/dev/ttyUSB3");
    SetDevicePath(40, QString());
    EXPECT_TRUE(DevicePathFor(40).isEmpty());
    ClearDevicePaths();
    EXPECT_EQ(DevicePathFor(3), "/dev/ttyUSB2");
}

TEST(FlowCtrlFlags, EachValueHasItsLineStateFlagWord)
{
    EXPECT_EQ(FlowCtrlFlags(cfcRtsCts), 0x2017u);
    EXPECT_EQ(FlowCtrlFlags(cfcDtrDsr), 0x102Bu);
    EXPECT_EQ(FlowCtrlFlags(cfcXonXoff), 0x1313u);
    EXPECT_EQ(FlowCtrlFlags(cfcHalfHigh), 0x0013u);
    EXPECT_EQ(FlowCtrlFlags(cfcHalfLow), 0x1013u);
    EXPECT_EQ(FlowCtrlFlags(cfcNone), 0x1013u);
}

TEST(CommXClosed, EveryPropertyStartsAtItsDefault)
{
    TCommX comm;
    EXPECT_EQ(comm.PortNo(), 1);
    EXPECT_EQ(comm.BitRate(), 9600);
    EXPECT_EQ(comm.CharSize(), 8);
    EXPECT_EQ(comm.ParityBit(), cpbNone);
    EXPECT_EQ(comm.StopBit(), csb1);
    EXPECT_EQ(comm.FlowCtrl(), cfcRtsCts);
    EXPECT_EQ(comm.TimeOutTrans(), 3000);
    EXPECT_EQ(comm.TimeOutReceive(), 3000);
    EXPECT_EQ(comm.XonChar(), 0x11);
    EXPECT_EQ(comm.XoffChar(), 0x13);
    EXPECT_EQ(comm.BufLenTrans(), 2048);
    EXPECT_EQ(comm.BufLenReceive(), 2048);
    EXPECT_EQ(comm.Handle(), ~uintptr_t(0));
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(comm.OnReceive);
    EXPECT_FALSE(comm.OnBreak);
    EXPECT_FALSE(comm.OnError);
}

TEST(CommXClosed, OperationsReturnAtOnceAndTouchNothing)
{
    TCommX comm;
    char buf[8] = {};
    int read = 0;
    EXPECT_LT(Timed([&] { read = comm.Read(buf, sizeof buf); }), Ms(5));
    EXPECT_EQ(read, -1);
    EXPECT_FALSE(comm.Write("abc", 3));
    EXPECT_TRUE(comm.Write("abc", 0));
    EXPECT_TRUE(comm.Write(QByteArray()));
    EXPECT_EQ(comm.InQueueCount(), 0);
    EXPECT_LT(Timed([&] {
                  comm.PurgeReceive();
                  comm.FlushTransmit();
                  comm.SetDtr(true);
                  comm.SetRts(false);
                  comm.Close();
              }),
              Ms(5));
    EXPECT_FALSE(comm.IsOpen());
}

TEST(CommXClosed, SettersOnlyStoreEvenValuesTheLineWouldRefuse)
{
    TCommX comm;
    comm.SetPortNo(12);
    comm.SetBitRate(0);
    comm.SetCharSize(7);
    comm.SetParityBit(cpbEven);
    comm.SetStopBit(csb1p5);
    comm.SetFlowCtrl(cfcDtrDsr);
    comm.SetTimeOutTrans(-1);
    comm.SetTimeOutReceive(30);
    comm.SetXonChar('A');
    comm.SetXoffChar('B');
    comm.SetBufLenTrans(0);
    comm.SetBufLenReceive(100);
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_EQ(comm.PortNo(), 12);
    EXPECT_EQ(comm.DevicePath(), "/dev/ttyACM1");
    EXPECT_EQ(comm.BitRate(), 0);
    EXPECT_EQ(comm.CharSize(), 7);
    EXPECT_EQ(comm.ParityBit(), cpbEven);
    EXPECT_EQ(comm.StopBit(), csb1p5);
    EXPECT_EQ(comm.FlowCtrl(), cfcDtrDsr);
    EXPECT_EQ(comm.TimeOutTrans(), -1);
    EXPECT_EQ(comm.TimeOutReceive(), 30);
    EXPECT_EQ(comm.XonChar(), 'A');
    EXPECT_EQ(comm.XoffChar(), 'B');
    EXPECT_EQ(comm.BufLenTrans(), 0);
    EXPECT_EQ(comm.BufLenReceive(), 100);
}
