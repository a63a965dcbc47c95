// Motion files: any bytes are either rejected with a line and field, or load into rows that save again.
#include "motion/motion_file.h"
#include "textfile/code_page.h"

using namespace orvane;

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HomePositions home;
    home.fill(90);
    const QString text = orvane::DecodeText(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    MotionFileLoad load = ParseMotionText(text, home);
    if (load.error == MotionFileError::None) {
        // What loaded must save and load again with the same rows.
        const QString saved = MotionFileText(load.header, load.rows, home);
        const MotionFileLoad again = ParseMotionText(saved, home);
        if (again.error != MotionFileError::None || again.rows.Size() != load.rows.Size())
            __builtin_trap();
    } else {
        (void)DescribeMotionFileError(load);
    }
    return 0;
}
