// Saves and loads a motion file of 100,000 rows and prints the times; the goal
// is under a second for each. Run: motion_file_bench [rows] [folder]
#include "measure.h"
#include "motion/motion_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace orvane;

namespace {

MotionRows MakeRows(int count, bool japanese)
{
    MotionRows rows;
    rows.Reserve(count);
    for (int r = 0; r < count; ++r) {
        QStringList fields{QString::number(r + 1), japanese ? QStringLiteral("立つ %1").arg(r) : QStringLiteral("DATA"),
                           QString::number(r % 8)};
        for (int n = 0; n < kChannelCount; ++n)
            fields.append(QString::number((r * 7 + n * 13) % 10 == 0 ? 221 + n % 7 : (r + n * 11) % 181));
        rows.Append(fields);
    }
    return rows;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100'000;
    QTemporaryDir tmp(argc > 2 ? QString::fromLocal8Bit(argv[2]) + QStringLiteral("/motion-bench-XXXXXX") : QString());
    if (!tmp.isValid()) {
        std::fprintf(stderr, "cannot make a temporary folder\n");
        return 1;
    }
    HomePositions home;
    home.fill(90);
    home[0] = 100;
    home[5] = 221;
    const QStringList captions = DefaultMotionCaptions();
    constexpr int kRuns = 5;

    for (const bool japanese : {false, true}) {
        const MotionRows rows = MakeRows(count, japanese);
        const QString path = tmp.filePath(japanese ? QStringLiteral("jp.csv") : QStringLiteral("ascii.csv"));
        bool ok = true;

        const double text = MedianMs(kRuns, [&] { (void)MotionFileText(captions, rows, home); });
        const double save = MedianMs(kRuns, [&] { ok &= SaveMotionFile(path, captions, rows, home, nullptr); });
        MotionFileLoad last;
        const double load = MedianMs(kRuns, [&] { last = LoadMotionFile(path, home); });
        ok &= last.ok() && last.rows.Size() == count;
        MotionData data;
        const double apply = MedianMs(kRuns, [&] {
            MotionFileLoad l = LoadMotionFile(path, home);
            ok &= ApplyMotionLoad(data, std::move(l), captions);
        });
        const double renumber = MedianMs(kRuns, [&] { data.RenumberFrom(0); });

        std::printf("%s names, %d rows, %.1f MB file%s\n", japanese ? "Japanese (CP932)" : "ASCII", count,
                    double(QFileInfo(path).size()) / 1e6, ok ? "" : "  ** FAILED **");
        std::printf("  build text        %8.1f ms\n", text);
        std::printf("  save (atomic)     %8.1f ms\n", save);
        std::printf("  load (parse)      %8.1f ms\n", load);
        std::printf("  load into model   %8.1f ms\n", apply);
        std::printf("  renumber all rows %8.1f ms\n", renumber);
        if (!ok)
            return 1;
    }
    return 0;
}
