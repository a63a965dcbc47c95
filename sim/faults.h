#pragma once

// Faults the virtual boards can put into their replies.

#include "sim/board_memory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvane::sim {

enum class FaultKind {
    NoReply,      // the board executes the frame but sends nothing
    BadChecksum,  // last byte wrong: checksum + 1 (AND 0x7F); an acknowledge's 0x06 becomes 0x15
    WrongId,      // byte 0 is the board's ID + 1 (mod 256); a checksum is recomputed to match
    Split,        // the reply leaves in two pieces with a gap between them
    Extra,        // extra 0x00 bytes follow the reply
    Late,         // the whole reply leaves gapMs late; the board takes no frame meanwhile
};

// A fault hits the frames of one command (or of every command) that a board
// answers, counted from 1 since the fault was added: frames first..last,
// last == 0 meaning "from first on". Frames for an unknown ID, with a bad
// checksum or out of range are not counted: they get no reply anyway.
struct Fault {
    FaultKind kind = FaultKind::NoReply;
    std::optional<std::uint8_t> command;  // nothing: any command
    unsigned first = 1;
    unsigned last = 0;
    int gapMs = 0;       // Split: the gap; Late: the delay
    int splitAt = 0;     // Split: bytes in the first piece; 0 for half (rounded down)
    int extraBytes = 1;  // Extra: how many

    bool hits(unsigned count) const { return count >= first && (last == 0 || count <= last); }
};

// How one reply is to leave the board.
struct ReplyPlan {
    bool send = true;
    Bytes bytes;
    std::size_t splitAt = 0;  // 0: in one piece
    int gapMs = 0;
    int delayMs = 0;  // before the first byte
};

// Changes the plan as the fault says. Faults apply in the order given; a
// split is placed on the bytes as they are at that point.
void ApplyFault(const Fault &fault, ReplyPlan &plan);

// A whole field as an unsigned number, decimal or 0x-prefixed hex.
std::optional<unsigned> ParseNumber(std::string_view text);

// Parses the command-line form KIND:COMMAND:WHICH[:ARG[:ARG]]
//   KIND     noreply | badsum | wrongid | split | extra
//   COMMAND  any, or a command byte in hex (0xF0) or decimal (240)
//   WHICH    always | N | N-M | N-   (counts from 1; N- means N and every later one)
//   ARG      split: GAP_MS[:BYTES_IN_FIRST_PIECE]   (gap required, piece default half)
//            extra: COUNT                           (default 1, at most 4096)
// Examples: noreply:0xF0:3   split:any:1-5:40   extra:0xFC:always:3
// On failure returns nothing and sets error to a short reason.
std::optional<Fault> ParseFault(std::string_view text, std::string &error);

}  // namespace orvane::sim
