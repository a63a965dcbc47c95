// Backup and restore-with-verify of two full boards through the board image code, against two line-paced
// virtual boards: wall time against the time the frames and their replies need on the line.

#include "line_time.h"
#include "protocol/serial_port.h"
#include "session/board_image.h"
#include "sim/virtual_boards.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

namespace sim = orvane::sim;

constexpr int kBenchPort = 952;
constexpr double kGoal = 1.10;
const std::uint8_t kIds[] = {0, 1};

// Every motion slot at 100 rows, every scenario slot at 200 items, every assignment set, all of it
// different from a fresh board and from the other board.
sim::BoardMemory FullBoard(std::uint8_t id)
{
    sim::BoardMemory b(id);
    unsigned seed = 12345u + id * 777u;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return std::uint8_t(seed >> 16);
    };
    for (std::uint8_t &t : b.trims)
        t = next() % 41;
    for (int slot = 0; slot < orvane::kMotionSlotCount; ++slot) {
        b.motionLengths[size_t(slot)] = orvane::kMotionRowsPerSlot;
        for (sim::MotionRow &row : b.motions[size_t(slot)]) {
            row.speed = next() % 16;
            for (std::uint8_t &v : row.values)
                v = next() % 181;
        }
    }
    for (int slot = 0; slot < orvane::kScenarioSlotCount; ++slot) {
        b.scenarioLengths[size_t(slot)] = orvane::kScenarioItemsPerSlot;
        for (std::uint8_t &item : b.scenarios[size_t(slot)])
            item = next() % orvane::kMotionSlotCount;
    }
    for (sim::Assignment &a : b.assignments)
        a = {next(), std::uint8_t(next() % 201)};
    return b;
}

// What a backup of that board must hold (the home position included).
orvane::ImageBoard ExpectedImage(const sim::BoardMemory &b)
{
    orvane::ImageBoard image;
    image.id = b.id;
    image.home = b.home;
    image.trims = b.trims;
    for (int slot = 0; slot < orvane::kMotionSlotCount; ++slot)
        for (int row = 0; row < b.motionLengths[size_t(slot)]; ++row) {
            const sim::MotionRow &r = b.motions[size_t(slot)][size_t(row)];
            image.motions[size_t(slot)].push_back({r.speed, r.values});
        }
    for (int slot = 0; slot < orvane::kScenarioSlotCount; ++slot)
        for (int item = 0; item < b.scenarioLengths[size_t(slot)]; ++item)
            image.scenarios[size_t(slot)].push_back(b.scenarios[size_t(slot)][size_t(item)]);
    for (int entry = 0; entry < orvane::kAssignmentEntryCount; ++entry)
        image.assignments[size_t(entry)] = {b.assignments[size_t(entry)].pattern, b.assignments[size_t(entry)].target};
    return image;
}

[[noreturn]] void Fail(const char *what, const QString &detail = {})
{
    std::fprintf(stderr, "image bench FAILED: %s%s%s\n", what, detail.isEmpty() ? "" : ": ", qPrintable(detail));
    std::exit(1);
}

struct Run {
    double wallMs = 0;
    double boardsLateMs = 0;  // the virtual boards' own lateness, which a real board would not add
    LineTime line;
    double Ratio() const { return wallMs / line.ms; }
    double RatioWithoutBoardsLate() const { return (wallMs - boardsLateMs) / line.ms; }
};

double LateMs(const sim::VirtualBoards &boards) { return boards.Lateness().count() / 1e6; }

Run Backup(sim::VirtualBoards &boards, orvane::BoardImage &image)
{
    boards.ClearFrames();
    image.boards.clear();
    const double lateBefore = LateMs(boards);
    QElapsedTimer clock;
    clock.start();
    for (std::uint8_t id : kIds) {
        QString error;
        auto board = orvane::ReadBoardImage(id, {}, &error);
        if (!board)
            Fail("backup", error);
        image.boards.push_back(std::move(*board));
    }
    Run run;
    run.wallMs = clock.nsecsElapsed() / 1e6;
    run.boardsLateMs = LateMs(boards) - lateBefore;
    run.line = LineTimeOf(boards);
    return run;
}

