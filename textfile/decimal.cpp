#include "textfile/decimal.h"

#include <algorithm>
#include <climits>

namespace orvane {

std::optional<int> ParseDecimal(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX || value < INT_MIN)
        return std::nullopt;
    return int(value);
}

void AppendDecimal(QString &text, int value)
{
    char16_t digits[12];
    int n = 0;
    // Work in the negative range so that INT_MIN has no positive overflow.
    int rest = value < 0 ? value : -value;
    do {
        digits[n++] = char16_t(u'0' - rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (value < 0)
        digits[n++] = u'-';
    std::reverse(digits, digits + n);
    text.append(QStringView(digits, n));
}

}  // namespace orvane
