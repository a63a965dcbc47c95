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
        // One empty field is written as an empty line, which reads as no field: no file line is ever that.
        if (fields.size() == 1 && fields[0].isEmpty())
            continue;
        if (orvane::SplitCommaLine(orvane::JoinCommaLine(fields)) != fields)
            __builtin_trap();
    }
    return 0;
}
