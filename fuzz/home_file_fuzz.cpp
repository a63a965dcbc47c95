// Home position files: every channel ends with a channel value code, whatever the file holds.
#include "app/home_file.h"
#include "file_in_temp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteInput(QStringLiteral("home.ini"), data, size);
    orvane::HomeFileContent content;
    QString error;
    if (orvane::ReadHomeFile(path, &content, &error))
        for (int value : content.values)
            if (!orvane::IsChannelValueCode(value))
                __builtin_trap();
    return 0;
}
