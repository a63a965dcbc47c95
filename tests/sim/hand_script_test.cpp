// Hand scripts: their text, where a hand holds each channel, and what the boards report with hands on.

#include "pty_client.h"
#include "sim/hand_script.h"
#include "sim/virtual_boards.h"

#include <gtest/gtest.h>
#include <thread>

using namespace orvane::sim;
using namespace std::chrono_literals;
using simtest::frame;
using simtest::hex;
using simtest::PtyClient;

namespace {

HandScript Parsed(std::string_view text)
{
    std::string error;
    auto script = HandScript::Parse(text, error);
    EXPECT_TRUE(script) << error;
    return script ? *script : HandScript{};
}

TEST(HandScript, ChannelsMoveInStraightLinesAndHoldOutsideTheirKeys)
{
    const HandScript s = Parsed("# a bend\n"
                                "1000 1 130   # keys need not come in order\n"
                                "0 1 90\n"
                                "\n"
                                "500 24 10\r\n"
                                "500 24 170\n");
    EXPECT_TRUE(s.Moves(1));
    EXPECT_TRUE(s.Moves(24));
    EXPECT_FALSE(s.Moves(2));
    EXPECT_EQ(s.At(1, -5), 90);
    EXPECT_EQ(s.At(1, 0), 90);
    EXPECT_EQ(s.At(1, 250), 100);
    EXPECT_EQ(s.At(1, 512), 110);  // 110.48 rounds down
    EXPECT_EQ(s.At(1, 513), 111);  // 110.52 rounds up
    EXPECT_EQ(s.At(1, 1000), 130);
    EXPECT_EQ(s.At(1, 99999), 130);
    // Two keys at one time: a step, the later line being where it lands.
    EXPECT_EQ(s.At(24, 499), 10);
    EXPECT_EQ(s.At(24, 500), 170);
}

TEST(HandScript, BadLinesAreRefusedWithTheirNumber)
{
    const std::vector<std::pair<const char *, const char *>> cases = {
        {"0 1 90\n10 1\n", "line 2: expected TIME_MS CHANNEL VALUE"},
        {"0 0 90\n", "line 1: channel '0' is not 1 to 24"},
        {"0 25 90\n", "line 1: channel '25' is not 1 to 24"},
        {"# x\n0 3 181\n", "line 2: value '181' is not 0 to 180"},
        {"-5 3 10\n", "line 1: time '-5' is not 0 to 3600000 ms"},
        {"3600001 3 10\n", "line 1: time '3600001' is not 0 to 3600000 ms"},
        {"0 3 90 4\n", "line 1: expected TIME_MS CHANNEL VALUE"},
    };
    for (const auto &[text, message] : cases) {
        std::string error;
        EXPECT_FALSE(HandScript::Parse(text, error)) << text;
        EXPECT_EQ(error, message) << text;
    }
    std::string error;
    EXPECT_FALSE(HandScript::Load("/nonexistent/hand.txt", error));
    EXPECT_EQ(error, "cannot read /nonexistent/hand.txt");
}

Bytes Positions(const std::vector<int> &values)
{
    Bytes request{0xFD, 0, 0};
    for (int v : values)
        request.push_back(std::uint8_t(v));
    return frame(request);
}

TEST(HandsOnBoards, FreeChannelsInTeachingModeReportTheHandOthersAnswerAsBefore)
{
    Options options;
    options.ids = {0, 1};
    options.hand = Parsed("0 1 50\n0 14 20\n200 14 20\n");
    VirtualBoards boards(options);
    PtyClient c(boards.SlavePath());
    // CH1 and CH2 of board 0 FREE (CH2 was at 70 and the script leaves it alone); CH3 is held at 33.
    EXPECT_EQ(hex(c.ask(Positions({90, 70, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90}), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(Positions({221, 221, 33, 90, 90, 90, 90, 90, 90, 90, 90, 90}), 2)), "00 06");
    boards.EditBoard(1, [](BoardMemory &m) { m.positions[1] = 221; });
    // Default mode: as today, the codes last sent.
    EXPECT_EQ(hex(c.ask(frame({0xFC, 0}), 14)), "00 DD DD 21 5A 5A 5A 5A 5A 5A 5A 5A 5A 05");
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 2}), 2)), "00 06");
    const Bytes first = c.ask(frame({0xFC, 0}), 14);
    EXPECT_EQ(hex(first), "00 32 46 21 5A 5A 5A 5A 5A 5A 5A 5A 5A 43");
    // The other board is not in teaching mode: its FREE channel reads 221 until it is.
    EXPECT_EQ(hex(c.ask(frame({0xFC, 1}), 14)), "01 5A DD 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 3C");
    EXPECT_EQ(hex(c.ask(frame({0xF1, 1, 2}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xFC, 1}), 14)), "01 5A 14 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 73");
    // Asking changes nothing the board keeps.
    EXPECT_EQ(boards.Board(0).positions[0], 221);
}

TEST(HandsOnBoards, TimeStartsOnEnteringTeachingModeRunsOnAndPlaysAgainOncePlayedOut)
{
    VirtualBoards boards;
    PtyClient c(boards.SlavePath());
    EXPECT_EQ(hex(c.ask(Positions({221, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90}), 2)), "00 06");
    boards.SetHandScript(Parsed("0 1 0\n300 1 180\n600 1 180\n"));
    std::this_thread::sleep_for(100ms);  // not yet started: teaching mode not entered
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 2}), 2)), "00 06");
    EXPECT_LT(c.ask(frame({0xFC, 0}), 14).at(1), 60);
    std::this_thread::sleep_for(350ms);
    EXPECT_EQ(c.ask(frame({0xFC, 0}), 14).at(1), 180);
    // Leaving and entering teaching mode again while the script plays keeps its clock running.
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 0}), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 2}), 2)), "00 06");
    EXPECT_EQ(c.ask(frame({0xFC, 0}), 14).at(1), 180);
    // Played out: the next entry starts it again; so does a new script.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 2}), 2)), "00 06");
    EXPECT_LT(c.ask(frame({0xFC, 0}), 14).at(1), 60);
    std::this_thread::sleep_for(350ms);
    boards.SetHandScript(Parsed("0 1 0\n300 1 180\n"));
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 2}), 2)), "00 06");
    EXPECT_LT(c.ask(frame({0xFC, 0}), 14).at(1), 60);
}

}  // namespace
