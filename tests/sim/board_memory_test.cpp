// The board's memory and its fault rules, without a line.

#include "pty_client.h"
#include "sim/board_memory.h"
#include "sim/faults.h"

#include <gtest/gtest.h>

using namespace orvane::sim;
using simtest::frame;
using simtest::hex;

namespace {

std::string run(BoardMemory &board, const Bytes &request)
{
    const auto reply = board.Execute(request);
    return reply ? hex(*reply) : "none";
}

}  // namespace

TEST(BoardMemory, FreshBoardHoldsTheDocumentedStartValues)
{
    BoardMemory b(7);
    EXPECT_EQ(run(b, frame({0xFC, 7})), "07 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 3F");
    EXPECT_EQ(run(b, frame({0xFA, 7})), "07 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 3F");
    EXPECT_EQ(run(b, frame({0xE8, 7})), "07 14 14 14 14 14 14 14 14 14 14 14 14 77");
    EXPECT_EQ(run(b, frame({0xF0, 7})), "07 00 07");
    EXPECT_EQ(run(b, frame({0xF6, 7, 39})), "07 00 07");
    EXPECT_EQ(run(b, frame({0xF2, 7, 3})), "07 00 07");
    EXPECT_EQ(run(b, frame({0xEC, 7, 159})), "07 00 00 C8 4F");

    BoardMemory never(0, AssignInit::Garbage);
    EXPECT_EQ(run(never, frame({0xEC, 0, 0})), "00 0F 0F FF 1D");
}

TEST(BoardMemory, WritesAreReadBackExactly)
{
    BoardMemory b(1);
    EXPECT_EQ(run(b, frame({0xF9, 1, 39, 99, 7, 0, 10, 20, 30, 40, 50, 60, 70, 80, 180, 221, 227})), "01 06");
    EXPECT_EQ(run(b, frame({0xF8, 1, 39, 99})), "01 07 00 0A 14 1E 28 32 3C 46 50 B4 DD E3 64");
    EXPECT_EQ(run(b, frame({0xF7, 1, 39, 100})), "01 06");
    EXPECT_EQ(run(b, frame({0xF6, 1, 39})), "01 64 65");
    EXPECT_EQ(run(b, frame({0xF5, 1, 3, 199, 12})), "01 06");
    EXPECT_EQ(run(b, frame({0xF4, 1, 3, 199})), "01 0C 0D");
    EXPECT_EQ(run(b, frame({0xF3, 1, 3, 200})), "01 06");
    EXPECT_EQ(run(b, frame({0xF2, 1, 3})), "01 C8 49");
    EXPECT_EQ(run(b, frame({0xED, 1, 159, 0x0A, 0x05, 100})), "01 06");
    EXPECT_EQ(b.assignments[159].pattern, 0xA5);
    EXPECT_EQ(run(b, frame({0xEC, 1, 159})), "01 0A 05 64 74");
    EXPECT_EQ(run(b, frame({0xE9, 1, 0, 1, 2, 3, 4, 5, 36, 37, 38, 39, 40, 20})), "01 06");
    EXPECT_EQ(run(b, frame({0xE8, 1})), "01 00 01 02 03 04 05 24 25 26 27 28 14 62");
    EXPECT_EQ(run(b, frame({0xF1, 1, 2})), "01 06");
    EXPECT_EQ(run(b, frame({0xF0, 1})), "01 02 03");
}

TEST(BoardMemory, SetHomePositionTakesTheCurrentPositions)
{
    BoardMemory b(0);
    EXPECT_EQ(run(b, frame({0xFD, 0, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 221})), "00 06");
    EXPECT_EQ(run(b, frame({0xFA, 0})), "00 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 38");
    EXPECT_EQ(run(b, frame({0xFB, 0})), "00 06");
    EXPECT_EQ(run(b, frame({0xFA, 0})), "00 01 02 03 04 05 06 07 08 09 0A 0B DD 1F");
    // Later moves leave the stored home alone.
    run(b, frame({0xFD, 0, 0, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90}));
    EXPECT_EQ(b.home[11], 221);
}

