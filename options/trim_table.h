#pragma once
// The 24 channel trims as the boards keep them (0-40, 20 no correction), and the board traffic that reads,
// steps and resets them. No widgets: the options window shows what this holds.

#include <algorithm>
#include <array>
#include <cstdint>

namespace orvane {

class TrimTable {
public:
    static constexpr int kNeutral = 20;
    static constexpr int kMax = 40;

    TrimTable() { trims_.fill(kNeutral); }

    int Trim(int channel) const { return trims_[channel - 1]; }
    // As the window shows it: -20 to +20.
    int Shown(int channel) const { return Trim(channel) - kNeutral; }

    // ReadTrim to each group's ID, first then second, also to 255. A failed group keeps its trims.
    // Returns the failure mask (bit 0 first group, bit 1 second).
    int ReadAll(const std::array<int, 2> &ids);

    // One step up or down on a channel, then WriteTrim of its group's 12 trims. readFailures is the mask
    // of the read just before: a group whose read failed gets nothing, since writing would put trims on
    // the board that were never read from it. A failed write puts the trim back. True when written.
    bool Step(const std::array<int, 2> &ids, int channel, bool up, int readFailures);

    // The twelve trims of a group as a board image holds them (just read from or written to its board).
    void Take(int group, const std::array<std::uint8_t, 12> &trims)
    {
        std::copy(trims.begin(), trims.end(), trims_.begin() + 12 * group);
    }

    // WriteTrim of twelve 20s to the first group, and to the second unless it has no board.
    // A group whose write failed keeps its trims. Returns the failure mask.
    int Reset(const std::array<int, 2> &ids);

private:
    static bool WriteGroup(int id, const std::array<int, 12> &values);

    std::array<int, 24> trims_{};
};

}  // namespace orvane
