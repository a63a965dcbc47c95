#include "protocol/commands.h"

#include "protocol/transaction.h"

QByteArray BuildFrame(uint8_t command, uint8_t id, const uint8_t *data, int count)
{
    QByteArray frame;
    frame.reserve(count + 3);
    frame.append(static_cast<char>(command));
    frame.append(static_cast<char>(id));
    frame.append(reinterpret_cast<const char *>(data), count);
    AppendChecksum(frame);
    return frame;
}

QByteArray BuildFrame(uint8_t command, uint8_t id, std::initializer_list<uint8_t> data)
{
    return BuildFrame(command, id, data.begin(), int(data.size()));
}

const char *CommandName(uint8_t command)
{
    static const char *const kNames[] = {
        "ReadTrim",
        "WriteTrim",
        nullptr,
        nullptr,
        "ReadAssignment",
        "WriteAssignment",
        "PlayScenario",
        "PlayMotion",
        "GetMode",
        "SetMode",
        "GetScenarioLength",
        "SetScenarioLength",
        "ReadScenarioItem",
        "WriteScenarioItem",
        "GetMotionLength",
        "SetMotionLength",
        "ReadMotionRow",
        "WriteMotionRow",
        "GetHomePosition",
        "SetHomePosition",
        "GetPositions",
        "SendPositions",
    };
    if (command < Cmd::ReadTrim || command > Cmd::SendPositions)
        return nullptr;
    return kNames[command - Cmd::ReadTrim];
}

namespace {

bool Acknowledged(const QByteArray &frame, int &retry, uint8_t id)
{
    QByteArray reply;
    int received = 0;
    SendAndReceive(frame, reply, received, retry, 2, ReplyCheck::Acknowledge);
    return AcknowledgeValid(reply, received, id);
}

// Checksummed reply of `length` bytes; `received` tells the caller whether the full length came.
// `check` says whether the caller goes on to compare byte 0 with the ID.
bool Checked(const QByteArray &frame, int &retry, int length, QByteArray &reply, int &received,
             ReplyCheck check = ReplyCheck::Checksum)
{
    SendAndReceive(frame, reply, received, retry, length, check);
    return ChecksumValid(reply, received, length);
}

bool IdMatches(const QByteArray &reply, uint8_t id) { return static_cast<uint8_t>(reply[0]) == id; }

// The three-byte replies carrying one value after the ID.
bool ValueReply(const QByteArray &frame, int &retry, uint8_t id, int &value)
{
    QByteArray reply;
    int received = 0;
    const bool sum = Checked(frame, retry, 3, reply, received, ReplyCheck::ChecksumAndId);
    if (received != 3)
        return false;
    value = static_cast<uint8_t>(reply[1]);
    return sum && IdMatches(reply, id);
}

}  // namespace

bool SendPositions(int &retry, uint8_t id, uint8_t speed, const ChannelValues &values)
{
    uint8_t data[13];
    data[0] = speed;
    std::copy(values.begin(), values.end(), data + 1);
    return Acknowledged(BuildFrame(Cmd::SendPositions, id, data, 13), retry, id);
}

bool GetPositions(int &retry, uint8_t id, QByteArray &reply)
{
    QByteArray buffer;
    int received = 0;
    const bool ok = Checked(BuildFrame(Cmd::GetPositions, id, {}), retry, 14, buffer, received);
    if (received == 14)
        reply = buffer;
    return ok;
}

bool SetHomePosition(int &retry, uint8_t id)
{
    return Acknowledged(BuildFrame(Cmd::SetHomePosition, id, {}), retry, id);
}

bool GetHomePosition(int &retry, uint8_t id, QByteArray &reply)
{
    QByteArray buffer;
    int received = 0;
    const bool ok = Checked(BuildFrame(Cmd::GetHomePosition, id, {}), retry, 14, buffer, received);
    if (received == 14)
        reply = buffer;
    return ok;
}

bool SetMode(int &retry, uint8_t id, uint8_t mode)
{
    return Acknowledged(BuildFrame(Cmd::SetMode, id, {mode}), retry, id);
}

bool GetMode(int &retry, uint8_t id, uint8_t &mode)
{
    QByteArray reply;
    int received = 0;
    const bool ok = Checked(BuildFrame(Cmd::GetMode, id, {}), retry, 3, reply, received);
    if (received == 3)
        mode = static_cast<uint8_t>(reply[1]);
    return ok;
}

