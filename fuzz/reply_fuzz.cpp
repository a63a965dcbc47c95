// Reply checks on any bytes a board may send: byte 0 picks the count received, byte 1 the expected length.
#include "protocol/transaction.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int received = data[0] % 20;
    const int length = 1 + data[1] % 19;  // every command expects at least one byte
    QByteArray reply(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));
    (void)AcknowledgeValid(reply, received, data[0]);
    const QByteArray before = reply;
    const bool valid = ChecksumValid(reply, received, length);
    // A valid reply keeps its bytes; the checksum is the one the board sent.
    if (valid && reply != before)
        __builtin_trap();
    if (valid && length > 0 && Checksum(before.constData(), length - 1) != uint8_t(before[length - 1]))
        __builtin_trap();
    return 0;
}
