// The boards on the line: what a program that opens the pty sees.

#include "pty_client.h"
#include "sim/virtual_boards.h"
#include "sim_files.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace orvane::sim;
using namespace std::chrono_literals;
using simtest::Clock;
using simtest::frame;
using simtest::hex;
using simtest::PtyClient;
using simtest::slurp;
using simtest::TempDir;

namespace {

Options twoBoards()
{
    Options o;
    o.ids = {0, 1};
    return o;
}

Fault fault(FaultKind kind, std::optional<std::uint8_t> command, unsigned first, unsigned last)
{
    Fault f;
    f.kind = kind;
    f.command = command;
    f.first = first;
    f.last = last;
    return f;
}

const Bytes kGetMode0 = frame({0xF0, 0});

}  // namespace

TEST(Line, RepliesAreByteExact)
{
    VirtualBoards boards(twoBoards());
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(kGetMode0), "F0 00 70");
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");
    EXPECT_EQ(hex(c.ask({0xF1, 0x01, 0x01, 0x73}, 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xF0, 1}), 3)), "01 01 02");
    EXPECT_EQ(hex(c.ask(frame({0xFC, 0}), 14)), "00 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 38");
    EXPECT_EQ(hex(c.ask({0xE9, 0x00, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 0x59}, 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xED, 1, 5, 0x0C, 0x08, 103}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xEC, 1, 5}), 5)), "01 0C 08 67 7C");
    // Nothing more than the reply is ever sent.
    EXPECT_TRUE(c.readUntilQuiet(20ms).empty());
    EXPECT_EQ(boards.Board(1).assignments[5].pattern, 200);
    EXPECT_EQ(boards.Board(1).mode, 1);
    EXPECT_EQ(boards.Board(0).mode, 0);
}

TEST(Line, DeviceIsRawBeforeTheProgramSetsItUp)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath(), false);
    // Control characters pass untouched both ways, and nothing is echoed: an echoed
    // reply holding F0 00 70 would be taken for a GetMode frame and answered.
    const Bytes values{0x0D, 0x0A, 0x03, 0x11, 0x13, 0x7F, 0xF0, 0x00, 0x70, 0x1A, 0x04, 0x15};
    Bytes request{0xFD, 0, 0};
    request.insert(request.end(), values.begin(), values.end());
    EXPECT_EQ(hex(c.ask(frame(request), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xFC, 0}), 14)), "00 0D 0A 03 11 13 7F F0 00 70 1A 04 15 50");
    EXPECT_EQ(hex(c.readUntilQuiet(30ms)), "");
    EXPECT_EQ(boards.Frames().size(), 2u);
}

TEST(Line, SetHomePositionTakesWhatSendPositionsSet)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(frame({0xFD, 0, 0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 180}), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xFB, 0}), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xFA, 0}), 14)), "00 0A 14 1E 28 32 3C 46 50 5A 64 6E B4 48");
    const std::array<std::uint8_t, 12> expected{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 180};
    EXPECT_EQ(boards.Board(0).home, expected);
}

TEST(Line, FramesForOtherIdsBadChecksumsOrOutOfRangeGetNoAnswer)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath());
    c.send(frame({0xF0, 1}));
    c.send({0xF0, 0x00, 0x71});
    c.send(frame({0xF1, 0, 3}));
    c.send(frame({0xF7, 0, 40, 1}));
    c.send(frame({0xF1, 1, 2}));
    EXPECT_TRUE(boards.WaitForFrames(5, 1s));
    EXPECT_EQ(hex(c.readUntilQuiet(50ms)), "");
    EXPECT_TRUE(boards.Board(0) == BoardMemory(0));
    // The line is still in step afterwards.
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");
}

TEST(Line, ResynchronisesAfterNoiseAndATruncatedFrame)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath());
    // Noise that starts no frame, then a frame that lost its checksum, then a whole one.
    c.send({0x00, 0x12, 0xEA, 0xF0, 0x00, 0xF0, 0x00, 0x70});
    EXPECT_EQ(hex(c.read(3)), "00 00 00");
    EXPECT_EQ(hex(c.readUntilQuiet(30ms)), "");
    const auto log = boards.Frames();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(hex(log[0]), "F0 00 F0");
    EXPECT_EQ(hex(log[1]), "F0 00 70");
}

