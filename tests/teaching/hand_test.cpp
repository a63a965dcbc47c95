// What a movement by hand becomes, without boards or windows: the trace file, the reduction to rows, and
// when a held pose counts as still.

#include "file_helpers.h"
#include "teaching/hand_trace.h"
#include "teaching/stillness.h"
#include "teaching/trace_reduction.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

using namespace orvane;

namespace {

PoseValues Pose(int value)
{
    PoseValues v;
    v.fill(value);
    return v;
}

TraceSample Sample(qint64 ms, std::initializer_list<std::pair<int, int>> channels, int others = 90)
{
    TraceSample s{ms, Pose(others)};
    for (const auto &[channel, value] : channels)
        s.values[size_t(channel - 1)] = value;
    return s;
}

// How far the rows' straight lines, in time, miss any sample on any channel: checked apart from the
// reduction's own arithmetic.
double WorstMiss(const Trace &trace, const std::vector<int> &kept)
{
    double worst = 0;
    for (size_t r = 0; r + 1 < kept.size(); ++r) {
        const TraceSample &a = trace[size_t(kept[r])];
        const TraceSample &b = trace[size_t(kept[r + 1])];
        for (int k = kept[r]; k <= kept[r + 1]; ++k) {
            const TraceSample &s = trace[size_t(k)];
            const double f = b.ms == a.ms ? 0.0 : double(s.ms - a.ms) / double(b.ms - a.ms);
            for (int c = 0; c < kChannelCount; ++c) {
                const double line = a.values[size_t(c)] + f * (b.values[size_t(c)] - a.values[size_t(c)]);
                worst = std::max(worst, std::abs(s.values[size_t(c)] - line));
            }
        }
    }
    return worst;
}

// Six channels sweeping sines of 4 to 8 s, as a hand bends a robot, sampled every 10 ms and rounded as a
// board reports them.
Trace SineSweeps(int samples)
{
    Trace trace;
    for (int i = 0; i < samples; ++i) {
        TraceSample s{qint64(i) * 10, Pose(90)};
        const double t = i * 0.01;
        for (int c = 0; c < 6; ++c)
            s.values[size_t(c * 4)] = int(std::lround(90 + 45 * std::sin(2 * M_PI * t / (4.0 + 0.8 * c) + c)));
        trace.push_back(s);
    }
    return trace;
}

TEST(TraceFile, WritesAHeaderThenTimeAndTheValuesPerLine)
{
    const Trace trace{Sample(0, {{1, 221}, {24, 0}}), Sample(16, {{1, 45}, {24, 180}})};
    const QByteArray csv = TraceToCsv(trace);
    EXPECT_EQ(csv, QByteArray("ms,CH1,CH2,CH3,CH4,CH5,CH6,CH7,CH8,CH9,CH10,CH11,CH12,CH13,CH14,CH15,CH16,CH17,CH18,"
                              "CH19,CH20,CH21,CH22,CH23,CH24\r\n"
                              "0,221,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,0\r\n"
                              "16,45,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,90,180\r\n"));
    Trace read;
    QString error;
    ASSERT_TRUE(TraceFromCsv(csv, read, &error)) << error.toStdString();
    EXPECT_EQ(read, trace);

    // Without a header, with LF line ends, spaces and blank lines: the same samples.
    QByteArray bare = csv.mid(csv.indexOf('\n') + 1);
    bare.replace("\r\n", "\n\n");
    bare.replace(",90,", ", 90 ,");
    ASSERT_TRUE(TraceFromCsv(bare, read, &error)) << error.toStdString();
    EXPECT_EQ(read, trace);
}

TEST(TraceFile, RefusesWhatIsNoTraceAndSaysWhereKeepingTheOldOne)
{
    const QByteArray good = "0" + QByteArray(",90").repeated(24) + "\n";
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {good + "10" + QByteArray(",90").repeated(23) + "\n", "line 2: 24 fields, expected the time and 24 values"},
        {good + "10" + QByteArray(",90").repeated(25) + "\n", "line 2: 26 fields, expected the time and 24 values"},
        {"ms,CH1\n" + good + "x" + QByteArray(",90").repeated(24), "line 3: time 'x' is not a number of ms"},
        {"-1" + QByteArray(",90").repeated(24), "line 1: time '-1' is not a number of ms"},
        {"20" + QByteArray(",90").repeated(24) + "\n10" + QByteArray(",90").repeated(24),
         "line 2: time 10 runs backwards"},
        {"0" + QByteArray(",90").repeated(23) + ",256", "line 1: CH24 value '256' is not 0 to 255"},
        {"0,90,-3" + QByteArray(",90").repeated(22), "line 1: CH2 value '-3' is not 0 to 255"},
        {"0,90,4.5" + QByteArray(",90").repeated(22), "line 1: CH2 value '4.5' is not 0 to 255"},
    };
    for (const auto &[text, message] : cases) {
        Trace kept{Sample(5, {{3, 33}})};
        QString error;
        EXPECT_FALSE(TraceFromCsv(text, kept, &error)) << text.toStdString();
        EXPECT_EQ(error, message);
        EXPECT_EQ(kept, (Trace{Sample(5, {{3, 33}})}));
    }
}

