#pragma once
// Two boards of twelve channels each.

namespace orvane {
inline constexpr int kChannelCount = 24;
inline constexpr int kChannelsPerBoard = 12;
}
