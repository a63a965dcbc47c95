#include "serial/comm_threads.h"

#include "serial/comm_x.h"
#include "serial/port_linux.h"
#include "serial/serial_log.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace serial_detail {

namespace {

int MakeWakeFd()
{
    const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    return fd;
}

void SignalFd(int fd)
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
}

void ClearFd(int fd)
{
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd, &count, sizeof count);
}

timespec Until(Clock::time_point deadline)
{
    const auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

int Ring::SetCapacity(int capacity)
{
    capacity = std::max(0, capacity);
    std::vector<uint8_t> fresh(static_cast<size_t>(capacity));
    const int keep = std::min(size_, capacity);
    const int dropped = size_ - keep;
    const int oldCapacity = Capacity();
    for (int i = 0; i < keep; ++i)
        fresh[static_cast<size_t>(i)] = data_[static_cast<size_t>((head_ + dropped + i) % oldCapacity)];
    data_.swap(fresh);
    head_ = 0;
    size_ = keep;
    return dropped;
}

int Ring::Push(const uint8_t *bytes, int count)
{
    const int capacity = Capacity();
    const int n = std::min(count, capacity - size_);
    int tail = capacity > 0 ? (head_ + size_) % capacity : 0;
    int done = 0;
    while (done < n) {
        const int run = std::min(n - done, capacity - tail);
        std::memcpy(data_.data() + tail, bytes + done, static_cast<size_t>(run));
        done += run;
        tail = (tail + run) % capacity;
    }
    size_ += n;
    return count - n;
}

int Ring::Pop(uint8_t *out, int count)
{
    const int capacity = Capacity();
    const int n = std::min(count, size_);
    int done = 0;
    while (done < n) {
        const int run = std::min(n - done, capacity - head_);
        std::memcpy(out + done, data_.data() + head_, static_cast<size_t>(run));
        done += run;
        head_ = (head_ + run) % capacity;
    }
    size_ -= n;
    if (size_ == 0)
        head_ = 0;
    return n;
}

MarkDecoder::Result MarkDecoder::Decode(const uint8_t *in, int count, uint8_t *out)
{
    Result r;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = in[i];
        switch (state_) {
        case 0:
            if (b == 0xFF)
                state_ = 1;
            else
                out[r.bytes++] = b;
            break;
        case 1:
            if (b == 0xFF) {
                out[r.bytes++] = 0xFF;
                state_ = 0;
            } else if (b == 0x00) {
                state_ = 2;
            } else {
                // Not a mark the line discipline makes; keep both bytes rather than lose one.
                out[r.bytes++] = 0xFF;
                out[r.bytes++] = b;
                state_ = 0;
            }
            break;
        default:
            if (b == 0x00) {
                ++r.breaks;
            } else {
                ++r.badBytes;
                out[r.bytes++] = b;  // delivered as received; the error is reported beside it
            }
            state_ = 0;
            break;
        }
    }
    return r;
}

// Transmit thread

TransmitThread::TransmitThread(Port &port, int timeOutMs, int bitRate, int flowCtrl)
    : port_(port), wakeFd_(MakeWakeFd()), timeOutMs_(timeOutMs), perByteDelayMs_(PerByteDelayMs(bitRate)),
      flowCtrl_(flowCtrl)
{}

TransmitThread::~TransmitThread()
{
    Stop();
    ::close(wakeFd_);
}

int TransmitThread::PerByteDelayMs(int bitRate)
{
    const int charsPerSecond = bitRate / 10;
    return charsPerSecond > 0 ? 1000 / charsPerSecond + 1 : 1000;
}

void TransmitThread::Start()
{
    thread_ = std::thread([this] { Run(); });
}

void TransmitThread::Stop()
{
    {
        std::lock_guard lock(queueLock_);
        terminated_.store(true);
    }
    queueCv_.notify_all();
    Wake();
    if (thread_.joinable())
        thread_.join();
}

bool TransmitThread::TryEnqueue(const char *data, int size)
{
    {
        std::lock_guard lock(queueLock_);
        if (queuedChunks_ >= kMaxChunks)
            return false;
        queue_.emplace_back(data, data + size);
        queuedBytes_ += size;
        ++queuedChunks_;
    }
    queueCv_.notify_one();
    return true;
}

int TransmitThread::QueuedBytes() const
{
    std::lock_guard lock(queueLock_);
    return queuedBytes_;
}

void TransmitThread::SetPurging(bool on)
{
    purging_.store(on);
    if (on)
        Wake();
}

void TransmitThread::PurgeOutput()
{
    std::lock_guard lock(transmitLock_);
    port_.PurgeOutput();
}

void TransmitThread::Wake() { SignalFd(wakeFd_); }

void TransmitThread::DrainWake() { ClearFd(wakeFd_); }

