// The varkel command against virtual boards: what it prints, its exit codes, and the boards' memory
// that its commands leave behind.

#include "varkel_run.h"

namespace {

using orvane::sim::BoardMemory;

using Outcome = VarkelOutcome;

Outcome Varkel(const QStringList &args) { return RunVarkel(args); }

TEST(VarkelArguments, MalformedInvocationsExitTwoWithOneLine)
{
    const QList<QStringList> bad = {
        {"get-mode"},                           // no port
        {"--port", "COM1", "fly"},              // unknown command
        {"--port", "COM1", "set-mode", "256"},  // out of 0-255
        {"--port", "COM1", "set-mode", "-1"},
        {"--port", "COM1", "set-mode", "1x"},
        {"--port", "COM1", "send-positions", "0", "90"},  // too few values
        {"--port", "COM1", "get-mode", "3"},              // too many
        {"--port", "COM1", "--id", "300", "get-mode"},
        {"--port", "COM1", "--attempts"},
        {"--port", "COM1", "--speed", "3", "get-mode"},
        {"--port", "COM1", "set-mode", "3"},  // modes are 0 to 2
        {"--port", "COM1", "read-motion-row", "40", "0"},
        {"--port", "COM1", "read-motion-row", "0", "100"},
        {"--port", "COM1", "set-motion-length", "0", "101"},
        {"--port", "COM1", "play-scenario", "4"},
        {"--port", "COM1", "send-positions", "8", "90", "90", "90", "90", "90", "90", "90", "90", "90", "90", "90",
         "90"},
        {"--port", "COM31", "get-mode"},
        {"--port", "COM0", "get-mode"},
    };
    for (const QStringList &args : bad) {
        const Outcome run = Varkel(args);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(args.join(' '));
        EXPECT_EQ(run.err.count('\n'), 1) << qPrintable(run.err);
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(VarkelArguments, PortThatCannotOpenSaysWhyAndWhichDevice)
{
    Outcome run = Varkel({"--port", "/dev/orvane-missing", "get-mode"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("varkel: cannot open /dev/orvane-missing (/dev/orvane-missing): "
                             "ポートをオープンできませんでした: デバイス /dev/orvane-missing は存在しません。\n"));
    run = Varkel({"get-mode", "--port", "COM9"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("varkel: cannot open COM9 (/dev/ttyUSB8): "))) << qPrintable(run.err);
    run = Varkel({"--port", "COM31", "get-mode"});
    EXPECT_EQ(run.err, QStringLiteral("varkel: --port COM31: COM numbers run from 1 to 30 (see varkel --help)\n"));
}

TEST(VarkelArguments, VersionIsTheProjectVersion)
{
    const Outcome run = RunVarkel({"--version"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QStringLiteral("varkel " ORVANE_VERSION "\n"));
}

TEST(VarkelArguments, HelpGivesRangesAndExitCodes)
{
    Outcome run = Varkel({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("motion SLOT 0-39, ROW 0-99")) << qPrintable(run.out);
    EXPECT_TRUE(run.out.contains("2 bad argument (nothing was sent)"));
    run = Varkel({"write-motion-row", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "usage: varkel [OPTIONS] write-motion-row SLOT ROW SPEED V1..V12\n"
                       "  store one row of a motion\n"
                       "  SLOT: 0 to 39\n  ROW: 0 to 99\n  SPEED: 0 to 7\n  V1..V12: 0 to 255\n"
                       "exit codes: 0 done, 1 the port did not open or the board gave no valid reply,\n"
                       "            2 bad argument (nothing was sent)\n");
}

TEST_F(VarkelOnBoards, PositionsAndHomeFollowTheBoard)
{
    Outcome run = On({"send-positions", "3", "0", "10", "20", "30", "40", "50", "60", "70", "80", "90", "100", "180"});
    ASSERT_EQ(run.exitCode, 0) << qPrintable(run.err);
    run = On({"get-positions"});
    EXPECT_EQ(run.out, "0 10 20 30 40 50 60 70 80 90 100 180\n");
    EXPECT_EQ(On({"--id", "1", "get-home"}).out, "90 90 90 90 90 90 90 90 90 90 90 90\n");

    ASSERT_EQ(On({"set-home"}).exitCode, 0);
    EXPECT_EQ(On({"get-home"}).out, "0 10 20 30 40 50 60 70 80 90 100 180\n");
    EXPECT_EQ(On({"--id", "1", "get-home"}).out, "90 90 90 90 90 90 90 90 90 90 90 90\n")
        << "the other board's home is its own";
    EXPECT_EQ(boards->Board(0).home, boards->Board(0).positions);
}

TEST_F(VarkelOnBoards, MotionRowsAndLengthsAreKeptPerSlot)
{
    ASSERT_EQ(On({"--id", "1", "write-motion-row", "39", "99", "7", "221", "222", "223", "224", "225", "226", "0", "1",
                  "2", "3", "4", "180"})
                  .exitCode,
              0);
    ASSERT_EQ(On({"--id", "1", "set-motion-length", "39", "100"}).exitCode, 0);
    EXPECT_EQ(On({"--id", "1", "read-motion-row", "39", "99"}).out, "7 221 222 223 224 225 226 0 1 2 3 4 180\n");
    EXPECT_EQ(On({"--id", "1", "get-motion-length", "39"}).out, "100\n");
    EXPECT_EQ(On({"get-motion-length", "39"}).out, "0\n") << "board 0 untouched";
    EXPECT_EQ(boards->Board(1).motionLengths[39], 100);
    EXPECT_EQ(boards->Board(1).motions[39][99].speed, 7);

    // Out-of-range slot or length: refused before anything is sent; options may follow the command.
    const auto sent = boards->Frames().size();
    const Outcome refused = On({"set-motion-length", "40", "1", "--attempts", "2"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "varkel: SLOT must be a number from 0 to 39, not '40' (see varkel --help)\n");
    EXPECT_EQ(On({"set-motion-length", "0", "101"}).exitCode, 2);
    EXPECT_EQ(boards->Frames().size(), sent);
    EXPECT_EQ(boards->Board(0).motionLengths[0], 0);
    EXPECT_EQ(On({"get-motion-length", "39", "--id", "1"}).out, "100\n");
}

TEST_F(VarkelOnBoards, ScenarioItemsAndLengths)
{
    ASSERT_EQ(On({"write-scenario-item", "3", "199", "39"}).exitCode, 0);
    ASSERT_EQ(On({"set-scenario-length", "3", "200"}).exitCode, 0);
    EXPECT_EQ(On({"read-scenario-item", "3", "199"}).out, "39\n");
    EXPECT_EQ(On({"get-scenario-length", "3"}).out, "200\n");
    EXPECT_EQ(On({"--attempts", "1", "set-scenario-length", "3", "201"}).exitCode, 2);
    EXPECT_EQ(boards->Board(0).scenarioLengths[3], 200);
}

TEST_F(VarkelOnBoards, AssignmentsTravelAsNibblesAndStartErased)
{
    EXPECT_EQ(On({"read-assignment", "17"}).out, "0 200\n");
    ASSERT_EQ(On({"write-assignment", "159", "165", "103"}).exitCode, 0);
    EXPECT_EQ(On({"read-assignment", "159"}).out, "165 103\n");
    EXPECT_EQ(boards->Board(0).assignments[159].pattern, 0xA5);
    const auto frames = boards->Frames();
    bool seen = false;
    for (const auto &f : frames)
        if (f.size() == 7 && f[0] == 0xED && f[2] == 159) {
            EXPECT_EQ(f[3], 0x0A);
            EXPECT_EQ(f[4], 0x05);
            seen = true;
        }
    EXPECT_TRUE(seen);
}

TEST_F(VarkelOnBoards, TrimsAndModes)
{
    EXPECT_EQ(On({"read-trim"}).out, "20 20 20 20 20 20 20 20 20 20 20 20\n");
    ASSERT_EQ(On({"write-trim", "0", "1", "2", "3", "4", "5", "36", "37", "38", "39", "40", "20"}).exitCode, 0);
    EXPECT_EQ(On({"read-trim"}).out, "0 1 2 3 4 5 36 37 38 39 40 20\n");
    ASSERT_EQ(On({"--id", "1", "set-mode", "2"}).exitCode, 0);
    EXPECT_EQ(On({"--id", "1", "get-mode"}).out, "2\n");
    EXPECT_EQ(On({"get-mode"}).out, "0\n");
    EXPECT_EQ(On({"--attempts", "1", "set-mode", "3"}).exitCode, 2);
    ASSERT_EQ(On({"play-motion", "12"}).exitCode, 0);
    ASSERT_EQ(On({"play-scenario", "2"}).exitCode, 0);
    EXPECT_EQ(boards->Board(0).playedMotions, std::vector<uint8_t>{12});
    EXPECT_EQ(boards->Board(0).playedScenarios, std::vector<uint8_t>{2});
}

TEST_F(VarkelOnBoards, BroadcastPlayMotionSaysItWasSentAndExitsZero)
{
    boards->ClearFrames();
    const Outcome run = On({"--id", "99", "play-motion", "5"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_EQ(run.out, "play-motion 5 sent to every board at once (ID 99); a broadcast gets no answer\n");
    EXPECT_TRUE(run.err.isEmpty()) << qPrintable(run.err);
    ASSERT_TRUE(boards->WaitForFrames(1, std::chrono::seconds(2)));
    const std::vector<orvane::sim::Bytes> frames = boards->Frames();
    ASSERT_EQ(frames.size(), 1u);  // one frame, no retries
    EXPECT_EQ(frames[0], (orvane::sim::Bytes{0xEF, 99, 5, std::uint8_t((0xEF + 99 + 5) & 0x7F)}));
}

TEST_F(VarkelOnBoards, AbsentBoardUsesItsAttemptsAndExitsOne)
{
    boards->ClearFrames();
    const Outcome run = On({"--id", "9", "--attempts", "3", "get-mode"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("3 attempt")) << qPrintable(run.err);
    EXPECT_EQ(boards->Frames().size(), 3u);
}

}  // namespace
