#include "protocol/serial_port.h"

#include "protocol/language.h"
#include "protocol/prompt.h"
#include "protocol/transaction.h"

TCommX *SerialPort = nullptr;

namespace {
enum { SuccessSuffix, FailureSuffix, InformationTitle, WarningTitle };
const char *const PortMessages[2][4] = {
    {" 設定完了", "指定のポートは使用できません", "情報", "警告"},
    {" completion", " does not exist", "Information", "Warining"},
};
QString Text(int entry) { return QString::fromUtf8(PortMessages[LanguageIndex][entry]); }
}  // namespace

void CreateSerialPort(QObject *owner)
{
    if (!SerialPort)
        SerialPort = new TCommX(owner);
}

void SetupPort(int portNo, int bitRate)
{
    if (!SerialPort)
        return;
    SerialPort->SetBitRate(bitRate);
    SerialPort->SetBufLenReceive(2048);
    SerialPort->SetBufLenTrans(2048);
    SerialPort->SetCharSize(8);
    SerialPort->SetFlowCtrl(cfcNone);
    SerialPort->SetParityBit(cpbNone);
    SerialPort->SetPortNo(portNo);
    SerialPort->SetStopBit(csb1);
    SerialPort->SetTimeOutReceive(30);
    SerialPort->SetTimeOutTrans(3000);
}

void OpenPortChecked(Prompt &prompt)
{
    if (!SerialPort)
        return;
    const QString com = QStringLiteral("COM") + QString::number(SerialPort->PortNo());
    try {
        SerialPort->Open();
        SerialPort->SetDtr(true);
        SerialPort->SetDtr(false);
        SerialPort->PurgeReceive();
        SerialPort->FlushTransmit();
    } catch (const ECommError &e) {
        qCWarning(lcProtocol) << "open" << SerialPort->DevicePath() << "failed:" << e.Message();
        prompt.Message(PromptIcon::Warning, Text(WarningTitle), com + Text(FailureSuffix), PromptButtons::Ok);
        SerialPort->Close();
        return;
    }
    prompt.Message(PromptIcon::Information, Text(InformationTitle), com + Text(SuccessSuffix), PromptButtons::Ok);
}

void ClosePort()
{
    if (SerialPort)
        SerialPort->Close();
}

void ReleasePort()
{
    delete SerialPort;
    SerialPort = nullptr;
}
