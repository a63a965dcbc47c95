#include "session/colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace orvane {

SystemColors FixedSystemColors()
{
    // 0x00BBGGRR, a common light scheme.
    return {
        0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000, 0xB4B4B4,
        0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969,
        0xE3E3E3, 0x000000, 0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
    };
}

SystemColors PaletteSystemColors()
{
    SystemColors colors = FixedSystemColors();
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return colors;
    const QPalette palette = QGuiApplication::palette();
    colors[kButtonFaceIndex] = ToColorNumber(palette.color(QPalette::Button));
    colors[5] = ToColorNumber(palette.color(QPalette::Base));         // window
    colors[8] = ToColorNumber(palette.color(QPalette::Text));         // window text
    colors[18] = ToColorNumber(palette.color(QPalette::ButtonText));  // button text
    colors[13] = ToColorNumber(palette.color(QPalette::Highlight));
    colors[14] = ToColorNumber(palette.color(QPalette::HighlightedText));
    return colors;
}

uint32_t ResolveColor(uint32_t color, const SystemColors &system)
{
    if (color & kSystemColorFlag) {
        const uint32_t index = color & 0xFFu;
        const uint32_t resolved =
            (color & 0x7FFFFF00u) == 0 && index < system.size() ? system[index] : system[kButtonFaceIndex];
        return resolved & 0xFFFFFFu;
    }
    return color & 0xFFFFFFu;
}

uint32_t ContrastColor(uint32_t color, const SystemColors &system)
{
    const uint32_t rgb = ResolveColor(color, system);
    const uint32_t red = rgb & 0xFF;
    const uint32_t green = (rgb >> 8) & 0xFF;
    const uint32_t blue = (rgb >> 16) & 0xFF;
    // In thousandths, so that rounding sees the exact value.
    const uint32_t luma = (299 * red + 587 * green + 114 * blue + 500) / 1000;
    return luma <= 128 ? kWhite : kBlack;
}

}  // namespace orvane
