#include "session/board_operations.h"

#include "protocol/commands.h"

namespace orvane {

BoardOperations::BoardOperations(int retries) : retries_(retries) {}

bool BoardOperations::SetMode(int group, std::uint8_t mode) const
{
    if (!Present(group))
        return true;
    int retry = retries_;
    return ::SetMode(retry, std::uint8_t(ids_[group]), mode);
}

FailureMask BoardOperations::SetModeAll(std::uint8_t mode)
{
    FailureMask mask = 0;
    for (int group = 0; group < 2; ++group)
        if (!SetMode(group, mode))
            mask |= GroupFailure(group);
    return mask;
}

BoardOperations::SleepState BoardOperations::CheckSleep() const
{
    const int group = FirstPresentGroup();
    if (group < 0)
        return SleepState::NoBoard;
    int retry = retries_;
    std::uint8_t mode = 0;
    if (!::GetMode(retry, std::uint8_t(ids_[group]), mode))
        return SleepState::NoAnswer;
    return mode == kModeDefault ? SleepState::Awake : SleepState::Asleep;
}

bool BoardOperations::EnsureSleep(const std::function<void()> &warn)
{
    switch (CheckSleep()) {
    case SleepState::NoAnswer: return false;
    case SleepState::NoBoard:
    case SleepState::Asleep: return true;
    case SleepState::Awake: break;
    }
    if (warn)
        warn();
    return EnterSleep() == 0;
}

bool BoardOperations::SendPositions(int group, int speed, const ChannelCodes &codes) const
{
    if (!Present(group))
        return true;
    ChannelValues values;
    for (int k = 0; k < kChannelsPerBoard; ++k)
        values[k] = std::uint8_t(codes[kChannelsPerBoard * group + k + 1]);
    int retry = retries_;
    return ::SendPositions(retry, std::uint8_t(ids_[group]), std::uint8_t(speed), values);
}

FailureMask BoardOperations::SendBoth(int speed, const ChannelCodes &codes) const
{
    FailureMask mask = 0;
    for (int group = 0; group < 2; ++group)
        if (!SendPositions(group, speed, codes))
            mask |= GroupFailure(group);
    return mask;
}

bool BoardOperations::GetPositions(int group, std::array<int, kChannelsPerBoard> &values) const
{
    if (!Present(group))
        return false;
    int retry = retries_;
    QByteArray reply;
    if (!::GetPositions(retry, std::uint8_t(ids_[group]), reply))
        return false;
    for (int k = 0; k < kChannelsPerBoard; ++k)
        values[size_t(k)] = std::uint8_t(reply.at(k + 1));
    return true;
}

FailureMask BoardOperations::ReturnToHome(const ChannelCodes &home)
{
    SendBoth(0, home);
    return SetModeAll(kModeDefault);
}

}  // namespace orvane
