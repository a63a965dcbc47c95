#include "pty_pair.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <system_error>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const char *what) { throw std::system_error(errno, std::generic_category(), what); }

int MsLeft(std::chrono::steady_clock::time_point until)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtyPair::PtyPair()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0)
        Fail("posix_openpt");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0)
        Fail("unlockpt");
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0)
        Fail("ptsname_r");
    path_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0)
        Fail("open slave");
}

PtyPair::~PtyPair()
{
    if (slave_ >= 0)
        ::close(slave_);
    CloseMaster();
}

void PtyPair::CloseMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

void PtyPair::Send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            Fail("write master");
        } else {
            pollfd p{master_, POLLOUT, 0};
            poll(&p, 1, 100);
        }
    }
}

QByteArray PtyPair::Receive(int count, int timeoutMs)
{
    QByteArray got;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    char buf[4096];
    while (got.size() < count) {
        const ssize_t n =
            ::read(master_, buf, sizeof buf < size_t(count - got.size()) ? sizeof buf : size_t(count - got.size()));
        if (n > 0) {
            got.append(buf, n);
            continue;
        }
        const int left = MsLeft(until);
        if (left == 0)
            break;
        pollfd p{master_, POLLIN, 0};
        poll(&p, 1, left);
    }
    return got;
}

QByteArray PtyPair::ReceiveUntilQuiet(int quietMs)
{
    QByteArray got;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            got.append(buf, n);
            continue;
        }
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, quietMs) <= 0)
            return got;
    }
}

double ProcessCpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}