// Write and read back are timed as one run; `writeMs` tells how much of it the write took.
Run RestoreAndVerify(sim::VirtualBoards &boards, const orvane::BoardImage &image, double &writeMs)
{
    for (std::uint8_t id : kIds)
        boards.SetBoard(id, sim::BoardMemory(id));
    boards.ClearFrames();
    const double lateBefore = LateMs(boards);
    QElapsedTimer clock;
    clock.start();
    for (const orvane::ImageBoard &board : image.boards) {
        QString error;
        if (!orvane::WriteBoardImage(board, {}, &error))
            Fail("restore", error);
    }
    writeMs = clock.nsecsElapsed() / 1e6;
    QStringList differences;
    for (const orvane::ImageBoard &board : image.boards) {
        QString error;
        const auto found = orvane::ReadBoardImage(board.id, {}, &error);
        if (!found)
            Fail("verify read", error);
        differences += orvane::CompareBoardImages(board, *found, false);
    }
    Run run;
    run.wallMs = clock.nsecsElapsed() / 1e6;
    run.boardsLateMs = LateMs(boards) - lateBefore;
    run.line = LineTimeOf(boards);
    if (!differences.isEmpty())
        Fail("verify found differences", differences.mid(0, 5).join(QStringLiteral("; ")));
    return run;
}

void Report(const char *what, std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run &a, const Run &b) { return a.Ratio() < b.Ratio(); });
    const Run &median = runs[runs.size() / 2];
    const Run &best = runs.front();
    const double overheadUs = (median.wallMs - median.line.ms) * 1000 / double(median.line.frames);
    std::printf("%s, %zu runs, %zu frames each:\n", what, runs.size(), median.line.frames);
    std::printf("  line time %.1f ms; wall median %.1f ms (ratio %.3f), best %.1f ms (%.3f), worst %.1f ms (%.3f)\n",
                median.line.ms, median.wallMs, median.Ratio(), best.wallMs, best.Ratio(), runs.back().wallMs,
                runs.back().Ratio());
    std::printf("  beyond the line: %.1f us per command (median run); goal ratio <= %.2f: %s\n", overheadUs, kGoal,
                median.Ratio() <= kGoal ? "met" : "NOT met");
    std::printf("  of that, the virtual boards' own lateness: %.1f ms (median run); without it ratio %.3f\n",
                median.boardsLateMs, median.RatioWithoutBoardsLate());
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // image_bench [runs] [backup]: the second word leaves the restore out.
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const bool backupOnly = argc > 2 && std::strcmp(argv[2], "backup") == 0;

    sim::Options options;
    options.ids = {kIds[0], kIds[1]};
    options.paced = true;
    sim::VirtualBoards boards(options);
    SetDevicePath(kBenchPort, QString::fromStdString(boards.SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(kBenchPort, 115200);
    SerialPort->Open();

    std::vector<sim::BoardMemory> full;
    for (std::uint8_t id : kIds)
        full.push_back(FullBoard(id));

    std::vector<Run> backups, restores;
    std::vector<double> writes;
    orvane::BoardImage image;
    for (int i = 0; i < runs; ++i) {
        for (const sim::BoardMemory &b : full)
            boards.SetBoard(b.id, b);
        backups.push_back(Backup(boards, image));
        for (size_t b = 0; b < full.size(); ++b)
            if (!(image.boards[b] == ExpectedImage(full[b])))
                Fail("the backup differs from the boards' memory");
        if (backupOnly) {
            std::printf("run %d: backup %.1f ms (%.3f)\n", i + 1, backups.back().wallMs, backups.back().Ratio());
            std::fflush(stdout);
            continue;
        }
        double writeMs = 0;
        restores.push_back(RestoreAndVerify(boards, image, writeMs));
        writes.push_back(writeMs);
        for (const sim::BoardMemory &b : full) {
            const sim::BoardMemory now = boards.Board(b.id);
            if (now.trims != b.trims || now.motions != b.motions || now.motionLengths != b.motionLengths
                || now.scenarios != b.scenarios || now.scenarioLengths != b.scenarioLengths
                || now.assignments != b.assignments)
                Fail("the restored boards' memory differs from the image");
        }
        std::printf("run %d: backup %.1f ms (%.3f), restore %.1f ms + verify %.1f ms (%.3f)\n", i + 1,
                    backups.back().wallMs, backups.back().Ratio(), writeMs, restores.back().wallMs - writeMs,
                    restores.back().Ratio());
        std::fflush(stdout);
    }
    Report("backup of two full boards", backups);
    if (!restores.empty())
        Report("restore with verify of two full boards", restores);
    ReleasePort();
    return 0;
}
