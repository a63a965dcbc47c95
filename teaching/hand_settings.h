#pragma once
// What teaching by hand is set to: how long and how still a pose must be held to be taken, and how far the
// rows of a recorded movement may stray from it. ORV.ini keeps them from one run to the next.

namespace orvane {

struct HandTeachingSettings {
    static constexpr int kStillMsMin = 300;
    static constexpr int kStillMsMax = 3000;
    static constexpr int kStillMsDefault = 800;
    // Both the stillness threshold and the recording tolerance are whole degrees in this range.
    static constexpr int kDegreesMin = 1;
    static constexpr int kDegreesMax = 20;
    static constexpr int kStillDegDefault = 3;
    static constexpr int kToleranceDefault = 2;

    int stillMs = kStillMsDefault;
    int stillDeg = kStillDegDefault;
    int tolerance = kToleranceDefault;

    // Each value outside its range takes its default: a hand-edited file cannot set what the window
    // would not offer.
    HandTeachingSettings Checked() const
    {
        const auto in = [](int v, int low, int high, int def) { return v >= low && v <= high ? v : def; };
        return {in(stillMs, kStillMsMin, kStillMsMax, kStillMsDefault),
                in(stillDeg, kDegreesMin, kDegreesMax, kStillDegDefault),
                in(tolerance, kDegreesMin, kDegreesMax, kToleranceDefault)};
    }

    friend bool operator==(const HandTeachingSettings &, const HandTeachingSettings &) = default;
};

}  // namespace orvane
