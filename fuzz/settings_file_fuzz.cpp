// ORV.ini: any bytes load into settings whose port is OFF or COM1 to COM30.
#include "app/settings.h"
#include "file_in_temp.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = WriteInput(QStringLiteral("ORV.ini"), data, size);
    const orvane::MainSettings settings = orvane::LoadSettings(QFileInfo(path).absolutePath());
    if (settings.commPort < 0 || settings.commPort > 30)
        __builtin_trap();
    return 0;
}