TEST(Line, TwoBoardsKeepTheirOwnMemory)
{
    VirtualBoards boards(twoBoards());
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(frame({0xF9, 1, 5, 0, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xF7, 1, 5, 1}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xF6, 0, 5}), 3)), "00 00 00");
    EXPECT_EQ(hex(c.ask(frame({0xF6, 1, 5}), 3)), "01 01 02");
    EXPECT_EQ(hex(c.ask(frame({0xF8, 1, 5, 0}), 15)), "01 02 01 02 03 04 05 06 07 08 09 0A 0B 0C 51");
    EXPECT_EQ(boards.Board(0).motions[5][0], MotionRow{});
}

TEST(Line, MemorySetInProcessIsWhatTheBoardAnswers)
{
    VirtualBoards boards;
    BoardMemory m(0, AssignInit::Garbage);
    m.scenarioLengths[2] = 3;
    boards.SetBoard(0, m);
    boards.EditBoard(0, [](BoardMemory &b) { b.mode = 2; });
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(frame({0xF2, 0, 2}), 3)), "00 03 03");
    EXPECT_EQ(hex(c.ask(frame({0xF0, 0}), 3)), "00 02 02");
    EXPECT_EQ(hex(c.ask(frame({0xEC, 0, 17}), 5)), "00 0F 0F FF 1D");
    EXPECT_THROW(boards.Board(1), std::out_of_range);
    EXPECT_THROW(boards.EditBoard(1, [](BoardMemory &) {}), std::out_of_range);
}

TEST(Line, PortCanBeClosedAndReopened)
{
    VirtualBoards boards;
    for (int i = 0; i < 3; ++i) {
        PtyClient c(boards.SlavePath());
        EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00") << "open " << i;
    }
    EXPECT_TRUE(boards.Answering());
}

TEST(Faults, NoReplyHitsOnlyTheCountedFramesOfItsCommand)
{
    Options o;
    o.faults.push_back(fault(FaultKind::NoReply, 0xF0, 2, 3));
    VirtualBoards boards(o);
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");
    EXPECT_EQ(hex(c.ask(frame({0xFC, 0}), 14)).size(), 14u * 3 - 1);  // other commands don't count
    for (int i = 0; i < 2; ++i) {
        c.send(kGetMode0);
        EXPECT_EQ(hex(c.readUntilQuiet(40ms)), "");
    }
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");
}

TEST(Faults, AnUnansweredFrameStillTakesEffect)
{
    VirtualBoards boards;
    boards.AddFault(fault(FaultKind::NoReply, std::nullopt, 1, 1));
    PtyClient c(boards.SlavePath());
    c.send(frame({0xF1, 0, 1}));
    EXPECT_EQ(hex(c.readUntilQuiet(40ms)), "");
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 01 01");
}

TEST(Faults, WrongChecksumWrongIdAndExtraBytes)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath());
    boards.AddFault(fault(FaultKind::BadChecksum, std::nullopt, 1, 2));
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 01");
    EXPECT_EQ(hex(c.ask(frame({0xFB, 0}), 2)), "00 15");
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");

    boards.ClearFaults();
    boards.AddFault(fault(FaultKind::WrongId, 0xF8, 1, 0));
    EXPECT_EQ(hex(c.ask(frame({0xF8, 0, 0, 0}), 15)), "01 00 00 00 00 00 00 00 00 00 00 00 00 00 01");
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 0}), 2)), "00 06");

    boards.ClearFaults();
    Fault extra = fault(FaultKind::Extra, 0xF0, 1, 1);
    extra.extraBytes = 3;
    boards.AddFault(extra);
    c.send(kGetMode0);
    EXPECT_EQ(hex(c.readUntilQuiet(40ms)), "00 00 00 00 00 00");
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");
    EXPECT_EQ(hex(c.readUntilQuiet(20ms)), "");
}

TEST(Faults, SplitReplyLeavesInTwoPiecesWithTheGap)
{
    // A gap well above what a loaded machine adds to a read, so that each bound tells one case.
    VirtualBoards boards;
    Fault split = fault(FaultKind::Split, 0xFC, 1, 1);
    split.gapMs = 150;
    split.splitAt = 2;
    boards.AddFault(split);
    PtyClient c(boards.SlavePath());
    c.send(frame({0xFC, 0}));
    EXPECT_EQ(hex(c.read(14, 400ms)).size(), 14u * 3 - 1);

    c.send(frame({0xFC, 0}));  // the second frame is not hit
    const auto start = Clock::now();
    EXPECT_EQ(c.read(14, 400ms).size(), 14u);
    EXPECT_LT(Clock::now() - start, 100ms);

    boards.ClearFaults();
    split.splitAt = 0;
    boards.AddFault(split);
    c.send(frame({0xFC, 0}));
    const auto sent = Clock::now();
    EXPECT_EQ(c.read(14, 100ms).size(), 7u);  // half, then the 150 ms gap
    EXPECT_EQ(c.read(7, 400ms).size(), 7u);
    EXPECT_GE(Clock::now() - sent, 150ms);
}

