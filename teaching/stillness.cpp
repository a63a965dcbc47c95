#include "teaching/stillness.h"

#include <cstdlib>

namespace orvane {

bool StillnessDetector::Differs(const PoseValues &a, const PoseValues &b, int degrees) const
{
    for (int c = 0; c < kChannelCount; ++c)
        if (watched_[size_t(c)] && std::abs(a[size_t(c)] - b[size_t(c)]) > degrees)
            return true;
    return false;
}

bool StillnessDetector::Feed(qint64 ms, const PoseValues &values)
{
    if (!started_) {
        started_ = true;
        moved_ = false;
        reference_ = steady_ = values;
        steadySinceMs_ = ms;
        return false;
    }
    if (Differs(values, reference_, thresholdDeg_))
        moved_ = true;
    if (Differs(values, steady_, kSteadyDeg)) {
        steady_ = values;
        steadySinceMs_ = ms;
        return false;
    }
    if (!moved_ || ms - steadySinceMs_ < stillMs_)
        return false;
    moved_ = false;
    reference_ = steady_ = values;
    steadySinceMs_ = ms;
    return true;
}

}  // namespace orvane
