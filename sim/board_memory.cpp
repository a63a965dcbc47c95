#include "sim/board_memory.h"

#include <algorithm>
#include <sstream>

namespace orvane::sim {

namespace {

enum Command : std::uint8_t {
    SendPositions = 0xFD,
    GetPositions = 0xFC,
    SetHomePosition = 0xFB,
    GetHomePosition = 0xFA,
    WriteMotionRow = 0xF9,
    ReadMotionRow = 0xF8,
    SetMotionLength = 0xF7,
    GetMotionLength = 0xF6,
    WriteScenarioItem = 0xF5,
    ReadScenarioItem = 0xF4,
    SetScenarioLength = 0xF3,
    GetScenarioLength = 0xF2,
    SetMode = 0xF1,
    GetMode = 0xF0,
    PlayMotion = 0xEF,
    PlayScenario = 0xEE,
    WriteAssignment = 0xED,
    ReadAssignment = 0xEC,
    WriteTrim = 0xE9,
    ReadTrim = 0xE8,
};

Bytes Ack(std::uint8_t id) { return {id, kAck}; }

Bytes WithChecksum(Bytes reply)
{
    reply.push_back(Checksum(reply));
    return reply;
}

Bytes TwelveValues(std::uint8_t id, const std::array<std::uint8_t, kChannelsPerBoard> &values)
{
    Bytes reply{id};
    reply.insert(reply.end(), values.begin(), values.end());
    return WithChecksum(std::move(reply));
}

template <typename Range>
void AppendValues(std::ostringstream &out, const Range &values)
{
    for (auto v : values)
        out << ' ' << unsigned(v);
}

}  // namespace

std::uint8_t Checksum(std::span<const std::uint8_t> bytes)
{
    unsigned sum = 0;
    for (auto b : bytes)
        sum += b;
    return std::uint8_t(sum & 0x7F);
}

std::size_t FrameLength(std::uint8_t command)
{
    switch (command) {
    case SendPositions: return 16;
    case GetPositions: return 3;
    case SetHomePosition: return 3;
    case GetHomePosition: return 3;
    case WriteMotionRow: return 18;
    case ReadMotionRow: return 5;
    case SetMotionLength: return 5;
    case GetMotionLength: return 4;
    case WriteScenarioItem: return 6;
    case ReadScenarioItem: return 5;
    case SetScenarioLength: return 5;
    case GetScenarioLength: return 4;
    case SetMode: return 4;
    case GetMode: return 3;
    case PlayMotion: return 4;
    case PlayScenario: return 4;
    case WriteAssignment: return 7;
    case ReadAssignment: return 4;
    case WriteTrim: return 15;
    case ReadTrim: return 3;
    default: return 0;
    }
}

BoardMemory::BoardMemory(std::uint8_t boardId, AssignInit init) : id(boardId)
{
    positions.fill(90);
    home.fill(90);
    trims.fill(20);
    assignments.fill(init == AssignInit::Erased ? Assignment{0, 200} : Assignment{0xFF, 0xFF});
}

std::optional<Bytes> BoardMemory::Execute(std::span<const std::uint8_t> f)
{
    if (f.size() < 3 || f.size() != FrameLength(f[0]))
        return std::nullopt;

    switch (f[0]) {
    case SendPositions:
        // f[2] is the speed: it only shapes how the servos travel.
        std::copy_n(f.begin() + 3, kChannelsPerBoard, positions.begin());
        return Ack(id);
    case GetPositions: return TwelveValues(id, positions);
    case SetHomePosition: home = positions; return Ack(id);
    case GetHomePosition: return TwelveValues(id, home);
    case WriteMotionRow: {
        const unsigned slot = f[2], row = f[3];
        if (slot >= kMotionSlotCount || row >= kMotionRowsPerSlot)
            return std::nullopt;
        MotionRow &r = motions[slot][row];
        r.speed = f[4];
        std::copy_n(f.begin() + 5, kChannelsPerBoard, r.values.begin());
        return Ack(id);
    }
    case ReadMotionRow: {
        const unsigned slot = f[2], row = f[3];
        if (slot >= kMotionSlotCount || row >= kMotionRowsPerSlot)
            return std::nullopt;
        const MotionRow &r = motions[slot][row];
        Bytes reply{id, r.speed};
        reply.insert(reply.end(), r.values.begin(), r.values.end());
        return WithChecksum(std::move(reply));
    }
    case SetMotionLength:
        if (f[2] >= kMotionSlotCount || f[3] > kMotionRowsPerSlot)
            return std::nullopt;
        motionLengths[f[2]] = f[3];
        return Ack(id);
    case GetMotionLength:
        if (f[2] >= kMotionSlotCount)
            return std::nullopt;
        return WithChecksum({id, motionLengths[f[2]]});
    case WriteScenarioItem:
        if (f[2] >= kScenarioSlotCount || f[3] >= kScenarioItemsPerSlot)
            return std::nullopt;
        scenarios[f[2]][f[3]] = f[4];
        return Ack(id);
    case ReadScenarioItem:
        if (f[2] >= kScenarioSlotCount || f[3] >= kScenarioItemsPerSlot)
            return std::nullopt;
        return WithChecksum({id, scenarios[f[2]][f[3]]});
    case SetScenarioLength:
        if (f[2] >= kScenarioSlotCount || f[3] > kScenarioItemsPerSlot)
            return std::nullopt;
        scenarioLengths[f[2]] = f[3];
        return Ack(id);
    case GetScenarioLength:
        if (f[2] >= kScenarioSlotCount)
            return std::nullopt;
        return WithChecksum({id, scenarioLengths[f[2]]});
    case SetMode:
        if (f[2] > 2)
            return std::nullopt;
        mode = f[2];
        return Ack(id);
    case GetMode: return WithChecksum({id, mode});
    case PlayMotion:
        if (f[2] >= kMotionSlotCount)
            return std::nullopt;
        playedMotions.push_back(f[2]);
        return Ack(id);
    case PlayScenario:
        if (f[2] >= kScenarioSlotCount)
            return std::nullopt;
        playedScenarios.push_back(f[2]);
        return Ack(id);
    case WriteAssignment:
        // A nibble above 15 cannot come from splitting a key pattern byte.
        if (f[2] >= kAssignmentEntryCount || f[3] > 15 || f[4] > 15)
            return std::nullopt;
        assignments[f[2]] = {std::uint8_t((f[3] << 4) | f[4]), f[5]};
        return Ack(id);
    case ReadAssignment: {
        if (f[2] >= kAssignmentEntryCount)
            return std::nullopt;
        const Assignment &a = assignments[f[2]];
        return WithChecksum({id, std::uint8_t(a.pattern >> 4), std::uint8_t(a.pattern & 0x0F), a.target});
    }
    case WriteTrim: std::copy_n(f.begin() + 2, kChannelsPerBoard, trims.begin()); return Ack(id);
    case ReadTrim: return TwelveValues(id, trims);
    }
    return std::nullopt;
}

std::string FormatDump(const std::vector<BoardMemory> &boards)
{
    std::ostringstream out;
    bool first = true;
    for (const BoardMemory &b : boards) {
        if (!first)
            out << '\n';
        first = false;
        out << "board " << unsigned(b.id) << '\n';
        out << "mode " << unsigned(b.mode) << '\n';
        out << "positions";
        AppendValues(out, b.positions);
        out << "\nhome";
        AppendValues(out, b.home);
        out << "\ntrims";
        AppendValues(out, b.trims);
        out << "\nmotion-lengths";
        AppendValues(out, b.motionLengths);
        out << '\n';
        const MotionRow fresh{};
        for (int s = 0; s < kMotionSlotCount; ++s) {
            for (int r = 0; r < kMotionRowsPerSlot; ++r) {
                const MotionRow &row = b.motions[s][r];
                if (r >= b.motionLengths[s] && row == fresh)
                    continue;
                out << "motion-row " << s << ' ' << r << ' ' << unsigned(row.speed);
                AppendValues(out, row.values);
                out << '\n';
            }
        }
        out << "scenario-lengths";
        AppendValues(out, b.scenarioLengths);
        out << '\n';
        for (int s = 0; s < kScenarioSlotCount; ++s) {
            for (int i = 0; i < kScenarioItemsPerSlot; ++i) {
                const std::uint8_t item = b.scenarios[s][i];
                if (i >= b.scenarioLengths[s] && item == 0)
                    continue;
                out << "scenario-item " << s << ' ' << i << ' ' << unsigned(item) << '\n';
            }
        }
        for (int e = 0; e < kAssignmentEntryCount; ++e) {
            out << "assignment " << e << ' ' << unsigned(b.assignments[e].pattern) << ' '
                << unsigned(b.assignments[e].target) << '\n';
        }
        out << "played-motions";
        AppendValues(out, b.playedMotions);
        out << "\nplayed-scenarios";
        AppendValues(out, b.playedScenarios);
        out << "\nend\n";
    }
    return out.str();
}

}  // namespace orvane::sim
