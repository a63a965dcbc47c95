#include "sim/faults.h"

#include <charconv>
#include <vector>

namespace orvane::sim {

namespace {

constexpr std::uint8_t kNak = 0x15;
constexpr int kMaxExtraBytes = 4096;
constexpr int kMaxGapMs = 600000;

bool IsAcknowledge(const Bytes &reply) { return reply.size() == 2 && reply[1] == kAck; }

std::vector<std::string_view> SplitFields(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const auto colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return fields;
        text.remove_prefix(colon + 1);
    }
}

}  // namespace

std::optional<unsigned> ParseNumber(std::string_view text)
{
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

void ApplyFault(const Fault &fault, ReplyPlan &plan)
{
    Bytes &b = plan.bytes;
    switch (fault.kind) {
    case FaultKind::NoReply: plan.send = false; break;
    case FaultKind::BadChecksum:
        if (b.empty())
            break;
        if (IsAcknowledge(b))
            b[1] = kNak;
        else
            b.back() = std::uint8_t((b.back() + 1) & 0x7F);
        break;
    case FaultKind::WrongId:
        if (b.empty())
            break;
        b[0] = std::uint8_t(b[0] + 1);
        if (!IsAcknowledge(b) && b.size() >= 2)
            b.back() = Checksum(std::span(b).first(b.size() - 1));
        break;
    case FaultKind::Split:
        if (b.size() < 2)
            break;
        plan.splitAt = fault.splitAt > 0 ? std::size_t(fault.splitAt) : b.size() / 2;
        if (plan.splitAt >= b.size())
            plan.splitAt = b.size() - 1;
        plan.gapMs = fault.gapMs;
        break;
    case FaultKind::Extra: b.insert(b.end(), std::size_t(fault.extraBytes), 0x00); break;
    case FaultKind::Late: plan.delayMs += fault.gapMs; break;
    }
}

std::optional<Fault> ParseFault(std::string_view text, std::string &error)
{
    const auto fields = SplitFields(text);
    if (fields.size() < 3) {
        error = "expected KIND:COMMAND:WHICH";
        return std::nullopt;
    }
    Fault fault;
    const std::string_view kind = fields[0];
    std::size_t maxFields = 3;
    if (kind == "noreply") {
        fault.kind = FaultKind::NoReply;
    } else if (kind == "badsum") {
        fault.kind = FaultKind::BadChecksum;
    } else if (kind == "wrongid") {
        fault.kind = FaultKind::WrongId;
    } else if (kind == "split") {
        fault.kind = FaultKind::Split;
        maxFields = 5;
    } else if (kind == "late") {
        fault.kind = FaultKind::Late;
        maxFields = 4;
    } else if (kind == "extra") {
        fault.kind = FaultKind::Extra;
        maxFields = 4;
    } else {
        error = "unknown fault kind '" + std::string(kind) + "'";
        return std::nullopt;
    }
    if (fields.size() > maxFields) {
        error = "too many fields for " + std::string(kind);
        return std::nullopt;
    }

    if (fields[1] != "any") {
        const auto cmd = ParseNumber(fields[1]);
        if (!cmd || *cmd > 0xFF || FrameLength(std::uint8_t(*cmd)) == 0) {
            error = "'" + std::string(fields[1]) + "' is no command byte";
            return std::nullopt;
        }
        fault.command = std::uint8_t(*cmd);
    }

    const std::string_view which = fields[2];
    if (which == "always") {
        fault.first = 1;
        fault.last = 0;
    } else {
        const auto dash = which.find('-');
        const auto first = ParseNumber(which.substr(0, dash));
        std::optional<unsigned> last = first;
        if (dash != std::string_view::npos)
            last = which.substr(dash + 1).empty() ? std::optional<unsigned>(0) : ParseNumber(which.substr(dash + 1));
        if (!first || *first == 0 || !last || (*last != 0 && *last < *first)) {
            error = "'" + std::string(which) + "' is not always, N, N-M or N-";
            return std::nullopt;
        }
        fault.first = *first;
        fault.last = *last;
    }

    if (fault.kind == FaultKind::Split || fault.kind == FaultKind::Late) {
        const auto gap = fields.size() > 3 ? ParseNumber(fields[3]) : std::nullopt;
        if (!gap || *gap > unsigned(kMaxGapMs)) {
            error = std::string(kind) + (fault.kind == FaultKind::Split ? " needs a gap" : " needs a delay")
                    + " in milliseconds";
            return std::nullopt;
        }
        fault.gapMs = int(*gap);
        if (fields.size() > 4) {
            const auto at = ParseNumber(fields[4]);
            if (!at || *at == 0 || *at > 64) {
                error = "split point must be 1 to 64 bytes";
                return std::nullopt;
            }
            fault.splitAt = int(*at);
        }
    } else if (fault.kind == FaultKind::Extra && fields.size() > 3) {
        const auto count = ParseNumber(fields[3]);
        if (!count || *count == 0 || *count > unsigned(kMaxExtraBytes)) {
            error = "extra byte count must be 1 to 4096";
            return std::nullopt;
        }
        fault.extraBytes = int(*count);
    }
    return fault;
}

}  // namespace orvane::sim
