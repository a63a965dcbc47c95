#include "options/trim_table.h"

#include "protocol/board_facts.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"

#include <algorithm>

namespace orvane {

int TrimTable::ReadAll(const std::array<int, 2> &ids)
{
    int failures = 0;
    for (int group = 0; group < 2; ++group) {
        int retry = RetryCount;
        QByteArray reply;
        if (!ReadTrim(retry, uint8_t(ids[group]), reply) || reply.size() < 13) {
            failures |= 1 << group;
            continue;
        }
        for (int k = 0; k < kChannelsPerBoard; ++k)
            trims_[kChannelsPerBoard * group + k] = uint8_t(reply.at(k + 1));
    }
    return failures;
}

bool TrimTable::Step(const std::array<int, 2> &ids, int channel, bool up, int readFailures)
{
    const int group = (channel - 1) / kChannelsPerBoard;
    if (readFailures & (1 << group))
        return false;
    int &trim = trims_[channel - 1];
    const int before = trim;
    trim = up ? std::min(trim + 1, kMax) : std::max(trim - 1, 0);
    std::array<int, 12> values{};
    std::copy_n(trims_.begin() + kChannelsPerBoard * group, kChannelsPerBoard, values.begin());
    if (WriteGroup(ids[group], values))
        return true;
    trim = before;
    return false;
}

int TrimTable::Reset(const std::array<int, 2> &ids)
{
    std::array<int, 12> neutral{};
    neutral.fill(kNeutral);
    int failures = 0;
    for (int group = 0; group < 2; ++group) {
        if (group == 1 && ids[1] == kNoBoard)
            break;
        if (WriteGroup(ids[group], neutral))
            std::fill_n(trims_.begin() + kChannelsPerBoard * group, kChannelsPerBoard, kNeutral);
        else
            failures |= 1 << group;
    }
    return failures;
}

bool TrimTable::WriteGroup(int id, const std::array<int, 12> &values)
{
    ChannelValues bytes{};
    for (int k = 0; k < kChannelsPerBoard; ++k)
        bytes[k] = uint8_t(values[k]);
    int retry = RetryCount;
    return WriteTrim(retry, uint8_t(id), bytes);
}

}  // namespace orvane