bool PlayMotion(int &retry, uint8_t id, uint8_t slot)
{
    const QByteArray frame = BuildFrame(Cmd::PlayMotion, id, {slot});
    if (id == kBroadcastId) {
        // Addressed to every board at once: nobody answers.
        SendOnly(frame);
        return false;
    }
    return Acknowledged(frame, retry, id);
}

bool PlayScenario(int &retry, uint8_t id, uint8_t slot)
{
    return Acknowledged(BuildFrame(Cmd::PlayScenario, id, {slot}), retry, id);
}

bool WriteMotionRow(int &retry, uint8_t id, uint8_t slot, uint8_t row, uint8_t speed, const ChannelValues &values)
{
    uint8_t data[15];
    data[0] = slot;
    data[1] = row;
    data[2] = speed;
    std::copy(values.begin(), values.end(), data + 3);
    return Acknowledged(BuildFrame(Cmd::WriteMotionRow, id, data, 15), retry, id);
}

bool ReadMotionRow(int &retry, uint8_t id, uint8_t slot, uint8_t row, QByteArray &reply)
{
    QByteArray buffer;
    int received = 0;
    const bool ok = Checked(BuildFrame(Cmd::ReadMotionRow, id, {slot, row}), retry, 15, buffer, received,
                            ReplyCheck::ChecksumAndId);
    if (received == 15)
        reply = buffer;
    return ok && IdMatches(buffer, id);
}

bool SetMotionLength(int &retry, uint8_t id, uint8_t slot, uint8_t rows)
{
    return Acknowledged(BuildFrame(Cmd::SetMotionLength, id, {slot, rows}), retry, id);
}

bool GetMotionLength(int &retry, uint8_t id, uint8_t slot, int &rows)
{
    return ValueReply(BuildFrame(Cmd::GetMotionLength, id, {slot}), retry, id, rows);
}

bool WriteScenarioItem(int &retry, uint8_t id, uint8_t slot, uint8_t item, uint8_t motion)
{
    return Acknowledged(BuildFrame(Cmd::WriteScenarioItem, id, {slot, item, motion}), retry, id);
}

bool ReadScenarioItem(int &retry, uint8_t id, uint8_t slot, uint8_t item, int &motion)
{
    return ValueReply(BuildFrame(Cmd::ReadScenarioItem, id, {slot, item}), retry, id, motion);
}

bool SetScenarioLength(int &retry, uint8_t id, uint8_t slot, uint8_t count)
{
    return Acknowledged(BuildFrame(Cmd::SetScenarioLength, id, {slot, count}), retry, id);
}

bool GetScenarioLength(int &retry, uint8_t id, uint8_t slot, int &count)
{
    return ValueReply(BuildFrame(Cmd::GetScenarioLength, id, {slot}), retry, id, count);
}

bool WriteAssignment(int &retry, uint8_t id, uint8_t entry, uint8_t pattern, uint8_t target)
{
    const uint8_t high = pattern >> 4, low = pattern & 0x0F;
    return Acknowledged(BuildFrame(Cmd::WriteAssignment, id, {entry, high, low, target}), retry, id);
}

bool ReadAssignment(int &retry, uint8_t id, uint8_t entry, int &pattern, int &target)
{
    QByteArray reply;
    int received = 0;
    if (!Checked(BuildFrame(Cmd::ReadAssignment, id, {entry}), retry, 5, reply, received))
        return false;
    pattern = (static_cast<uint8_t>(reply[1]) << 4) | static_cast<uint8_t>(reply[2]);
    target = static_cast<uint8_t>(reply[3]);
    return true;
}

bool WriteTrim(int &retry, uint8_t id, const ChannelValues &trims)
{
    return Acknowledged(BuildFrame(Cmd::WriteTrim, id, trims.data(), 12), retry, id);
}

bool ReadTrim(int &retry, uint8_t id, QByteArray &reply)
{
    QByteArray buffer;
    int received = 0;
    const bool ok = Checked(BuildFrame(Cmd::ReadTrim, id, {}), retry, 14, buffer, received);
    if (received == 14)
        reply = buffer;
    return ok;
}
