// Peak memory and time of the motion, scenario and assignment readers on large generated files: line
// feeds only (the hostile file), valid files of many short rows, and scenario rows each with a name of its own. The
// goal: under four times the file plus 50 MB. Run: reader_memory_bench [megabytes, default 250] [folder]
#include "motion/motion_file.h"
#include "peak_memory.h"
#include "scenario/scenario_file.h"
#include "transmitter/assignment_file.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>

using namespace orvane;

namespace {

void MeasureWritten(const char *what, const QString &path, const std::function<bool(const QString &)> &load)
{
    const qint64 size = QFile(path).size();
    QElapsedTimer timer;
    timer.start();
    bool taken = false;
    const long long growth = PeakGrowthBytes([&] {
        taken = load(path);
        return true;
    });
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    const double mb = double(growth) / 1048576;
    const double bound = double(ReaderMemoryBound(size)) / 1048576;
    std::printf("%-44s %7.1f MB file  peak +%7.1f MB (bound %7.1f, %4.2fx)  %7.0f ms  %s\n", what,
                double(size) / 1048576, mb, bound, double(growth) / double(size), ms,
                growth < ReaderMemoryBound(size) ? "under" : "OVER");
    (void)taken;
    QFile::remove(path);
}

// `numbered`: each line gets a number of its own (WriteNumbered), so no two scenario rows share a pair.
void Measure(const char *what, const QString &path, const QByteArray &head, const QByteArray &line, qint64 bytes,
             const std::function<bool(const QString &)> &load, bool numbered = false)
{
    if (!(numbered ? WriteNumbered(path, head, line, bytes) : WriteRepeated(path, head, line, bytes))) {
        std::printf("%-44s cannot write the file\n", what);
        return;
    }
    MeasureWritten(what, path, load);
}

}  // namespace

int main(int argc, char **argv)
{
    const qint64 mb = argc > 1 ? std::max(1, std::atoi(argv[1])) : 250;
    const qint64 bytes = mb << 20;
    QTemporaryDir dir(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/reader-bench-XXXXXX") : QString());
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    const QString path = dir.filePath(QStringLiteral("file.csv"));
    HomePositions home;
    home.fill(90);
    const auto motion = [&](const QString &p) { return LoadMotionFile(p, home).ok(); };
    const auto scenario = [](const QString &p) { return LoadScenarioFile(p).ok(); };
    const auto assignment = [](const QString &p) { return LoadAssignmentFile(p).ok(); };
    const QByteArray motionHeader = "NO,DATA_NAME,SPEED" + [] {
        QByteArray h;
        for (int n = 1; n <= 24; ++n)
            h += ",CH" + QByteArray::number(n);
        return h + "\r\n";
    }();
    const QByteArray shortRow = ",,0" + QByteArray(",0").repeated(24) + "\n";

    Measure("motion: line feeds", path, {}, "\n", bytes, motion);
    Measure("scenario: line feeds", path, {}, "\n", bytes, scenario);
    Measure("assignment: line feeds", path, {}, "\n", bytes, assignment);
    Measure("motion: header, then line feeds", path, motionHeader, "\n", bytes, motion);
    Measure("scenario: head, then line feeds", path, ScenarioFileHead(), "\n", bytes, scenario);
    for (qint64 rows : {100'000LL, 1'000'000LL})
        Measure(qPrintable(QStringLiteral("motion: %1 short rows").arg(rows)), path, motionHeader, shortRow,
                rows * shortRow.size(), motion);
    for (qint64 rows : {100'000LL, 1'000'000LL, 10'000'000LL})
        Measure(qPrintable(QStringLiteral("scenario: %1 rows").arg(rows)), path, ScenarioFileHead(), "M7,walk7\n",
                rows * 9, scenario);
    // "M7,step" and a number up to a million: 13 bytes a row on average.
    for (qint64 rows : {100'000LL, 1'000'000LL})
        Measure(qPrintable(QStringLiteral("scenario: %1 rows, each its own name").arg(rows)), path, ScenarioFileHead(),
                "M7,step\n", rows * 13, scenario, true);
    return 0;
}
