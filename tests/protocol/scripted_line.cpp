#include "scripted_line.h"

#include "sim/board_memory.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

ScriptedLine::ScriptedLine()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0)
        throw std::runtime_error("no pseudo-terminal");
    slavePath_ = QString::fromLocal8Bit(ptsname(master_));
    // Keep the slave open so the master never reads EIO between the component's opens.
    slaveKeep_ = ::open(ptsname(master_), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    tcgetattr(slaveKeep_, &t);
    cfmakeraw(&t);
    tcsetattr(slaveKeep_, TCSANOW, &t);
    if (pipe2(wake_, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe");
    thread_ = std::thread([this] { Run(); });
}

ScriptedLine::~ScriptedLine()
{
    stop_ = true;
    (void)!::write(wake_[1], "x", 1);
    thread_.join();
    ::close(wake_[0]);
    ::close(wake_[1]);
    ::close(slaveKeep_);
    ::close(master_);
}

void ScriptedLine::Script(std::vector<ScriptedReply> replies)
{
    std::lock_guard lock(mutex_);
    script_.assign(replies.begin(), replies.end());
}

std::vector<QByteArray> ScriptedLine::Frames()
{
    std::lock_guard lock(mutex_);
    return frames_;
}

void ScriptedLine::ClearFrames()
{
    std::lock_guard lock(mutex_);
    frames_.clear();
    pending_.clear();
}

bool ScriptedLine::WaitForFrames(size_t n, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return frames_.size() >= n; });
}

void ScriptedLine::Run()
{
    char buffer[512];
    while (!stop_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents)
            return;
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0)
            continue;
        std::vector<ScriptedReply> due;
        {
            std::lock_guard lock(mutex_);
            pending_.append(buffer, n);
            for (;;) {
                while (!pending_.isEmpty() && orvane::sim::FrameLength(uint8_t(pending_[0])) == 0)
                    pending_.remove(0, 1);
                if (pending_.isEmpty())
                    break;
                const int length = orvane::sim::FrameLength(uint8_t(pending_[0]));
                if (pending_.size() < length)
                    break;
                frames_.push_back(pending_.left(length));
                pending_.remove(0, length);
                if (!script_.empty()) {
                    due.push_back(script_.front());
                    script_.pop_front();
                }
            }
        }
        arrived_.notify_all();
        for (const ScriptedReply &reply : due)
            for (const ReplyPiece &piece : reply) {
                if (piece.delayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(piece.delayMs));
                (void)!::write(master_, piece.bytes.constData(), piece.bytes.size());
            }
    }
}
