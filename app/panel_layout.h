#pragma once

#include <QColor>

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

// Colours are the colour numbers of ORV.ini: 0x00BBGGRR for a plain colour,
// 0x80000000 + index for a system colour.
inline constexpr uint32_t kSystemColorFlag = 0x80000000u;
inline constexpr int kButtonFaceIndex = 15;
inline constexpr uint32_t kButtonFace = kSystemColorFlag | kButtonFaceIndex;
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kBlack = 0x000000;

// Current values of the system colours, as 0x00BBGGRR. PaletteSystemColors fills the
// entries the palette knows (at least the button face).
using SystemColors = std::array<uint32_t, 31>;
// A fixed light scheme for use without a palette; the button face is 0xF0F0F0.
SystemColors FixedSystemColors();

// The system colours as the running application's palette has them (the fixed
// scheme where there is no application).
SystemColors PaletteSystemColors();

inline QColor ToQColor(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

inline uint32_t ToColorNumber(const QColor &c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

// 0x00BBGGRR of a colour number; an unknown system colour index counts as the
// button face.
uint32_t ResolveColor(uint32_t color, const SystemColors &system = FixedSystemColors());

// White when 0.299 R + 0.587 G + 0.114 B, rounded, is 128 or less, else black.
uint32_t ContrastColor(uint32_t color, const SystemColors &system = FixedSystemColors());

}  // namespace orvane