TEST(BoardMemory, OutOfRangeFramesGetNoAnswerAndChangeNothing)
{
    const std::vector<Bytes> bad = {
        frame({0xF9, 0, 40, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}),   // motion slot 40
        frame({0xF9, 0, 0, 100, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}),  // row 100
        frame({0xF8, 0, 40, 0}),
        frame({0xF8, 0, 0, 100}),
        frame({0xF7, 0, 0, 101}),
        frame({0xF7, 0, 40, 1}),
        frame({0xF6, 0, 40}),
        frame({0xF5, 0, 4, 0, 1}),
        frame({0xF5, 0, 0, 200, 1}),
        frame({0xF4, 0, 4, 0}),
        frame({0xF4, 0, 0, 200}),
        frame({0xF3, 0, 0, 201}),
        frame({0xF3, 0, 4, 1}),
        frame({0xF2, 0, 4}),
        frame({0xF1, 0, 3}),
        frame({0xEF, 0, 40}),
        frame({0xEE, 0, 4}),
        frame({0xED, 0, 160, 1, 1, 1}),
        frame({0xED, 0, 0, 16, 1, 1}),
        frame({0xED, 0, 0, 1, 16, 1}),
        frame({0xEC, 0, 160}),
    };
    BoardMemory b(0);
    const BoardMemory before = b;
    for (const Bytes &f : bad)
        EXPECT_EQ(run(b, f), "none") << hex(f);
    EXPECT_TRUE(b == before);

    // The limits themselves are accepted.
    EXPECT_EQ(run(b, frame({0xF7, 0, 39, 100})), "00 06");
    EXPECT_EQ(run(b, frame({0xF3, 0, 3, 200})), "00 06");
    EXPECT_EQ(run(b, frame({0xEF, 0, 39})), "00 06");
    EXPECT_EQ(run(b, frame({0xEE, 0, 3})), "00 06");
    EXPECT_EQ(b.playedMotions, Bytes{39});
    EXPECT_EQ(b.playedScenarios, Bytes{3});
}

TEST(BoardMemory, DumpListsEveryBoardInTheDocumentedFormat)
{
    BoardMemory a(0);
    a.mode = 1;
    a.positions = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    a.trims[0] = 0;
    a.motionLengths[2] = 2;
    a.motions[2][0] = {3, {90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 225}};
    a.motions[3][5].speed = 7;  // beyond the length, but not fresh
    a.scenarioLengths[1] = 1;
    a.scenarios[0][7] = 9;
    a.assignments[3] = {0xA5, 100};
    a.playedMotions = {4, 4};
    BoardMemory b(1, AssignInit::Garbage);

    std::string expected =
        "board 0\n"
        "mode 1\n"
        "positions 1 2 3 4 5 6 7 8 9 10 11 12\n"
        "home 90 90 90 90 90 90 90 90 90 90 90 90\n"
        "trims 0 20 20 20 20 20 20 20 20 20 20 20\n"
        "motion-lengths 0 0 2 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
        "motion-row 2 0 3 90 90 90 90 90 90 90 90 90 90 90 225\n"
        "motion-row 2 1 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
        "motion-row 3 5 7 0 0 0 0 0 0 0 0 0 0 0 0\n"
        "scenario-lengths 0 1 0 0\n"
        "scenario-item 0 7 9\n"
        "scenario-item 1 0 0\n";
    for (int e = 0; e < 160; ++e)
        expected += "assignment " + std::to_string(e) + (e == 3 ? " 165 100\n" : " 0 200\n");
    expected += "played-motions 4 4\n"
                "played-scenarios\n"
                "end\n"
                "\n"
                "board 1\n"
                "mode 0\n"
                "positions 90 90 90 90 90 90 90 90 90 90 90 90\n"
                "home 90 90 90 90 90 90 90 90 90 90 90 90\n"
                "trims 20 20 20 20 20 20 20 20 20 20 20 20\n"
                "motion-lengths 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n"
                "scenario-lengths 0 0 0 0\n";
    for (int e = 0; e < 160; ++e)
        expected += "assignment " + std::to_string(e) + " 255 255\n";
    expected += "played-motions\nplayed-scenarios\nend\n";

    EXPECT_EQ(FormatDump({a, b}), expected);
}

