#pragma once

// One virtual Varkel-1 board: its memory and how it answers a frame.
// Pure data and functions, no threads and no I/O; the line side lives in
// virtual_boards.h.

#include "protocol/board_facts.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvane::sim {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kAck = 0x06;

// Sum of the bytes, modulo 256, AND 0x7F.
std::uint8_t Checksum(std::span<const std::uint8_t> bytes);

// Length of the request frame that starts with this command byte, checksum
// included; 0 for a byte that is no command.
std::size_t FrameLength(std::uint8_t command);

// How assignment entries look on a fresh board.
enum class AssignInit {
    Erased,   // every entry key pattern 0, target 200
    Garbage,  // never cleared: every entry 0xFF, 0xFF (an invalid target)
};

struct MotionRow {
    std::uint8_t speed = 0;
    std::array<std::uint8_t, kChannelsPerBoard> values{};
    bool operator==(const MotionRow &) const = default;
};

struct Assignment {
    std::uint8_t pattern = 0;
    std::uint8_t target = 200;
    bool operator==(const Assignment &) const = default;
};

struct BoardMemory {
    std::uint8_t id = 0;
    std::uint8_t mode = 0;
    std::array<std::uint8_t, kChannelsPerBoard> positions;
    std::array<std::uint8_t, kChannelsPerBoard> home;
    std::array<std::uint8_t, kChannelsPerBoard> trims;
    std::array<std::array<MotionRow, kMotionRowsPerSlot>, kMotionSlotCount> motions{};
    std::array<std::uint8_t, kMotionSlotCount> motionLengths{};
    std::array<std::array<std::uint8_t, kScenarioItemsPerSlot>, kScenarioSlotCount> scenarios{};
    std::array<std::uint8_t, kScenarioSlotCount> scenarioLengths{};
    std::array<Assignment, kAssignmentEntryCount> assignments;
    // Slots named by PlayMotion / PlayScenario, in the order they came.
    std::vector<std::uint8_t> playedMotions;
    std::vector<std::uint8_t> playedScenarios;

    explicit BoardMemory(std::uint8_t boardId = 0, AssignInit init = AssignInit::Erased);
    bool operator==(const BoardMemory &) const = default;

    // Executes one complete request frame addressed to this board (command
    // byte, ID, data, correct checksum; the caller has checked all that).
    // Returns the reply, or nothing when the frame names a slot, row, item,
    // entry, length or mode out of range: then memory is left untouched.
    std::optional<Bytes> Execute(std::span<const std::uint8_t> frame);
};

// Text form of the boards' memory, one board after another:
//
//   board <id>
//   mode <m>
//   positions <12 values>
//   home <12 values>
//   trims <12 values>
//   motion-lengths <40 values, slot 0 first>
//   motion-row <slot> <row> <speed> <12 values>
//   scenario-lengths <4 values>
//   scenario-item <slot> <item> <motion slot>
//   assignment <entry> <key pattern> <target>
//   played-motions <slots, in order played; nothing after the word if none>
//   played-scenarios <likewise>
//   end
//
// All numbers decimal, separated by one space. motion-row lines are given for
// each slot in slot and row order, for every row below the slot's length and
// for every row beyond it that differs from a fresh row (speed 0, values 0);
// scenario-item lines likewise (fresh item: 0). All 160 assignment lines are
// given. Boards are separated by an empty line.
std::string FormatDump(const std::vector<BoardMemory> &boards);

}  // namespace orvane::sim