TEST(Faults, SplitAtAGivenByteIsHonoured)
{
    VirtualBoards boards;
    Fault split = fault(FaultKind::Split, std::nullopt, 1, 0);
    split.gapMs = 60;
    split.splitAt = 2;
    boards.AddFault(split);
    PtyClient c(boards.SlavePath());
    c.send(frame({0xFC, 0}));
    const auto sent = Clock::now();
    const Bytes first = c.read(14, 30ms);
    const Bytes rest = c.read(12, 300ms);
    EXPECT_EQ(hex(first), "00 5A");
    EXPECT_EQ(rest.size(), 12u);
    EXPECT_GE(Clock::now() - sent, 60ms);
}

TEST(Pacing, HundredRowMotionWriteTakesAtLeastItsLineTime)
{
    Options o;
    o.paced = true;
    VirtualBoards boards(o);
    PtyClient c(boards.SlavePath());
    const auto start = Clock::now();
    for (int row = 0; row < 100; ++row) {
        const Bytes f = frame({0xF9, 0, 3, std::uint8_t(row), 2, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90});
        ASSERT_EQ(hex(c.ask(f, 2)), "00 06") << "row " << row;
    }
    const auto elapsed = Clock::now() - start;
    // 100 x (18 request + 2 reply bytes) at 86.8 us a byte.
    EXPECT_GE(elapsed, std::chrono::microseconds(173600));
    EXPECT_LT(elapsed, 1000ms);
    EXPECT_EQ(boards.Board(0).motions[3][99].speed, 2);
    // Only being late counts, never the line time itself.
    EXPECT_LT(boards.Lateness(), std::chrono::microseconds(173600 / 2));
}

TEST(Pacing, NoReplyByteArrivesBeforeItsLineTime)
{
    Options o;
    o.paced = true;
    VirtualBoards boards(o);
    PtyClient c(boards.SlavePath());
    // Taken before the write: a clock read after it may come late when this thread is preempted, which
    // made early bytes out of punctual ones.
    const auto sent = Clock::now();
    c.send(frame({0xFC, 0}));
    std::vector<Clock::duration> seenAfter;
    while (seenAfter.size() < 14) {
        const Bytes b = c.read(14 - seenAfter.size(), 100ms);
        if (b.empty())
            break;
        seenAfter.insert(seenAfter.end(), b.size(), Clock::now() - sent);
    }
    ASSERT_EQ(seenAfter.size(), 14u);
    // Reply byte k can be seen only after the 3 request bytes and reply bytes 0..k crossed the line;
    // one byte time is left as a margin.
    for (std::size_t k = 0; k < 14; ++k)
        EXPECT_GE(seenAfter[k], std::chrono::nanoseconds((3 + k) * 86806)) << "byte " << k;
}

TEST(Pacing, ReplyDelayIsKept)
{
    Options o;
    o.replyDelayMs = 25;
    VirtualBoards boards(o);
    PtyClient c(boards.SlavePath());
    const auto start = Clock::now();
    EXPECT_EQ(hex(c.ask(kGetMode0, 3)), "00 00 00");
    EXPECT_GE(Clock::now() - start, 25ms);
}

TEST(Pacing, UnpacedRoundTripIsFast)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath());
    std::vector<Clock::duration> times;
    for (int i = 0; i < 201; ++i) {
        const auto start = Clock::now();
        ASSERT_EQ(c.ask(kGetMode0, 3).size(), 3u);
        times.push_back(Clock::now() - start);
    }
    std::nth_element(times.begin(), times.begin() + 100, times.end());
    EXPECT_LT(times[100], std::chrono::microseconds(300));
    EXPECT_EQ(boards.Lateness().count(), 0);
}

