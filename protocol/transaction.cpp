#include "protocol/transaction.h"

#include "protocol/serial_port.h"

Q_LOGGING_CATEGORY(lcProtocol, "orvane.protocol", QtWarningMsg)

uint8_t Checksum(const char *data, int count)
{
    unsigned sum = 0;
    for (int i = 0; i < count; ++i)
        sum += static_cast<uint8_t>(data[i]);
    return static_cast<uint8_t>(sum & 0x7F);
}

void AppendChecksum(QByteArray &frame)
{
    frame.append(static_cast<char>(Checksum(frame.constData(), int(frame.size()))));
}

namespace {

// After a retry the answer to an earlier attempt may still be on its way: the one just read may be that
// late answer, and the next one's own then lands in the next transaction, past its purge, where it would
// be read as that command's reply. Waits until the line stays quiet for a receive time-out, reading at
// most what the earlier attempts could have sent back.
void DrainLateReplies(int atMost)
{
    char byte = 0;
    int drained = 0;
    while (SerialPort && drained < atMost && SerialPort->Read(&byte, 1) == 1)
        ++drained;
    if (drained > 0)
        qCDebug(lcProtocol) << "drained" << drained << "late bytes";
}

}  // namespace

void SendAndReceive(const QByteArray &frame, QByteArray &reply, int &received, int &attempts, int expectedLength)
{
    const int allowed = attempts < 1 ? 1 : attempts;
    attempts = 0;
    for (;;) {
        if (SerialPort) {
            SerialPort->PurgeReceive();
            SerialPort->Write(frame);
            // The window is served while the frame and its reply are on the line, not between commands
            // where it would add to a transfer's time; the reply waits in the receive buffer meanwhile.
            ServeUserInterface();
        }
        received = 0;
        reply.clear();
        qCDebug(lcProtocol) << "send" << frame.toHex(' ');
        while (received < expectedLength) {
            char byte = 0;
            if (!SerialPort || SerialPort->Read(&byte, 1) < 1)
                break;
            reply.append(byte);
            ++received;
        }
        ++attempts;
        qCDebug(lcProtocol) << "reply" << reply.toHex(' ') << "attempt" << attempts;
        if (received == expectedLength && attempts > 1)
            DrainLateReplies(expectedLength * (attempts - 1));
        if (attempts >= allowed || received == expectedLength)
            return;
    }
}

bool AcknowledgeValid(const QByteArray &reply, int received, uint8_t id)
{
    return received == 2 && reply.size() >= 2 && static_cast<uint8_t>(reply[0]) == id
           && static_cast<uint8_t>(reply[1]) == 0x06;
}

bool ChecksumValid(QByteArray &reply, int received, int length)
{
    if (received != length || reply.size() != length)
        return false;
    const uint8_t got = static_cast<uint8_t>(reply[length - 1]);
    reply.chop(1);
    AppendChecksum(reply);
    return static_cast<uint8_t>(reply[length - 1]) == got;
}
