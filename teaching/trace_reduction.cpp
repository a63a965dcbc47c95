#include "teaching/trace_reduction.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace orvane {

namespace {

// The trace by channel, only the channels that move, so the inner loops run over contiguous values.
struct Columns {
    std::vector<double> time;
    std::vector<std::vector<double>> values;

    explicit Columns(const Trace &trace)
    {
        time.reserve(trace.size());
        for (const TraceSample &s : trace)
            time.push_back(double(s.ms));
        for (int c = 0; c < kChannelCount; ++c) {
            const int first = trace.front().values[size_t(c)];
            const bool moves = std::any_of(trace.begin(), trace.end(),
                                           [&](const TraceSample &s) { return s.values[size_t(c)] != first; });
            if (!moves)
                continue;
            std::vector<double> column;
            column.reserve(trace.size());
            for (const TraceSample &s : trace)
                column.push_back(double(s.values[size_t(c)]));
            values.push_back(std::move(column));
        }
    }

    // Where sample k lies between a and b: by time, or by position when they share one time.
    double Fraction(int a, int b, int k) const
    {
        const double span = time[size_t(b)] - time[size_t(a)];
        return span > 0 ? (time[size_t(k)] - time[size_t(a)]) / span : double(k - a) / double(b - a);
    }

    // The sample between a and b farthest from the line a-b on any channel, and how far it is.
    std::pair<int, double> Farthest(int a, int b) const
    {
        int worst = -1;
        double most = -1;
        for (int k = a + 1; k < b; ++k) {
            const double f = Fraction(a, b, k);
            for (const std::vector<double> &v : values) {
                const double d = std::abs(v[size_t(k)] - (v[size_t(a)] + f * (v[size_t(b)] - v[size_t(a)])));
                if (d > most) {
                    most = d;
                    worst = k;
                }
            }
        }
        return {worst, most};
    }

    bool Within(int a, int b, double tolerance) const
    {
        for (int k = a + 1; k < b; ++k) {
            const double f = Fraction(a, b, k);
            for (const std::vector<double> &v : values)
                if (std::abs(v[size_t(k)] - (v[size_t(a)] + f * (v[size_t(b)] - v[size_t(a)]))) > tolerance)
                    return false;
        }
        return true;
    }
};

}  // namespace

std::vector<int> ReduceTrace(const Trace &trace, double tolerance)
{
    const int n = int(trace.size());
    if (n <= 2) {
        std::vector<int> all(static_cast<size_t>(n));
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    // Rounding in the division must not split a line that is exactly on the tolerance.
    const double limit = tolerance + 1e-9;
    const Columns columns(trace);

    // Ramer-Douglas-Peucker, without recursion: a step-shaped trace would nest as deep as it is long.
    std::vector<char> keep(size_t(n), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<int, int>> spans{{0, n - 1}};
    while (!spans.empty()) {
        const auto [a, b] = spans.back();
        spans.pop_back();
        if (b - a < 2)
            continue;
        const auto [k, distance] = columns.Farthest(a, b);
        if (distance <= limit)
            continue;
        keep[size_t(k)] = 1;
        spans.push_back({a, k});
        spans.push_back({k, b});
    }
    std::vector<int> kept;
    for (int i = 0; i < n; ++i)
        if (keep[size_t(i)])
            kept.push_back(i);

    // The split points are not always needed once their neighbours are known: drop each one whose
    // neighbours' line still covers every sample between them.
    std::vector<int> fewer{kept.front()};
    for (size_t i = 1; i + 1 < kept.size(); ++i)
        if (!columns.Within(fewer.back(), kept[i + 1], limit))
            fewer.push_back(kept[i]);
    fewer.push_back(kept.back());
    return fewer;
}

}  // namespace orvane