TEST(TraceFile, SavesAndLoadsThroughTheDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trace.csv"));
    const Trace trace = SineSweeps(50);
    QString error;
    ASSERT_TRUE(SaveTrace(path, trace, &error)) << error.toStdString();
    EXPECT_EQ(ReadAll(path), TraceToCsv(trace));
    Trace read;
    ASSERT_TRUE(LoadTrace(path, read, &error)) << error.toStdString();
    EXPECT_EQ(read, trace);

    EXPECT_FALSE(LoadTrace(dir.filePath(QStringLiteral("none.csv")), read, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("cannot read "))) << error.toStdString();
    WriteAll(path, "0,1,2\n");
    EXPECT_FALSE(LoadTrace(path, read, &error));
    EXPECT_EQ(error, path + QStringLiteral(": line 1: 3 fields, expected the time and 24 values"));
    EXPECT_EQ(read, trace);
}

TEST(TraceReduction, AStraightRampBecomesItsTwoEnds)
{
    Trace ramp;
    for (int i = 0; i <= 100; ++i)
        ramp.push_back(Sample(i * 10, {{3, 40 + i}, {15, 140 - i}}));
    EXPECT_EQ(ReduceTrace(ramp, 1), (std::vector<int>{0, 100}));
    // Uneven sampling does not bend a line that is straight in time.
    Trace uneven;
    for (int t : {0, 3, 4, 50, 51, 90, 200})
        uneven.push_back(Sample(t, {{1, t / 2}}));
    EXPECT_EQ(ReduceTrace(uneven, 1), (std::vector<int>{0, 6}));
}

TEST(TraceReduction, AStepKeepsItsCorners)
{
    Trace step;
    for (int i = 0; i < 100; ++i)
        step.push_back(Sample(i * 10, {{7, i < 50 ? 30 : 150}}));
    EXPECT_EQ(ReduceTrace(step, 2), (std::vector<int>{0, 49, 50, 99}));
    // A pulse on another channel adds its own corners.
    step[70].values[20] = 100;
    EXPECT_EQ(ReduceTrace(step, 2), (std::vector<int>{0, 49, 50, 69, 70, 71, 99}));
}

TEST(TraceReduction, EverySampleOfASineSweepLiesWithinTheTolerance)
{
    const Trace sweep = SineSweeps(1000);
    for (double tolerance : {1.0, 2.0, 5.0, 20.0}) {
        const std::vector<int> kept = ReduceTrace(sweep, tolerance);
        EXPECT_LE(WorstMiss(sweep, kept), tolerance + 1e-9) << tolerance;
        EXPECT_EQ(kept.front(), 0);
        EXPECT_EQ(kept.back(), 999);
        EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
    }
    EXPECT_LT(ReduceTrace(sweep, 2).size(), 100u);
    EXPECT_LT(ReduceTrace(sweep, 5).size(), ReduceTrace(sweep, 1).size());

    // Noise of a hand on top, with its rounding: still within.
    std::mt19937 random(7);
    Trace noisy = sweep;
    for (TraceSample &s : noisy)
        s.values[0] += int(random() % 3) - 1;
    EXPECT_LE(WorstMiss(noisy, ReduceTrace(noisy, 2)), 2 + 1e-9);
}

