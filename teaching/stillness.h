#pragma once
// When a pose held by hand counts as taken: at least one watched channel has moved by more than the
// threshold since the last pose taken (or since watching began), and then every watched channel has stayed
// within one degree for the stillness time.

#include "teaching/hand_trace.h"

namespace orvane {

class StillnessDetector {
public:
    static constexpr int kSteadyDeg = 1;

    // Channel c (0-based) is watched when watched[c]; the others never count.
    void SetWatched(const std::array<bool, kChannelCount> &watched) { watched_ = watched; }
    // Takes effect from the next sample on.
    void SetStillness(qint64 stillMs, int thresholdDeg)
    {
        stillMs_ = stillMs;
        thresholdDeg_ = thresholdDeg;
    }
    // Forgets the poses seen: the next sample starts watching again.
    void Reset() { started_ = false; }

    // One sample; true when it completes a still pose after a move (the pose to take is this sample).
    bool Feed(qint64 ms, const PoseValues &values);

private:
    bool Differs(const PoseValues &a, const PoseValues &b, int degrees) const;

    std::array<bool, kChannelCount> watched_{};
    qint64 stillMs_ = 800;
    int thresholdDeg_ = 3;
    bool started_ = false;
    bool moved_ = false;
    PoseValues reference_{};  // the last pose taken, or the first sample
    PoseValues steady_{};     // where the current still period began
    qint64 steadySinceMs_ = 0;
};

}  // namespace orvane
