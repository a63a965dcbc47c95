#include "transmitter/key_pattern.h"

namespace orvane {

KeyNames KeyNamesOf(int language)
{
    KeyNames names;
    for (int bit = 0; bit < kKeyCount; ++bit)
        names[size_t(bit)] = kButtonMessages.Text(language, BtnKey1 + bit);
    return names;
}

QString PatternText(std::uint8_t pattern, const KeyNames &names)
{
    if (pattern == 0)
        return QStringLiteral("None");
    static constexpr std::array<int, kKeyCount> kTextOrder{0, 1, 3, 2, 4, 5, 7, 6};
    QString text;
    for (int bit : kTextOrder)
        if (pattern & (1u << bit))
            text += names[size_t(bit)];
    return text;
}

}  // namespace orvane
