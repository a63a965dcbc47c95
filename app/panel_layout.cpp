#include "app/panel_layout.h"

namespace orvane {

PanelPos BuiltInPanelPos(int panel)
{
    if (panel == 0)
        return {0, 170};
    if (panel < 0 || panel >= kPanelCount)
        return {};
    const int k = panel - 1;            // 0..23
    const int column = (k / 6) % 2;     // 1-6 and 13-18 left, 7-12 and 19-24 right
    const int top = k < 12 ? 26 : 174;  // above and below the bar
    return {column * kChannelPanelWidth, top + kChannelPanelHeight * (k % 6)};
}

DesktopLayout BuiltInLayout()
{
    DesktopLayout layout;
    for (int p = 0; p < kPanelCount; ++p)
        layout[p] = BuiltInPanelPos(p);
    return layout;
}

PanelSize SizeOfPanel(int panel)
{
    if (panel == 0)
        return {kSegmentWidth, kSegmentHeight};
    return {kChannelPanelWidth, kChannelPanelHeight};
}

PanelPos ClampToChannelArea(PanelPos wanted, PanelSize size)
{
    PanelPos pos = wanted;
    if (pos.left < 0)
        pos.left = 0;
    if (pos.top < 0)
        pos.top = 0;
    if (pos.left + size.width > kChannelAreaWidth)
        pos.left = kChannelAreaWidth - size.width;
    if (pos.top + size.height > kChannelAreaHeight)
        pos.top = kChannelAreaHeight - size.height;
    // Only reachable for a panel larger than the area: keep its origin visible.
    if (pos.left < 0)
        pos.left = 0;
    if (pos.top < 0)
        pos.top = 0;
    return pos;
}

}  // namespace orvane
