#include "pty_client.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace simtest {

Bytes frame(Bytes bytes)
{
    unsigned sum = 0;
    for (auto b : bytes)
        sum += b;
    bytes.push_back(std::uint8_t(sum & 0x7F));
    return bytes;
}

std::string hex(const Bytes &bytes)
{
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", unsigned(bytes[i]));
        out += buf;
    }
    return out;
}

PtyClient::PtyClient(const std::string &path, bool makeRaw)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        ADD_FAILURE() << "cannot open " << path << ": " << std::strerror(errno);
        return;
    }
    if (makeRaw) {
        termios tio{};
        tcgetattr(fd_, &tio);
        cfmakeraw(&tio);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        tcsetattr(fd_, TCSANOW, &tio);
    }
    tcflush(fd_, TCIOFLUSH);
}

PtyClient::~PtyClient() { close(); }

void PtyClient::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void PtyClient::send(const Bytes &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd_, POLLOUT, 0};
            ::poll(&p, 1, 100);
            continue;
        }
        ASSERT_GT(n, 0) << "write: " << std::strerror(errno);
        done += std::size_t(n);
    }
}

Bytes PtyClient::read(std::size_t count, std::chrono::milliseconds timeout)
{
    Bytes out;
    const auto deadline = Clock::now() + timeout;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() < 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, int(left.count()) + 1) <= 0 || !(p.revents & POLLIN))
            break;
        std::uint8_t buf[256];
        const ssize_t n = ::read(fd_, buf, std::min(sizeof buf, count - out.size()));
        if (n <= 0)
            break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

Bytes PtyClient::readUntilQuiet(std::chrono::milliseconds quiet)
{
    Bytes out;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, int(quiet.count())) <= 0 || !(p.revents & POLLIN))
            return out;
        std::uint8_t buf[256];
        const ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0)
            return out;
        out.insert(out.end(), buf, buf + n);
    }
}

Bytes PtyClient::ask(const Bytes &request, std::size_t count)
{
    send(request);
    return read(count);
}

void PtyClient::purge() { tcflush(fd_, TCIFLUSH); }

}  // namespace simtest
