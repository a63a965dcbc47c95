#pragma once
// What the program does to both boards at once, without a widget: modes, sleep, sending a group's positions.
// The main window and every test that needs real frames use this one class; results come back as failure
// masks for the caller to show.

#include "protocol/board_facts.h"

#include <array>
#include <cstdint>
#include <functional>

namespace orvane {

// Channel value codes indexed by channel 1 to 24 (index 0 unused).
using ChannelCodes = std::array<int, kChannelCount + 1>;

class BoardOperations {
public:
    enum class SleepState { NoBoard, Asleep, Awake, NoAnswer };

    explicit BoardOperations(int retries);

    int Id(int group) const { return group == 0 || group == 1 ? ids_[group] : kNoBoard; }
    bool Present(int group) const { return Id(group) != kNoBoard; }
    // The board that speaks for both (asked for the mode): the first present one, or -1.
    int FirstPresentGroup() const { return Present(0) ? 0 : Present(1) ? 1 : -1; }
    void SetIds(int ch1to12, int ch13to24) { ids_ = {ch1to12, ch13to24}; }

    // The mode on one group's board; an absent group counts as done.
    bool SetMode(int group, std::uint8_t mode) const;
    // The mode on every present board, the CH1-CH12 board first.
    FailureMask SetModeAll(std::uint8_t mode);
    FailureMask EnterSleep() { return SetModeAll(kModeSleep); }
    FailureMask ReleaseSleep() { return SetModeAll(kModeDefault); }

    // The mode of the board that speaks for both.
    SleepState CheckSleep() const;
    // Memory transfers need sleeping boards: in default mode `warn` runs first, then both boards sleep.
    // False when a board did not answer.
    bool EnsureSleep(const std::function<void()> &warn);

    // The twelve value codes of the group's channels at this speed; an absent group counts as sent.
    bool SendPositions(int group, int speed, const ChannelCodes &codes) const;
    FailureMask SendBoth(int speed, const ChannelCodes &codes) const;
    // Where the twelve channels of the group's board are (bytes 1 to 12 of the reply, in channel order).
    // False for an absent group: it has no positions to give.
    bool GetPositions(int group, std::array<int, kChannelsPerBoard> &values) const;

    // The board side of returning home: both groups get the home positions, then default mode.
    FailureMask ReturnToHome(const ChannelCodes &home);

private:
    int retries_;
    std::array<int, 2> ids_{{0, kNoBoard}};
};

}  // namespace orvane
