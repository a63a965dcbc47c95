// varkel backup, restore and verify against two virtual boards: the file, the boards' memory after a
// restore, the differences verify lists, and a damaged file refused before anything is sent.

#include "file_helpers.h"
#include "restored_memory.h"
#include "textfile/file_io.h"
#include "varkel_run.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using orvane::sim::BoardMemory;

using Outcome = VarkelOutcome;

class VarkelImage : public VarkelOnBoards {
protected:
    // A whole-board run takes a while.
    static Outcome Varkel(const QStringList &args) { return On(args, 60000); }
    static BoardMemory Programmed(std::uint8_t id)
    {
        BoardMemory m(id);
        m.trims.fill(std::uint8_t(127 + id));
        m.motionLengths[0] = 3;
        m.motionLengths[39] = 2;
        for (int r = 0; r < 3; ++r)
            m.motions[0][size_t(r)] = {std::uint8_t(r),
                                       {std::uint8_t(10 + r + id), 20, 30, 40, 50, 60, 70, 80, 90, 100, 221, 227}};
        m.motions[39][1].speed = 7;
        m.scenarioLengths[3] = 2;
        m.scenarios[3][1] = 39;
        m.assignments[159] = {5, 39};
        return m;
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
};

TEST_F(VarkelImage, BackupOfTwoBoardsRestoresOntoWipedBoardsAndVerifyListsADifference)
{
    boards->SetBoard(0, Programmed(0));
    boards->SetBoard(1, Programmed(1));
    const Outcome backup = Varkel({"--id", "0", "--id", "1", "backup", path("robot.json")});
    ASSERT_EQ(backup.exitCode, 0) << qPrintable(backup.err);
    EXPECT_TRUE(backup.err.isEmpty());  // no bar when standard error is no terminal

    boards->SetBoard(0, BoardMemory(0));
    boards->SetBoard(1, BoardMemory(1));
    const Outcome restore = Varkel({"restore", path("robot.json")});
    ASSERT_EQ(restore.exitCode, 0) << qPrintable(restore.err) << qPrintable(restore.out);
    for (std::uint8_t id : {0, 1})
        ExpectRestoredMemory(boards->Board(id), Programmed(id));

    boards->EditBoard(1, [](BoardMemory &m) { m.motions[0][2].values[0] = 0; });
    const Outcome verify = Varkel({"verify", path("robot.json")});
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_EQ(verify.out, QStringLiteral("board 1: motion 0 row 2\n"));
}

TEST_F(VarkelImage, ACutOrEditedImageIsRefusedBeforeAnythingIsSent)
{
    boards->SetBoard(0, Programmed(0));
    ASSERT_EQ(Varkel({"backup", path("one.json")}).exitCode, 0);
    const QByteArray json = ReadAll(path("one.json"));
    const auto write = [&](const char *name, const QByteArray &bytes) {
        WriteAll(path(name), bytes);
        return path(name);
    };
    const QString cut = write("cut.json", json.left(json.size() - 40));
    const QString edited = write("edited.json", QByteArray(json).replace("\"version\": 1", "\"version\": 7"));
    boards->SetBoard(0, BoardMemory(0));
    for (const QString &bad : {cut, edited}) {
        boards->ClearFrames();
        const Outcome run = Varkel({"restore", bad});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(QStringLiteral("nothing was sent"))) << qPrintable(run.err);
        EXPECT_TRUE(boards->Frames().empty());
    }
    EXPECT_EQ(boards->Board(0), BoardMemory(0));
    EXPECT_EQ(Varkel({"--id", "3", "restore", path("one.json")}).exitCode, 1);  // no such board in the image
    EXPECT_EQ(Varkel({"restore"}).exitCode, 2);
    // Options after the command are read too; a bad one stops the run before anything is sent.
    boards->ClearFrames();
    EXPECT_EQ(Varkel({"restore", path("one.json"), "--id", "300"}).exitCode, 2);
    EXPECT_EQ(Varkel({"verify", path("one.json"), "--id", "0"}).exitCode, 1);  // the board was wiped above
    EXPECT_EQ(Varkel({"restore", path("one.json"), "--id", "0"}).exitCode, 0);
    EXPECT_EQ(Varkel({"verify", path("one.json"), "--id", "0"}).exitCode, 0);
}

TEST_F(VarkelImage, AnImageLargerThanTheReadersTakeIsRefusedUnreadLikeASpecialFile)
{
    // Sparse: it takes no room on disk, and reading it whole would take 256 MB.
    const QString huge = path("huge.json");
    QFile file(huge);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(orvane::kMaxReadFileBytes + 1));
    file.close();
    boards->ClearFrames();
    for (const QString &bad : {huge, QStringLiteral("/dev/zero"), path("missing.json")}) {
        for (const char *command : {"restore", "verify"}) {
            const Outcome run = Varkel({command, bad});
            EXPECT_EQ(run.exitCode, 1) << command << qPrintable(bad);
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("varkel: cannot read ") + bad)) << qPrintable(run.err);
        }
    }
    EXPECT_TRUE(Varkel({"verify", huge}).err.contains(QStringLiteral("larger than 268435456 bytes")));
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(VarkelImage, TheHomePositionIsRestoredOnlyWhenNamedAndAfterAWarning)
{
    BoardMemory programmed = Programmed(0);
    programmed.home.fill(33);
    boards->SetBoard(0, programmed);
    ASSERT_EQ(Varkel({"backup", path("home.json")}).exitCode, 0);

    boards->SetBoard(0, BoardMemory(0));
    boards->ClearFrames();
    EXPECT_EQ(Varkel({"verify", "--home", path("home.json")}).exitCode, 2);
    EXPECT_TRUE(boards->Frames().empty());

    const Outcome plain = Varkel({"restore", path("home.json")});
    EXPECT_EQ(plain.exitCode, 0) << qPrintable(plain.err);
    EXPECT_EQ(boards->Board(0).home, BoardMemory(0).home);
    // verify compares the home position too, which a plain restore leaves alone.
    EXPECT_EQ(Varkel({"verify", path("home.json")}).out, QStringLiteral("board 0: home position\n"));

    const Outcome home = Varkel({"restore", "--home", path("home.json")});
    EXPECT_EQ(home.exitCode, 0) << qPrintable(home.err);
    EXPECT_TRUE(home.err.contains(QStringLiteral("Keep the robot clear"))) << qPrintable(home.err);
    EXPECT_EQ(boards->Board(0).home, programmed.home);
    EXPECT_EQ(boards->Board(0).mode, 0);
    EXPECT_EQ(Varkel({"verify", path("home.json")}).exitCode, 0);
}

}  // namespace
