#pragma once

// Hand movements for the virtual boards: where a user's hand holds each of the
// 24 channels (1-12 the first board, 13-24 the second) over time. Text form,
// one key per line, '#' starts a comment:
//
//   TIME_MS CHANNEL VALUE        # 0-3600000, 1-24, 0-180
//
// Between two keys of a channel the value moves in a straight line; before the
// first key it is the first key's value, after the last the last key's. Two
// keys at the same time make a step. Pure data, no threads and no I/O.

#include "protocol/board_facts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::sim {

class HandScript {
public:
    // Keys out of range or lines that are not three numbers: nothing, and
    // error says which line and why.
    static std::optional<HandScript> Parse(std::string_view text, std::string &error);
    static std::optional<HandScript> Load(const std::string &path, std::string &error);

    // Keys may come in any order of time; a later key of the same time wins.
    void Add(std::int64_t ms, int channel, int value);

    bool Empty() const;
    bool Moves(int channel) const;  // the script holds keys for channel 1-24
    // Position of channel 1-24 at ms after the start, rounded to a whole degree.
    int At(int channel, std::int64_t ms) const;
    // The time of the last key: from then on every hand holds still.
    std::int64_t EndMs() const;

private:
    struct Key {
        std::int64_t ms;
        int value;
    };
    std::array<std::vector<Key>, kChannelCount> keys_;
};

}  // namespace orvane::sim
