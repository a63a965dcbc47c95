// Board images: any bytes are either refused with a reason, or read into an image that writes and
// reads again unchanged.
#include "session/board_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const std::optional<orvane::BoardImage> image =
        orvane::BoardImageFromJson(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error);
    if (!image) {
        if (error.isEmpty())
            __builtin_trap();
        return 0;
    }
    if (image->boards.empty() || image->boards.size() > 2)
        __builtin_trap();
    const std::optional<orvane::BoardImage> again =
        orvane::BoardImageFromJson(orvane::BoardImageToJson(*image), &error);
    if (!again || *again != *image)
        __builtin_trap();
    return 0;
}
