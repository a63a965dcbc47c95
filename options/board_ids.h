#pragma once
// The two board IDs as the options window's lists show them. The first list holds "0" to "31"; the second
// "OFF" and then "0" to "31", so its entry is the ID + 1 and "OFF" stands for 255 (no board).

#include "protocol/board_facts.h"

#include <array>

namespace orvane {

inline constexpr int kIdCount = 32;

inline int IdListEntry(int group, int id)
{
    if (group == 0)
        return id >= 0 && id < kIdCount ? id : 0;
    return id >= 0 && id < kIdCount ? id + 1 : 0;
}

inline int IdOfListEntry(int group, int entry)
{
    if (group == 0)
        return entry;
    return entry - 1 < 0 ? kNoBoard : entry - 1;
}

// The IDs the window starts with: two equal IDs would address one board as both groups.
inline std::array<int, 2> StartIds(std::array<int, 2> ids)
{
    if (ids[0] == ids[1])
        return {0, kNoBoard};
    return ids;
}

}  // namespace orvane
