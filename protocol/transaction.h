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

// One transaction: purge, send, collect up to expectedLength bytes until a 30 ms silence, retry.
// attempts: allowed on entry (below 1 counts as 1), made on return.
void SendAndReceive(const QByteArray &frame, QByteArray &reply, int &received, int &attempts, int expectedLength);

// Reply checks shared by the commands.
bool AcknowledgeValid(const QByteArray &reply, int received, uint8_t id);
// On the full length: replaces the last byte by the recomputed checksum and reports whether they matched.
bool ChecksumValid(QByteArray &reply, int received, int length);
