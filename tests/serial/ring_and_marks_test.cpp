#include "serial/comm_threads.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using serial_detail::MarkDecoder;
using serial_detail::Ring;

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> v;
    for (int b : values)
        v.push_back(static_cast<uint8_t>(b));
    return v;
}

std::vector<uint8_t> PopAll(Ring &ring)
{
    std::vector<uint8_t> out(static_cast<size_t>(ring.Size()));
    ring.Pop(out.data(), ring.Size());
    return out;
}

}  // namespace

TEST(Ring, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit)
{
    Ring ring(5);
    const auto abc = Bytes({1, 2, 3});
    EXPECT_EQ(ring.Push(abc.data(), 3), 0);
    uint8_t two[2];
    EXPECT_EQ(ring.Pop(two, 2), 2);
    EXPECT_EQ(two[0], 1);
    EXPECT_EQ(two[1], 2);
    const auto more = Bytes({4, 5, 6, 7, 8});
    EXPECT_EQ(ring.Push(more.data(), 5), 1);  // room for four
    EXPECT_EQ(PopAll(ring), Bytes({3, 4, 5, 6, 7}));
    EXPECT_EQ(ring.Size(), 0);
}

TEST(Ring, ShrinkingKeepsTheNewestBytes)
{
    Ring ring(4);
    const auto a = Bytes({1, 2, 3});
    ring.Push(a.data(), 3);
    uint8_t x;
    ring.Pop(&x, 1);
    const auto b = Bytes({4, 5});
    ring.Push(b.data(), 2);  // wraps: 2 3 4 5
    EXPECT_EQ(ring.SetCapacity(2), 2);
    EXPECT_EQ(PopAll(ring), Bytes({4, 5}));
    EXPECT_EQ(ring.SetCapacity(8), 0);
    const auto c = Bytes({9, 8, 7, 6, 5, 4, 3, 2});
    EXPECT_EQ(ring.Push(c.data(), 8), 0);
    EXPECT_EQ(PopAll(ring), c);
}

class MarkDecoderTest : public ::testing::Test {
protected:
    // Feeds the input in pieces of the given size, as reads may cut it anywhere.
    std::vector<uint8_t> Decode(const std::vector<uint8_t> &in, int piece)
    {
        std::vector<uint8_t> out;
        for (size_t at = 0; at < in.size(); at += size_t(piece)) {
            const int n = std::min<int>(piece, int(in.size() - at));
            std::vector<uint8_t> buf(size_t(n) + 1);
            const MarkDecoder::Result r = decoder.Decode(in.data() + at, n, buf.data());
            out.insert(out.end(), buf.begin(), buf.begin() + r.bytes);
            breaks += r.breaks;
            badBytes += r.badBytes;
        }
        return out;
    }
    MarkDecoder decoder;
    int breaks = 0;
    int badBytes = 0;
};

TEST_F(MarkDecoderTest, DoubledFFIsOneDataByteWhereverTheReadSplitsIt)
{
    const auto marked = Bytes({0x10, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});
    for (int piece = 1; piece <= 4; ++piece) {
        breaks = badBytes = 0;
        EXPECT_EQ(Decode(marked, piece), Bytes({0x10, 0xFF, 0x00, 0xFF, 0xFF, 0x7F})) << piece;
        EXPECT_EQ(breaks, 0);
        EXPECT_EQ(badBytes, 0);
    }
}

TEST_F(MarkDecoderTest, BreakAndErrorMarksAreCountedNotPassedOn)
{
    // a, break, b received with an error, c
    const auto marked = Bytes({'a', 0xFF, 0x00, 0x00, 0xFF, 0x00, 'b', 'c'});
    EXPECT_EQ(Decode(marked, 1), Bytes({'a', 'b', 'c'}));
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(badBytes, 1);
}

TEST_F(MarkDecoderTest, ResetForgetsAHalfMark)
{
    const auto half = Bytes({0xFF});
    EXPECT_TRUE(Decode(half, 1).empty());
    decoder.Reset();
    EXPECT_EQ(Decode(Bytes({0x00, 0x41}), 2), Bytes({0x00, 0x41}));
}