TEST(Faults, EachKindChangesTheReplyAsDescribed)
{
    auto plan = [](FaultKind kind, Bytes reply, int gap = 0, int at = 0, int extra = 1) {
        Fault f;
        f.kind = kind;
        f.gapMs = gap;
        f.splitAt = at;
        f.extraBytes = extra;
        ReplyPlan p;
        p.bytes = std::move(reply);
        ApplyFault(f, p);
        return p;
    };
    EXPECT_FALSE(plan(FaultKind::NoReply, {0, 6}).send);
    EXPECT_EQ(hex(plan(FaultKind::BadChecksum, {0, 0, 0}).bytes), "00 00 01");
    EXPECT_EQ(hex(plan(FaultKind::BadChecksum, {0, 0x7F, 0x7F}).bytes), "00 7F 00");
    EXPECT_EQ(hex(plan(FaultKind::BadChecksum, {0, 6}).bytes), "00 15");
    // The checksum follows the wrong ID, so only the ID gives the reply away.
    EXPECT_EQ(hex(plan(FaultKind::WrongId, {0, 2, 2}).bytes), "01 02 03");
    EXPECT_EQ(hex(plan(FaultKind::WrongId, {0xFF, 6}).bytes), "00 06");
    EXPECT_EQ(hex(plan(FaultKind::Extra, {0, 6}, 0, 0, 3).bytes), "00 06 00 00 00");

    const ReplyPlan half = plan(FaultKind::Split, Bytes(14, 1), 40);
    EXPECT_EQ(half.splitAt, 7u);
    EXPECT_EQ(half.gapMs, 40);
    EXPECT_EQ(plan(FaultKind::Split, {0, 6}, 5, 9).splitAt, 1u);  // at least one byte in each piece
}

TEST(Faults, FaultTextsParseIntoCommandAndFrameRange)
{
    std::string error;
    auto f = ParseFault("noreply:0xF0:3", error);
    ASSERT_TRUE(f) << error;
    EXPECT_EQ(f->kind, FaultKind::NoReply);
    EXPECT_EQ(f->command, std::optional<std::uint8_t>(0xF0));
    EXPECT_FALSE(f->hits(2));
    EXPECT_TRUE(f->hits(3));
    EXPECT_FALSE(f->hits(4));

    f = ParseFault("split:any:1-5:40", error);
    ASSERT_TRUE(f) << error;
    EXPECT_EQ(f->command, std::nullopt);
    EXPECT_TRUE(f->hits(1));
    EXPECT_TRUE(f->hits(5));
    EXPECT_FALSE(f->hits(6));
    EXPECT_EQ(f->gapMs, 40);
    EXPECT_EQ(f->splitAt, 0);

    f = ParseFault("split:252:always:35:2", error);
    ASSERT_TRUE(f) << error;
    EXPECT_EQ(f->command, std::optional<std::uint8_t>(0xFC));
    EXPECT_TRUE(f->hits(1000));
    EXPECT_EQ(f->splitAt, 2);

    f = ParseFault("extra:0xe8:4-:3", error);
    ASSERT_TRUE(f) << error;
    EXPECT_FALSE(f->hits(3));
    EXPECT_TRUE(f->hits(4000));
    EXPECT_EQ(f->extraBytes, 3);

    f = ParseFault("late:0xEC:5:45", error);
    ASSERT_TRUE(f) << error;
    EXPECT_EQ(f->kind, FaultKind::Late);
    EXPECT_EQ(f->gapMs, 45);
    ReplyPlan plan;
    plan.bytes = {0, 6};
    ApplyFault(*f, plan);
    EXPECT_EQ(plan.delayMs, 45);
    EXPECT_EQ(plan.bytes, (Bytes{0, 6}));

    for (const char *bad :
         {"", "late:any:1", "late:any:1:5:2", "noreply", "noreply:any", "lost:any:1", "noreply:0xEA:1",
          "noreply:0x1F0:1", "noreply:any:0", "noreply:any:5-3", "noreply:any:x", "noreply:any:1:2", "split:any:1",
          "split:any:1:x", "split:any:1:10:0", "extra:any:1:0", "extra:any:1:5000", "badsum:F0:1"}) {
        error.clear();
        EXPECT_FALSE(ParseFault(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}
