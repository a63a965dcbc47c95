#include "app/panel_layout.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(PanelLayout, BuiltInPositions)
{
    const DesktopLayout layout = BuiltInLayout();
    EXPECT_EQ(layout[0], (PanelPos{0, 170}));
    EXPECT_EQ(layout[1], (PanelPos{0, 26}));
    EXPECT_EQ(layout[6], (PanelPos{0, 146}));
    EXPECT_EQ(layout[7], (PanelPos{254, 26}));
    EXPECT_EQ(layout[12], (PanelPos{254, 146}));
    EXPECT_EQ(layout[13], (PanelPos{0, 174}));
    EXPECT_EQ(layout[18], (PanelPos{0, 294}));
    EXPECT_EQ(layout[19], (PanelPos{254, 174}));
    EXPECT_EQ(layout[24], (PanelPos{254, 294}));
}

TEST(PanelLayout, DraggedPanelStaysInsideTheChannelArea)
{
    const PanelSize panel = SizeOfPanel(5);
    EXPECT_EQ(ClampToChannelArea({300, -7}, panel), (PanelPos{254, 0}));
    EXPECT_EQ(ClampToChannelArea({-1, 400}, panel), (PanelPos{0, 319}));
    EXPECT_EQ(ClampToChannelArea({100, 200}, panel), (PanelPos{100, 200}));
    EXPECT_EQ(ClampToChannelArea({3, 340}, SizeOfPanel(0)), (PanelPos{0, 339}));
}

TEST(ContrastColor, FollowsTheRoundedLuma)
{
    EXPECT_EQ(ContrastColor(0x00FFFF), kBlack);  // yellow, 226
    EXPECT_EQ(ContrastColor(0x800000), kWhite);  // navy, 15
    EXPECT_EQ(ContrastColor(0x808080), kWhite);  // grey, 128
    EXPECT_EQ(ContrastColor(0xC37878), kBlack);  // 128.55 rounds to 129
    EXPECT_EQ(ContrastColor(0x818181), kBlack);  // 129
}

TEST(ContrastColor, SystemColoursResolveThroughThePalette)
{
    EXPECT_EQ(ResolveColor(kButtonFace), 0xF0F0F0u);
    EXPECT_EQ(ContrastColor(kButtonFace), kBlack);
    SystemColors dark = FixedSystemColors();
    dark[kButtonFaceIndex] = 0x303030;
    EXPECT_EQ(ContrastColor(kButtonFace, dark), kWhite);
    EXPECT_EQ(ContrastColor(0x80000000u | 13), kWhite);  // highlight
}

}  // namespace
}  // namespace orvane
