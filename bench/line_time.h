#pragma once
// The time the frames the virtual boards received since their log was cleared, and the replies to them,
// need on the line at 115200 bit/s. A reply is as long as what a scratch board of that ID answers.

#include "sim/virtual_boards.h"

#include <cstddef>

struct LineTime {
    double ms = 0;
    size_t frames = 0;
};

inline LineTime LineTimeOf(const orvane::sim::VirtualBoards &boards)
{
    LineTime line;
    double bytes = 0;
    orvane::sim::BoardMemory scratch[] = {orvane::sim::BoardMemory(0), orvane::sim::BoardMemory(1)};
    for (const orvane::sim::Bytes &frame : boards.Frames()) {
        bytes += double(frame.size());
        if (frame.size() >= 2 && frame[1] < 2)
            if (const auto reply = scratch[frame[1]].Execute(frame))
                bytes += double(reply->size());
        ++line.frames;
    }
    line.ms = bytes * orvane::sim::kByteTimeUs / 1000;
    return line;
}
