#include "protocol/transaction.h"

#include "protocol/line_observer.h"
#include "protocol/serial_port.h"

#include <chrono>
#include <optional>

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

LineObserver *gObserver = nullptr;
const auto kProgramStart = std::chrono::steady_clock::now();

// After a retry the answer to an earlier attempt may still be on its way: the one just read may be that
// late answer, and the next one's own then lands in the next transaction, past its purge, where it would
// be read as that command's reply. Waits until the line stays quiet for a receive time-out, reading at
// most what the earlier attempts could have sent back. `kept` (may be null) receives what was drained.
void DrainLateReplies(int atMost, QByteArray *kept)
{
    char byte = 0;
    int drained = 0;
    while (SerialPort && drained < atMost && SerialPort->Read(&byte, 1) == 1) {
        ++drained;
        if (kept)
            kept->append(byte);
    }
    if (drained > 0)
        qCDebug(lcProtocol) << "drained" << drained << "late bytes";
}

LineVerdict Judge(const QByteArray &frame, const QByteArray &reply, int expected, ReplyCheck check)
{
    if (reply.isEmpty())
        return LineVerdict::NoReply;
    if (reply.size() < expected)
        return LineVerdict::ShortReply;
    const uint8_t id = frame.size() > 1 ? static_cast<uint8_t>(frame[1]) : 0;
    const bool idMatches = static_cast<uint8_t>(reply[0]) == id;
    if (check == ReplyCheck::Acknowledge) {
        if (!idMatches)
            return LineVerdict::WrongId;
        return static_cast<uint8_t>(reply[1]) == 0x06 ? LineVerdict::Ok : LineVerdict::NotAcknowledged;
    }
    if (Checksum(reply.constData(), expected - 1) != static_cast<uint8_t>(reply[expected - 1]))
        return LineVerdict::BadChecksum;
    if (check == ReplyCheck::ChecksumAndId && !idMatches)
        return LineVerdict::WrongId;
    return LineVerdict::Ok;
}

// The observer goes away with its window, possibly while a transaction waits: tell only the one that
// was there when the transaction began, and only if it still is.
void Tell(LineObserver *observer, const LineTransaction &transaction)
{
    if (observer && observer == gObserver)
        observer->TransactionDone(transaction);
}

}  // namespace

bool IsFailure(LineVerdict verdict)
{
    return verdict != LineVerdict::Ok && verdict != LineVerdict::LateBytes && verdict != LineVerdict::SentOnly;
}

int LineTransaction::Attempts() const
{
    int n = 0;
    for (const LineTry &t : tries)
        n += t.verdict != LineVerdict::LateBytes;
    return n;
}

const LineTry &LineTransaction::Deciding() const
{
    for (auto it = tries.rbegin(); it != tries.rend(); ++it)
        if (it->verdict != LineVerdict::LateBytes)
            return *it;
    return tries.front();
}

void SetLineObserver(LineObserver *observer) { gObserver = observer; }

LineObserver *CurrentLineObserver() { return gObserver; }

void NotifyPortChanged(LinePortEvent event, int portNo, const QString &path)
{
    if (gObserver)
        gObserver->PortChanged(event, portNo, path);
}

double LineClockMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - kProgramStart).count();
}

void SendAndReceive(const QByteArray &frame, QByteArray &reply, int &received, int &attempts, int expectedLength)
{
    SendAndReceive(frame, reply, received, attempts, expectedLength,
                   expectedLength == 2 ? ReplyCheck::Acknowledge : ReplyCheck::Checksum);
}

void SendAndReceive(const QByteArray &frame, QByteArray &reply, int &received, int &attempts, int expectedLength,
                    ReplyCheck check)
{
    LineObserver *const observer = gObserver;
    std::optional<LineTransaction> record;
    const int allowed = attempts < 1 ? 1 : attempts;
    if (observer) {
        record.emplace();
        record->frame = frame;
        record->expected = expectedLength;
        record->allowed = allowed;
    }
    attempts = 0;
    for (;;) {
        const double start = record ? LineClockMs() : 0;
        bool written = false;
        if (SerialPort) {
            SerialPort->PurgeReceive();
            written = SerialPort->Write(frame);
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
        if (record) {
            const LineVerdict verdict = written ? Judge(frame, reply, expectedLength, check) : LineVerdict::PortClosed;
            record->tries.push_back({start, LineClockMs() - start, reply, verdict});
        }
        if (received == expectedLength && attempts > 1) {
            const double drainStart = record ? LineClockMs() : 0;
            QByteArray late;
            DrainLateReplies(expectedLength * (attempts - 1), record ? &late : nullptr);
            if (record && !late.isEmpty())
                record->tries.push_back({drainStart, LineClockMs() - drainStart, late, LineVerdict::LateBytes});
        }
        if (attempts >= allowed || received == expectedLength)
            break;
    }
    if (record)
        Tell(observer, *record);
}

void SendOnly(const QByteArray &frame)
{
    LineObserver *const observer = gObserver;
    const double start = observer ? LineClockMs() : 0;
    bool written = false;
    if (SerialPort) {
        SerialPort->PurgeReceive();
        written = SerialPort->Write(frame);
    }
    qCDebug(lcProtocol) << "send only" << frame.toHex(' ');
    if (observer) {
        LineTransaction record;
        record.frame = frame;
        record.tries.push_back(
            {start, LineClockMs() - start, {}, written ? LineVerdict::SentOnly : LineVerdict::PortClosed});
        Tell(observer, record);
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
