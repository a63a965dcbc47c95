#include "session/open_port.h"

#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/message_table.h"
#include "session/port_failure.h"
#include "session/prompt.h"

namespace {
enum { SuccessSuffix, FailureSuffix, InformationTitle, WarningTitle };
}  // namespace

const orvane::MessageTable<4> kPortMessages{
    {" 設定完了", "指定のポートは使用できません", "情報", "警告"},
    {" completion", " does not exist", "Information", "Warining"},
};

namespace {
QString Text(int entry) { return kPortMessages(entry); }
}  // namespace

void OpenPortQuietly()
{
    if (!SerialPort)
        return;
    SerialPort->Open();
    SerialPort->SetDtr(true);
    SerialPort->SetDtr(false);
    SerialPort->PurgeReceive();
    SerialPort->FlushTransmit();
}

void OpenPortChecked(Prompt &prompt)
{
    if (!SerialPort)
        return;
    const QString com = QStringLiteral("COM") + QString::number(SerialPort->PortNo());
    try {
        OpenPortQuietly();
    } catch (const ECommError &e) {
        qCWarning(lcProtocol) << "open" << SerialPort->DevicePath() << "failed:" << e.Message();
        QString text = com + Text(FailureSuffix);
        const QString cause = PortOpenCauseText(e.OpenCause(), e.SystemError(), SerialPort->DevicePath());
        if (!cause.isEmpty())
            text += u'\n' + cause;
        prompt.Message(PromptIcon::Warning, Text(WarningTitle), text, PromptButtons::Ok);
        SerialPort->Close();
        return;
    }
    prompt.Message(PromptIcon::Information, Text(InformationTitle), com + Text(SuccessSuffix), PromptButtons::Ok);
}