bool TransmitThread::Pause(Clock::time_point until)
{
    while (!Interrupted()) {
        if (Clock::now() >= until)
            return false;
        pollfd fd{wakeFd_, POLLIN, 0};
        const timespec ts = Until(until);
        if (ppoll(&fd, 1, &ts, nullptr) > 0)
            DrainWake();
    }
    return true;
}

void TransmitThread::Run()
{
    std::unique_lock lock(queueLock_);
    for (;;) {
        queueCv_.wait(lock, [this] { return !queue_.empty() || terminated_.load(); });
        if (terminated_.load())
            break;
        bool sent = false;
        while (!queue_.empty()) {
            std::vector<char> chunk = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            if (!Interrupted() && !port_.IsLost()) {
                if (!sent)
                    BeginHalfDuplex();
                sent = true;
                Send(chunk);
            }
            lock.lock();
            queuedBytes_ = std::max(0, queuedBytes_ - static_cast<int>(chunk.size()));
            if (queuedChunks_ > 0)
                --queuedChunks_;
        }
        if (sent) {
            lock.unlock();
            EndHalfDuplex();
            lock.lock();
        }
    }
}

void TransmitThread::Send(const std::vector<char> &chunk)
{
    const char *p = chunk.data();
    size_t left = chunk.size();
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeOutMs_.load()));
    while (left > 0) {
        if (Interrupted())
            return;
        ssize_t n;
        int error;
        {
            std::lock_guard lock(transmitLock_);
            n = port_.WriteSome(p, left);
            error = errno;
        }
        if (n > 0) {
            if (lcSerial().isDebugEnabled())
                qCDebug(lcSerial) << "write" << QByteArray(p, static_cast<int>(n)).toHex(' ');
            p += n;
            left -= static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && error == EINTR)
            continue;
        if (n < 0 && error != EAGAIN) {
            port_.MarkLost();
            qCWarning(lcSerial) << "write failed, device lost:" << std::strerror(error);
            return;
        }
        if (Clock::now() >= deadline) {
            // What the kernel still holds would go out late, after the caller has given up on it.
            PurgeOutput();
            qCWarning(lcSerial) << "write time-out:" << chunk.size() - left << "of" << chunk.size() << "bytes sent";
            return;
        }
        pollfd fds[2] = {{port_.Fd(), POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
        const timespec ts = Until(deadline);
        if (ppoll(fds, 2, &ts, nullptr) < 0 && errno != EINTR) {
            qCWarning(lcSerial) << "poll failed:" << std::strerror(errno);
            return;
        }
        if (fds[1].revents)
            DrainWake();
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            port_.MarkLost();
            qCWarning(lcSerial) << "device hung up while writing";
            return;
        }
    }
}

void TransmitThread::BeginHalfDuplex()
{
    const int flow = flowCtrl_.load();
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    if (Pause(Clock::now() + std::chrono::milliseconds(50)))
        return;
    port_.SetRts(flow == cfcHalfHigh);
    Pause(Clock::now() + std::chrono::milliseconds(perByteDelayMs_.load()));
}

void TransmitThread::EndHalfDuplex()
{
    const int flow = flowCtrl_.load();
    if (flow != cfcHalfHigh && flow != cfcHalfLow)
        return;
    // write() returns once the kernel has the bytes; the line driver may only turn round after
    // the last one has left.
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(0, timeOutMs_.load()));
    bool interrupted = false;
    while (!interrupted && port_.BytesInOutput() > 0 && Clock::now() < deadline)
        interrupted = Pause(std::min(deadline, Clock::now() + std::chrono::milliseconds(1)));
    if (!interrupted)
        Pause(Clock::now() + std::chrono::milliseconds(perByteDelayMs_.load()));
    port_.SetRts(flow != cfcHalfHigh);
}

// Receive thread

ReceiveThread::ReceiveThread(Port &port, int capacity, std::function<void()> notifyOwner)
    : port_(port), wakeFd_(MakeWakeFd()), notifyOwner_(std::move(notifyOwner)), ring_(capacity), raw_(4096),
      decoded_(4097)
{}

ReceiveThread::~ReceiveThread()
{
    Stop();
    ::close(wakeFd_);
}

void ReceiveThread::Start()
{
    thread_ = std::thread([this] { Run(); });
}

void ReceiveThread::Stop()
{
    terminated_.store(true);
    Wake();
    if (thread_.joinable())
        thread_.join();
}

void ReceiveThread::Wake() { SignalFd(wakeFd_); }