TEST(TraceReduction, ShortStillAndSameTimeTraces)
{
    EXPECT_TRUE(ReduceTrace({}, 2).empty());
    EXPECT_EQ(ReduceTrace({Sample(0, {})}, 2), std::vector<int>{0});
    EXPECT_EQ(ReduceTrace({Sample(0, {}), Sample(5, {})}, 2), (std::vector<int>{0, 1}));
    Trace still(500, Sample(0, {{1, 221}}));
    for (int i = 0; i < 500; ++i)
        still[size_t(i)].ms = i;
    EXPECT_EQ(ReduceTrace(still, 1), (std::vector<int>{0, 499}));
    // Samples that share a time (a loaded file may have them) are placed by their order.
    const Trace same{Sample(0, {{1, 10}}), Sample(0, {{1, 50}}), Sample(0, {{1, 90}})};
    EXPECT_EQ(ReduceTrace(same, 1), (std::vector<int>{0, 2}));
}

class Stillness : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::array<bool, kChannelCount> watched{};
        watched[0] = watched[13] = true;
        detector.SetWatched(watched);
        detector.SetStillness(500, 3);
    }
    // Feeds samples every 10 ms from `from` to `to`, CH1 given by `ch1`; the times at which a pose was taken.
    std::vector<qint64> Run(qint64 from, qint64 to, const std::function<int(qint64)> &ch1, int ch14 = 60,
                            int unwatched = 90)
    {
        std::vector<qint64> taken;
        for (qint64 t = from; t <= to; t += 10) {
            PoseValues v = Pose(unwatched);
            v[0] = ch1(t);
            v[13] = ch14;
            if (detector.Feed(t, v))
                taken.push_back(t);
        }
        return taken;
    }
    StillnessDetector detector;
};

TEST_F(Stillness, APoseHeldStillAfterAMoveIsTakenOnceWhenTheStillTimeIsUp)
{
    // 90 to 120 in 300 ms, then held: still from 300 ms on, taken 500 ms later.
    const auto taken = Run(0, 3000, [](qint64 t) { return int(90 + 30 * std::min<qint64>(t, 300) / 300); });
    EXPECT_EQ(taken, std::vector<qint64>{800});
    // Jitter of one degree is still.
    const auto jitter = Run(3010, 5000, [](qint64 t) { return 150 + int(t / 10 % 2); });
    EXPECT_EQ(jitter, std::vector<qint64>{3510});
}

TEST_F(Stillness, DriftBelowTheThresholdAMoveThatNeverStopsAndUnwatchedChannelsTakeNothing)
{
    EXPECT_TRUE(Run(0, 3000, [](qint64 t) { return 90 + int(t / 1000); }).empty());  // three degrees, no more
    detector.Reset();
    EXPECT_TRUE(Run(0, 5000, [](qint64 t) { return 90 + int(40 * std::sin(t / 300.0)); }).empty());
    detector.Reset();
    EXPECT_TRUE(Run(
                    0, 3000, [](qint64) { return 90; }, 60, 10)
                    .empty());
    EXPECT_TRUE(Run(
                    3010, 6000, [](qint64) { return 90; }, 60, 170)
                    .empty());
}

TEST_F(Stillness, TheNextPoseNeedsANewMoveAndTheSettingsApplyAtOnce)
{
    EXPECT_EQ(Run(0, 1000, [](qint64 t) { return t < 100 ? 90 : 100; }), std::vector<qint64>{600});
    // Back within the threshold of the pose taken: nothing, however long it is held.
    EXPECT_TRUE(Run(1010, 3000, [](qint64) { return 102; }).empty());
    detector.SetStillness(300, 10);
    EXPECT_TRUE(Run(3010, 4000, [](qint64) { return 110; }).empty());
    // The second watched channel alone moving is a move.
    EXPECT_EQ(Run(
                  4010, 5000, [](qint64) { return 110; }, 75),
              std::vector<qint64>{4310});
}

}  // namespace
