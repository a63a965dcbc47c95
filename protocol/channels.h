#pragma once
// Two boards of twelve channels each.

namespace orvane {
inline constexpr int kChannelCount = 24;
inline constexpr int kChannelsPerBoard = 12;
// A board group with this ID has no board: every operation skips it and counts it a success.
inline constexpr int kNoBoard = 255;
}  // namespace orvane