TEST(FrameLog, KeepsEveryFrameInMemoryAndInTheFile)
{
    TempDir dir;
    Options o;
    o.logPath = (dir.path / "frames.log").string();
    VirtualBoards boards(o);
    PtyClient c(boards.SlavePath());
    c.send(frame({0xF0, 5}));  // another board's frame is logged too
    c.send({0x33});
    EXPECT_EQ(c.ask(frame({0xFD, 0, 0, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90}), 2).size(), 2u);
    ASSERT_TRUE(boards.WaitForFrames(2, 1s));

    const auto log = boards.Frames();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(hex(log[0]), "F0 05 75");
    EXPECT_EQ(hex(log[1]), "FD 00 00 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 35");
    EXPECT_EQ(slurp(o.logPath), "F0 05 75\nFD 00 00 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 35\n");

    boards.ClearFrames();
    EXPECT_TRUE(boards.Frames().empty());
    EXPECT_EQ(c.ask(kGetMode0, 3).size(), 3u);
    ASSERT_EQ(boards.Frames().size(), 1u);
    EXPECT_EQ(hex(boards.Frames()[0]), "F0 00 70");
}

TEST(Dump, FileHoldsTheMemoryAfterTheFramesAndReplacesAnOldOne)
{
    TempDir dir;
    const auto path = dir.path / "memory.txt";
    std::ofstream(path) << "old contents\n";
    VirtualBoards boards(twoBoards());
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(frame({0xF9, 1, 0, 0, 4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xF7, 1, 0, 1}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xEF, 1, 0}), 2)), "01 06");

    std::string error;
    ASSERT_TRUE(boards.Dump(path.string(), &error)) << error;
    const std::string text = slurp(path);
    EXPECT_EQ(text, boards.DumpText());
    EXPECT_EQ(text.find("board 0\n"), 0u);
    EXPECT_NE(text.find("\n\nboard 1\nmode 0\n"), std::string::npos);
    EXPECT_NE(text.find("\nmotion-lengths 1 0 0"), std::string::npos);
    EXPECT_NE(text.find("\nmotion-row 0 0 4 1 2 3 4 5 6 7 8 9 10 11 12\nscenario-lengths"), std::string::npos);
    EXPECT_NE(text.find("\nplayed-motions 0\n"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);  // no temporary left

    EXPECT_FALSE(boards.Dump((dir.path / "missing" / "x.txt").string(), &error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

TEST(Lifecycle, VanishHangsUpOnTheProgramAndTheDeviceIsGone)
{
    VirtualBoards boards;
    const std::string path = boards.SlavePath();
    PtyClient c(path);
    EXPECT_EQ(c.ask(kGetMode0, 3).size(), 3u);
    boards.Vanish();
    EXPECT_FALSE(boards.Answering());

    pollfd p{c.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 500), 1);
    EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
    std::uint8_t b;
    EXPECT_LE(::read(c.fd(), &b, 1), 0);

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_LT(fd, 0);
    if (fd >= 0)
        ::close(fd);
    EXPECT_EQ(boards.Board(0).mode, 0);  // memory stays readable
    boards.Stop();                       // and a second stop is harmless
}

TEST(Lifecycle, VanishAfterFramesDropsTheLineOnThatFrame)
{
    Options o;
    o.vanishAfterFrames = 2;
    VirtualBoards boards(o);
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 1}), 2)), "00 06");
    c.send(kGetMode0);
    pollfd p{c.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 500), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    std::uint8_t b;
    EXPECT_LE(::read(c.fd(), &b, 1), 0);  // nothing was answered
    EXPECT_FALSE(boards.Answering());
    EXPECT_EQ(boards.Frames().size(), 2u);
}

TEST(Lifecycle, BadOptionsAreRefused)
{
    Options o;
    o.ids = {};
    EXPECT_THROW(VirtualBoards{o}, std::invalid_argument);
    o.ids = {3, 3};
    EXPECT_THROW(VirtualBoards{o}, std::invalid_argument);
    o.ids = {0, 1, 2};
    EXPECT_THROW(VirtualBoards{o}, std::invalid_argument);
    o.ids = {0};
    o.logPath = "/nonexistent-dir/frames.log";
    EXPECT_THROW(VirtualBoards{o}, std::system_error);
    VirtualBoards boards;
    EXPECT_THROW(boards.AddFault(fault(FaultKind::NoReply, 0xEA, 1, 0)), std::invalid_argument);
    EXPECT_THROW(boards.AddFault(fault(FaultKind::NoReply, 0xF0, 0, 0)), std::invalid_argument);
}

TEST(Lifecycle, StopWhileAReplyWaitsReturnsPromptly)
{
    Options o;
    o.replyDelayMs = 10000;
    auto boards = std::make_unique<VirtualBoards>(o);
    PtyClient c(boards->SlavePath());
    c.send(kGetMode0);
    ASSERT_TRUE(boards->WaitForFrames(1, 1s));
    const auto start = Clock::now();
    boards.reset();
    EXPECT_LT(Clock::now() - start, 500ms);
}
