#pragma once
// How far above its starting size a piece of work drives a process's resident memory, and files of
// chosen shapes to drive it with. The work runs in a child process whose peak is reset first, so that
// nothing else the process did counts.

#include "protocol/board_facts.h"
#include "sanitized.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A sanitizer's shadow memory would be counted as the program's.
#define ORVANE_MEMORY_IS_MEASURED (!ORVANE_TEST_SANITIZED)

inline long long ProcStatusBytes(const char *key)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long long kb = -1;
    const size_t n = strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (strncmp(line, key, n) == 0) {
            kb = std::atoll(line + n);
            break;
        }
    }
    std::fclose(f);
    return kb < 0 ? -1 : kb * 1024;
}

// Bytes the peak resident size rose above the size at the start; -1 when it cannot be told, -2 when
// the work said it went wrong.
inline long long PeakGrowthBytes(const std::function<bool()> &work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        long long growth = -1;
        if (FILE *reset = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", reset);  // peak resident size := current
            std::fclose(reset);
            const long long before = ProcStatusBytes("VmRSS:");
            const bool right = work();
            const long long peak = ProcStatusBytes("VmHWM:");
            if (!right)
                growth = -2;
            else if (before >= 0 && peak >= 0)
                growth = peak - before;
        }
        const bool written = ::write(fds[1], &growth, sizeof growth) == sizeof growth;
        _exit(written ? 0 : 1);
    }
    ::close(fds[1]);
    long long growth = -1;
    if (pid < 0 || ::read(fds[0], &growth, sizeof growth) != sizeof growth)
        growth = -1;
    ::close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return growth;
}

// The bound every reader keeps: four times the file plus 50 MB.
inline long long ReaderMemoryBound(qint64 fileBytes) { return 4 * fileBytes + 50LL * 1024 * 1024; }

// The part of a scenario file before its rows: every motion slot named, then the rows' header.
inline QByteArray ScenarioFileHead()
{
    QByteArray head = "\"MOTION_NAME\",\"COUNT\"\r\n";
    for (int k = 0; k < orvane::kMotionSlotCount; ++k)
        head += "walk" + QByteArray::number(k) + ",5\r\n";
    return head + "\"MOTION_NUMBER\",\"FILE_NAME\"\r\n";
}

// `line` repeated until the file holds at least `bytes` after `head`; false when it cannot be written.
inline bool WriteRepeated(const QString &path, const QByteArray &head, const QByteArray &line, qint64 bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(head) != head.size())
        return false;
    QByteArray block;
    while (block.size() < 1 << 20)
        block += line;
    for (qint64 written = head.size(); written < bytes; written += block.size())
        if (f.write(block) != block.size())
            return false;
    return true;
}

// `line` up to its last character, then each time a number of its own and the last character: no two lines
// alike, until the file holds at least `bytes` after `head`.
inline bool WriteNumbered(const QString &path, const QByteArray &head, const QByteArray &line, qint64 bytes)
{
    QFile f(path);
    if (line.isEmpty() || !f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(head) != head.size())
        return false;
    const QByteArray start = line.chopped(1);
    const char end = line.back();
    QByteArray block;
    qint64 written = head.size();
    for (qint64 n = 0; written < bytes; ++n) {
        block += start + QByteArray::number(n) + end;
        if (block.size() >= 1 << 20 || written + block.size() >= bytes) {
            if (f.write(block) != block.size())
                return false;
            written += block.size();
            block.clear();
        }
    }
    return true;
}
