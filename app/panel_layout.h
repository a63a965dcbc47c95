#pragma once

#include "session/colors.h"

#include <array>
#include <cstdint>

namespace orvane {

// The channel area of the main window holds 25 panels: panel 0 is the separator
// bar, panel n the panel of channel n. Positions are pixels within the area.
inline constexpr int kPanelCount = 25;
inline constexpr int kDesktopCount = 10;
inline constexpr int kChannelAreaWidth = 508;
inline constexpr int kChannelAreaHeight = 343;
inline constexpr int kChannelPanelWidth = 254;
inline constexpr int kChannelPanelHeight = 24;
inline constexpr int kSegmentWidth = 508;
inline constexpr int kSegmentHeight = 4;

struct PanelPos {
    int left = 0;
    int top = 0;
    friend bool operator==(const PanelPos &, const PanelPos &) = default;
};

struct PanelSize {
    int width = 0;
    int height = 0;
};

using DesktopLayout = std::array<PanelPos, kPanelCount>;

// The "Standard" arrangement, also what every named desktop starts with.
PanelPos BuiltInPanelPos(int panel);
DesktopLayout BuiltInLayout();
PanelSize SizeOfPanel(int panel);

// Where a panel dragged to `wanted` ends up: inside the channel area, left and
// top edges winning over the right and bottom ones for a panel wider than it.
PanelPos ClampToChannelArea(PanelPos wanted, PanelSize size);

}  // namespace orvane
