// The code page rule: any bytes decode; the text encodes again and that encoding decodes to the same text.
#include "textfile/code_page.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = orvane::DecodeText(bytes);
    const QByteArray encoded = orvane::EncodeText(text);
    if (orvane::DecodeText(orvane::EncodeText(orvane::DecodeText(encoded))) != orvane::DecodeText(encoded))
        __builtin_trap();
    return 0;
}
