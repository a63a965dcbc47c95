// The comma rule: fields split from any line join and split again to the same fields.
#include "textfile/code_page.h"
#include "textfile/comma_rule.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = orvane::DecodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (QStringView line : orvane::SplitTextLines(text)) {
        const QStringList fields = orvane::SplitCommaLine(line);
        if (orvane::SplitCommaLine(orvane::JoinCommaLine(fields)) != fields)
            __builtin_trap();
    }
    return 0;
}
