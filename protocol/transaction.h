#pragma once
// Frames, checksum and the send-and-retry transaction over the one serial port.

#include <QByteArray>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcProtocol)

constexpr int RetryCount = 10;      // attempts the dialogs pass to every command
constexpr int MainRetryCount = 20;  // attempts the main window passes

// Appends (sum of all bytes) AND 0x7F.
void AppendChecksum(QByteArray &frame);
uint8_t Checksum(const char *data, int count);

// How the command will check the reply. The transaction only collects bytes; a line observer is told
// what the command makes of them.
enum class ReplyCheck {
    Acknowledge,    // ID, 0x06
    Checksum,       // last byte the checksum of the others; byte 0 not examined
    ChecksumAndId,  // and byte 0 the ID that was sent
};

// One transaction: purge, send, collect up to expectedLength bytes until a 30 ms silence, retry.
// attempts: allowed on entry (below 1 counts as 1), made on return.
// Without a check given, a reply of 2 bytes is an acknowledge and any other a checksummed one.
void SendAndReceive(const QByteArray &frame, QByteArray &reply, int &received, int &attempts, int expectedLength);
void SendAndReceive(const QByteArray &frame, QByteArray &reply, int &received, int &attempts, int expectedLength,
                    ReplyCheck check);
// A frame that no board answers: purge, send, done.
void SendOnly(const QByteArray &frame);

// Reply checks shared by the commands.
bool AcknowledgeValid(const QByteArray &reply, int received, uint8_t id);
// On the full length: replaces the last byte by the recomputed checksum and reports whether they matched.
bool ChecksumValid(QByteArray &reply, int received, int length);