void ReceiveThread::Run()
{
    ErrorCounters counters;
    bool haveCounters = port_.ReadErrorCounters(counters);
    for (;;) {
        bool watchDevice;
        {
            std::lock_guard lock(lock_);
            watchDevice = !lost_ && !holding_;
        }
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {port_.Fd(), POLLIN, 0}};
        if (poll(fds, watchDevice ? 2 : 1, -1) < 0) {
            if (errno != EINTR) {
                qCWarning(lcSerial) << "poll failed:" << std::strerror(errno);
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            continue;
        }
        if (fds[0].revents)
            ClearFd(wakeFd_);
        if (terminated_.load())
            break;
        if (!watchDevice || fds[1].revents == 0)
            continue;

        bool received = false;
        uint32_t errors = 0;
        int breaks = 0;
        bool notify = false;
        bool alive;
        {
            std::lock_guard lock(lock_);
            alive = Drain(received, errors, breaks);
            // A hung-up tty polls readable with nothing to read: stop watching it, or this spins.
            if (alive && !received && (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)))
                alive = false;
            if (haveCounters) {
                ErrorCounters now;
                if (port_.ReadErrorCounters(now)) {
                    if (now.overrun != counters.overrun || now.bufOverrun != counters.bufOverrun)
                        errors |= kOverrun;
                    counters = now;
                }
            }
            if (!alive) {
                lost_ = true;
                port_.MarkLost();
            }
            errors &= kLineErrors;
            readErrors_ |= errors;
            pending_.received = pending_.received || received;
            pending_.breaks += breaks;
            pending_.errors |= errors;
            // The owner learns of a lost device through the same call.
            if ((received || breaks > 0 || errors != 0 || !alive) && !notified_) {
                notified_ = true;
                notify = true;
            }
        }
        dataCv_.notify_all();
        if (!alive)
            qCWarning(lcSerial) << "device lost";
        if (errors)
            qCDebug(lcSerial) << "line errors" << errors;
        if (notify && notifyOwner_)
            notifyOwner_();
    }
}

bool ReceiveThread::Drain(bool &received, uint32_t &errors, int &breaks)
{
    for (int pass = 0; pass < 16; ++pass) {
        size_t want = raw_.size();
        if (holdWhenFull_) {
            const int room = ring_.Capacity() - ring_.Size();
            if (room <= 0) {
                holding_ = true;
                return true;
            }
            want = std::min(want, static_cast<size_t>(room));
        }
        const ssize_t n = port_.ReadSome(raw_.data(), want);
        if (n > 0) {
            const MarkDecoder::Result r = decoder_.Decode(raw_.data(), static_cast<int>(n), decoded_.data());
            if (r.bytes > 0) {
                if (ring_.Push(decoded_.data(), r.bytes) > 0)
                    errors |= kOverrun;
                received = true;
            }
            breaks += r.breaks;
            if (r.badBytes > 0)
                errors |= parityEnabled_.load() ? kParity : kFraming;
            if (static_cast<size_t>(n) < want)
                return true;
            continue;
        }
        if (n == 0)
            return true;  // with VMIN = VTIME = 0 an empty queue reads 0; a hang-up shows in poll
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN)
            return true;
        return false;  // EIO and the like: the device is gone
    }
    return true;
}

int ReceiveThread::Collect(void *buffer, int count, Clock::time_point until)
{
    std::unique_lock lock(lock_);
    auto ready = [this] { return ring_.Size() > 0 || readErrors_ != 0 || lost_ || port_.IsLost(); };
    if (!ready())
        dataCv_.wait_until(lock, until, ready);
    if (readErrors_ != 0) {
        readErrors_ = 0;
        return -1;
    }
    if (ring_.Size() > 0) {
        const int n = ring_.Pop(static_cast<uint8_t *>(buffer), count);
        if (holding_) {
            holding_ = false;
            Wake();
        }
        return n;
    }
    return lost_ || port_.IsLost() ? -1 : 0;
}

void ReceiveThread::Purge()
{
    std::lock_guard lock(lock_);
    port_.PurgeInput();
    ring_.Clear();
    decoder_.Reset();
    readErrors_ = 0;
    if (holding_) {
        holding_ = false;
        Wake();
    }
}

int ReceiveThread::Count()
{
    std::lock_guard lock(lock_);
    return ring_.Size() + port_.BytesInInput();
}

void ReceiveThread::SetCapacity(int capacity)
{
    std::lock_guard lock(lock_);
    if (ring_.SetCapacity(capacity) > 0)
        readErrors_ |= kOverrun;
    if (holding_ && ring_.Size() < ring_.Capacity()) {
        holding_ = false;
        Wake();
    }
}

void ReceiveThread::SetHoldWhenFull(bool on)
{
    std::lock_guard lock(lock_);
    holdWhenFull_ = on;
    if (!on && holding_) {
        holding_ = false;
        Wake();
    }
}

ReceiveThread::Events ReceiveThread::TakeEvents()
{
    std::lock_guard lock(lock_);
    Events e = pending_;
    pending_ = Events{};
    notified_ = false;
    return e;
}

}  // namespace serial_detail
