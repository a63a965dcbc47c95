#pragma once
// What the Varkel-1 boards are, named once: channels and their groups, slot sizes, the channel value codes,
// the board modes, and how a failure over the two groups is told.

#include <cstdint>

namespace orvane {

// Two boards of twelve channels each: group 0 holds channels 1 to 12, group 1 channels 13 to 24.
inline constexpr int kChannelCount = 24;
inline constexpr int kChannelsPerBoard = 12;
inline constexpr int kGroupCount = 2;
// A board group with this ID has no board: every operation skips it and counts it a success.
inline constexpr int kNoBoard = 255;

// Board memory.
inline constexpr int kMotionSlotCount = 40;
inline constexpr int kMotionRowsPerSlot = 100;
inline constexpr int kScenarioSlotCount = 4;
inline constexpr int kScenarioItemsPerSlot = 200;
inline constexpr int kAssignmentEntryCount = 160;

// Channel value codes: one byte per channel. 0 to 180 is a servo position; the codes from 221 are the
// channel modes, 220 plus the mode's index in the mode list.
inline constexpr int kPositionMin = 0;
inline constexpr int kPositionMax = 180;
inline constexpr int kModeCodeBase = 220;
inline constexpr int kValueFree = 221;
inline constexpr int kValueSet1 = 222;
inline constexpr int kValueSet2 = 223;
inline constexpr int kValueSet3 = 224;
inline constexpr int kValueLow = 225;   // "-L-"
inline constexpr int kValueHigh = 226;  // "-H-"
// A board may report this; it is passed on as the board gave it.
inline constexpr int kValueAsGiven = 227;

constexpr bool IsPosition(int value) { return value >= kPositionMin && value <= kPositionMax; }
constexpr bool IsModeCode(int value) { return value >= kValueFree && value <= kValueAsGiven; }
constexpr bool IsChannelValueCode(int value) { return IsPosition(value) || IsModeCode(value); }

// Board modes: servos driven, sleeping (needed for every memory transfer), taught by hand.
inline constexpr std::uint8_t kModeDefault = 0;
inline constexpr std::uint8_t kModeSleep = 1;
inline constexpr std::uint8_t kModeTeaching = 2;

// Who sets a channel in the main window. The values are the board modes, so values read from a board
// pass the mode it reported; in teaching mode the value code stays as it was.
enum class ChannelSource : std::uint8_t {
    Editor = kModeDefault,     // the motion editor's edit
    User = kModeSleep,         // the user's and the files' actions
    Teaching = kModeTeaching,  // the servo's place while taught by hand
};
// A mode byte as a board reported it (3 and up are kept and act like Editor and User).
constexpr ChannelSource ChannelSourceOfMode(std::uint8_t mode) { return static_cast<ChannelSource>(mode); }

// Commands to both groups collect their failures here: bit 0 group 0, bit 1 group 1; 0 is success.
using FailureMask = int;
inline constexpr FailureMask kBothGroupsFailed = 3;
constexpr FailureMask GroupFailure(int group) { return FailureMask(1) << group; }
constexpr bool GroupFailed(FailureMask mask, int group) { return (mask >> group) & 1; }

}  // namespace orvane
