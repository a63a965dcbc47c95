#pragma once
// A recorded movement becomes a few rows: the fewest samples we can find such that straight lines between
// them, in time, stay within a tolerance of every sample on every channel.

#include "teaching/hand_trace.h"

#include <vector>

namespace orvane {

// Indices of the samples kept, ascending; the first and the last sample are always kept (an empty trace
// keeps none, one sample keeps itself). A channel that never changes costs nothing.
std::vector<int> ReduceTrace(const Trace &trace, double tolerance);

}  // namespace orvane
