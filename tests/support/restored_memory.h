#pragma once
// What a board image restore puts back on a virtual board: everything but the home position, the mode and
// the live positions.

#include "sim/board_memory.h"

#include <gtest/gtest.h>

inline void ExpectRestoredMemory(const orvane::sim::BoardMemory &got, const orvane::sim::BoardMemory &want)
{
    EXPECT_EQ(got.trims, want.trims);
    EXPECT_EQ(got.motionLengths, want.motionLengths);
    EXPECT_EQ(got.motions, want.motions);
    EXPECT_EQ(got.scenarioLengths, want.scenarioLengths);
    EXPECT_EQ(got.scenarios, want.scenarios);
    EXPECT_EQ(got.assignments, want.assignments);
}
