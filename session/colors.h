#pragma once
// Colour numbers as ORV.ini keeps them, and the text colour that reads on a coloured panel.

#include <QColor>

#include <array>
#include <cstdint>

namespace orvane {

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
