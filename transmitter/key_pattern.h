#pragma once
// Key patterns: a byte of the transmitter's eight keys pressed together, bit n for key button n + 1.

#include "session/message_table.h"

#include <QString>

#include <array>
#include <cstdint>

namespace orvane {

constexpr int kKeyCount = 8;

enum ButtonEntry {
    BtnKey1,  // captions of COMMAND_1 to COMMAND_8, in bit order
    BtnKey2,
    BtnKey3,
    BtnKey4,
    BtnKey5,
    BtnKey6,
    BtnKey7,
    BtnKey8,
    BtnTitle,
    ButtonEntryCount
};

// The key pattern dialog's texts.
inline constexpr MessageTable<ButtonEntryCount> kButtonMessages{
    {"↑", "↓", "→", "←", "△", "×", "○", "□", "入力パターンの設定"},
    {"U1", "D1", "R1", "L1", "U2", "D2", "R2", "L2", "Key config"},
};

// Key names in bit order.
using KeyNames = std::array<QString, kKeyCount>;
KeyNames KeyNamesOf(int language);

// The names of the keys in the pattern in the order U1 D1 L1 R1 U2 D2 L2 R2 (left before right, which is
// not bit order); "None" for no key, in both languages.
QString PatternText(std::uint8_t pattern, const KeyNames &names);

}  // namespace orvane
