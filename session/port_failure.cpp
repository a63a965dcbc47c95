#include "session/port_failure.h"

#include "session/message_table.h"

#include <cstring>

namespace {
enum { Missing, NotPermitted, InUse, NotASerialDevice, Other };
}  // namespace

const orvane::MessageTable<5> kPortCauseMessages{
    {
        "デバイス %1 は存在しません。",
        "デバイス %1 を開く権限がありません。dialout グループに入り、ログインし直してください: sudo usermod -aG "
        "dialout $USER",
        "デバイス %1 は他のプログラムが使用中です。",
        "%1 はシリアルデバイスではありません。",
        "デバイス %1 を開けませんでした: %2",
    },
    {
        "The device %1 does not exist.",
        "You may not open the device %1. Join the dialout group and log in again: sudo usermod -aG dialout $USER",
        "Another program has the device %1 open.",
        "%1 is not a serial device.",
        "The device %1 could not be opened: %2",
    },
};

QString PortOpenCauseText(TCommOpenCause cause, int systemError, const QString &device, int language)
{
    const QString shown = device.isEmpty() ? QStringLiteral("-") : device;
    switch (cause) {
    case TCommOpenCause::None: return QString();
    case TCommOpenCause::Missing: return kPortCauseMessages.Text(language, Missing).arg(shown);
    case TCommOpenCause::NotPermitted: return kPortCauseMessages.Text(language, NotPermitted).arg(shown);
    case TCommOpenCause::InUse: return kPortCauseMessages.Text(language, InUse).arg(shown);
    case TCommOpenCause::NotASerialDevice: return kPortCauseMessages.Text(language, NotASerialDevice).arg(shown);
    case TCommOpenCause::Other: break;
    }
    const QString why = systemError ? QString::fromLocal8Bit(std::strerror(systemError)) : QStringLiteral("?");
    return kPortCauseMessages.Text(language, Other).arg(shown, why);
}
