#include "sim/virtual_boards.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/eventfd.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace orvane::sim {

namespace {

constexpr std::int64_t kByteNs = std::int64_t(kByteTimeUs * 1000 + 0.5);
constexpr std::int64_t kMs = 1000000;
// A blocked writer (nobody reading the slave, its buffer full) drops the reply after this.
constexpr int kWriteStallMs = 1000;

std::int64_t MonotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::vector<std::uint8_t> CheckedIds(const std::vector<std::uint8_t> &ids)
{
    if (ids.empty() || ids.size() > 2)
        throw std::invalid_argument("one or two board IDs are needed");
    if (ids.size() == 2 && ids[0] == ids[1])
        throw std::invalid_argument("the two boards need different IDs");
    return ids;
}

void CheckFault(const Fault &f)
{
    if (f.first == 0 || (f.last != 0 && f.last < f.first))
        throw std::invalid_argument("fault frame range must start at 1 and not run backwards");
    if (f.command && FrameLength(*f.command) == 0)
        throw std::invalid_argument("fault names no command byte");
    if (f.gapMs < 0 || f.splitAt < 0 || f.extraBytes < 1 || f.extraBytes > 4096)
        throw std::invalid_argument("fault gap, split point or extra byte count out of range");
}

}  // namespace

VirtualBoards::VirtualBoards(Options options) : options_(std::move(options)), ids_(CheckedIds(options_.ids))
{
    if (options_.replyDelayMs < 0)
        throw std::invalid_argument("reply delay must not be negative");
    for (const Fault &f : options_.faults) {
        CheckFault(f);
        faults_.push_back({f, 0});
    }
    for (std::uint8_t id : ids_)
        boards_.emplace_back(id, options_.assign);
    freedAt_.resize(boards_.size());
    for (std::size_t i = 0; i < boards_.size(); ++i)
        freedAt_[i] = boards_[i].positions;
    hand_ = options_.hand;

    if (!options_.logPath.empty()) {
        logFile_ = std::fopen(options_.logPath.c_str(), "we");
        if (!logFile_)
            throw std::system_error(errno, std::generic_category(), "open log " + options_.logPath);
    }
    try {
        stopFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (stopFd_ < 0)
            throw std::system_error(errno, std::generic_category(), "eventfd");
        pty_ = OpenPty();
        slavePath_ = pty_.slavePath;
        thread_ = std::thread(&VirtualBoards::Run, this);
    } catch (...) {
        ClosePty(pty_);
        if (stopFd_ >= 0)
            ::close(stopFd_);
        if (logFile_)
            std::fclose(logFile_);
        throw;
    }
}

VirtualBoards::~VirtualBoards() { Stop(); }

void VirtualBoards::Stop()
{
    std::lock_guard lock(stopMutex_);
    if (thread_.joinable()) {
        stopping_ = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] auto n = ::write(stopFd_, &one, sizeof one);
        thread_.join();
    }
    answering_ = false;
    ClosePty(pty_);
    if (stopFd_ >= 0) {
        ::close(stopFd_);
        stopFd_ = -1;
    }
    if (logFile_) {
        std::fclose(logFile_);
        logFile_ = nullptr;
    }
}

BoardMemory *VirtualBoards::FindBoard(std::uint8_t id)
{
    for (BoardMemory &b : boards_)
        if (b.id == id)
            return &b;
    return nullptr;
}

BoardMemory VirtualBoards::Board(std::uint8_t id) const
{
    std::lock_guard lock(boardsMutex_);
    for (const BoardMemory &b : boards_)
        if (b.id == id)
            return b;
    throw std::out_of_range("no virtual board with ID " + std::to_string(id));
}

void VirtualBoards::SetBoard(std::uint8_t id, const BoardMemory &memory)
{
    EditBoard(id, [&](BoardMemory &b) {
        b = memory;
        b.id = id;
    });
}

void VirtualBoards::EditBoard(std::uint8_t id, const std::function<void(BoardMemory &)> &edit)
{
    std::lock_guard lock(boardsMutex_);
    BoardMemory *b = FindBoard(id);
    if (!b)
        throw std::out_of_range("no virtual board with ID " + std::to_string(id));
    edit(*b);
    b->id = id;
    auto &freed = freedAt_[std::size_t(b - boards_.data())];
    for (int k = 0; k < kChannelsPerBoard; ++k)
        if (b->positions[std::size_t(k)] != kValueFree)
            freed[std::size_t(k)] = b->positions[std::size_t(k)];
}

void VirtualBoards::SetHandScript(const HandScript &script)
{
    std::lock_guard lock(boardsMutex_);
    hand_ = script;
    handStartNs_ = -1;
}

void VirtualBoards::HandBeforeExecute(std::size_t board, const Bytes &frame)
{
    if (frame[0] != 0xFD)
        return;
    const BoardMemory &b = boards_[board];
    for (int k = 0; k < kChannelsPerBoard; ++k)
        if (frame[std::size_t(3 + k)] == kValueFree && b.positions[std::size_t(k)] != kValueFree)
            freedAt_[board][std::size_t(k)] = b.positions[std::size_t(k)];
}

void VirtualBoards::HandAfterExecute(std::size_t board, const Bytes &frame, Bytes &reply)
{
    if (hand_.Empty())
        return;
    const BoardMemory &b = boards_[board];
    // A script that has played out plays again, so a second try by hand finds the hands moving.
    if (frame[0] == 0xF1 && frame[2] == kModeTeaching
        && (handStartNs_ < 0 || MonotonicNs() - handStartNs_ > hand_.EndMs() * kMs))
        handStartNs_ = MonotonicNs();
    if (frame[0] != 0xFC || b.mode != kModeTeaching || handStartNs_ < 0)
        return;
    const std::int64_t ms = (MonotonicNs() - handStartNs_) / kMs;
    for (int k = 0; k < kChannelsPerBoard; ++k) {
        if (b.positions[std::size_t(k)] != kValueFree)
            continue;
        const int channel = int(board) * kChannelsPerBoard + k + 1;
        reply[std::size_t(1 + k)] =
            hand_.Moves(channel) ? std::uint8_t(hand_.At(channel, ms)) : freedAt_[board][std::size_t(k)];
    }
    reply.back() = Checksum(std::span(reply).first(reply.size() - 1));
}

void VirtualBoards::AddFault(const Fault &fault)
{
    CheckFault(fault);
    std::lock_guard lock(faultsMutex_);
    faults_.push_back({fault, 0});
}

void VirtualBoards::ClearFaults()
{
    std::lock_guard lock(faultsMutex_);
    faults_.clear();
}

std::vector<Bytes> VirtualBoards::Frames() const
{
    std::lock_guard lock(framesMutex_);
    return frames_;
}

void VirtualBoards::ClearFrames()
{
    std::lock_guard lock(framesMutex_);
    frames_.clear();
}

bool VirtualBoards::WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(framesMutex_);
    return framesChanged_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
}

std::string VirtualBoards::DumpText() const
{
    std::vector<BoardMemory> copy;
    {
        std::lock_guard lock(boardsMutex_);
        copy = boards_;
    }
    return FormatDump(copy);
}

bool VirtualBoards::Dump(const std::string &path, std::string *error) const
{
    const std::string text = DumpText();
    std::string tmp = path + ".XXXXXX";
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    auto failed = [&](const char *what) {
        const int err = errno;
        if (error)
            *error = std::string(what) + " " + path + ": " + std::strerror(err);
        return false;
    };
    if (fd < 0)
        return failed("cannot create a temporary file for");
    fchmod(fd, 0644);
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed("cannot write");
            ::close(fd);
            ::unlink(tmp.c_str());
            return false;
        }
        done += std::size_t(n);
    }
    if (::close(fd) != 0) {
        failed("cannot write");
        ::unlink(tmp.c_str());
        return false;
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        failed("cannot replace");
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

void VirtualBoards::Run()
{
    // Default timer slack (50 us) would smear the 86.8 us byte spacing.
    prctl(PR_SET_TIMERSLACK, 1UL);

    std::vector<RxByte> rx;
    std::uint8_t buf[4096];
    while (!stopping_) {
        pollfd fds[2] = {{pty_.master, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents)
            break;
        if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
            continue;
        const ssize_t n = ::read(pty_.master, buf, sizeof buf);
        if (n > 0) {
            const std::int64_t now = MonotonicNs();
            for (ssize_t i = 0; i < n; ++i) {
                std::int64_t arrival = now;
                if (options_.paced) {
                    arrival = std::max(now, lastArrivalNs_) + kByteNs;
                    lastArrivalNs_ = arrival;
                }
                rx.push_back({buf[i], arrival});
            }
            if (!HandleInput(rx))
                break;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        } else {
            // We hold a slave open, so this should not happen; do not spin if it does.
            pollfd stopOnly{stopFd_, POLLIN, 0};
            ::poll(&stopOnly, 1, 10);
        }
    }
}

bool VirtualBoards::HandleInput(std::vector<RxByte> &rx)
{
    std::size_t pos = 0;
    bool keepGoing = true;
    while (pos < rx.size()) {
        const std::size_t len = FrameLength(rx[pos].value);
        if (len == 0) {
            ++pos;
            continue;
        }
        if (rx.size() - pos < len)
            break;
        if (options_.paced && !WaitUntil(rx[pos + len - 1].arrivalNs)) {
            keepGoing = false;
            break;
        }
        if (options_.paced)
            AddLateness(rx[pos + len - 1].arrivalNs);
        Bytes frame(len);
        for (std::size_t i = 0; i < len; ++i)
            frame[i] = rx[pos + i].value;
        LogFrame(frame);
        if (options_.vanishAfterFrames != 0 && ++framesSeen_ >= options_.vanishAfterFrames) {
            answering_ = false;
            ClosePty(pty_);
            keepGoing = false;
            break;
        }
        if (Checksum(std::span(frame).first(len - 1)) != frame.back()) {
            // Give up only the first byte: a frame that lost bytes may have swallowed the next one's start.
            ++pos;
            continue;
        }
        pos += len;
        if (!AnswerFrame(frame)) {
            keepGoing = false;
            break;
        }
    }
    rx.erase(rx.begin(), rx.begin() + std::ptrdiff_t(pos));
    return keepGoing;
}

bool VirtualBoards::AnswerFrame(const Bytes &frame)
{
    ReplyPlan plan;
    {
        std::lock_guard lock(boardsMutex_);
        BoardMemory *b = FindBoard(frame[1]);
        if (!b)
            return true;
        const std::size_t index = std::size_t(b - boards_.data());
        HandBeforeExecute(index, frame);
        auto reply = b->Execute(frame);
        if (!reply)
            return true;
        HandAfterExecute(index, frame, *reply);
        plan.bytes = std::move(*reply);
    }
    {
        std::lock_guard lock(faultsMutex_);
        for (ActiveFault &af : faults_) {
            if (af.fault.command && *af.fault.command != frame[0])
                continue;
            if (af.fault.hits(++af.seen))
                ApplyFault(af.fault, plan);
        }
    }
    if (!plan.send)
        return true;
    const int delayMs = options_.replyDelayMs + plan.delayMs;
    if (delayMs > 0 && !WaitUntil(MonotonicNs() + delayMs * kMs))
        return false;
    return SendReply(plan);
}

bool VirtualBoards::SendReply(const ReplyPlan &plan)
{
    if (plan.splitAt == 0 || plan.splitAt >= plan.bytes.size())
        return SendBytes(plan.bytes.data(), plan.bytes.size());
    if (!SendBytes(plan.bytes.data(), plan.splitAt))
        return false;
    if (!WaitUntil(MonotonicNs() + plan.gapMs * kMs))
        return false;
    return SendBytes(plan.bytes.data() + plan.splitAt, plan.bytes.size() - plan.splitAt);
}

bool VirtualBoards::SendBytes(const std::uint8_t *data, std::size_t size)
{
    if (!options_.paced)
        return WriteAll(data, size);
    // A byte is handed over when it has fully crossed the line.
    const std::int64_t start = std::max(MonotonicNs(), txFreeNs_);
    for (std::size_t i = 0; i < size; ++i) {
        if (!WaitUntil(start + std::int64_t(i + 1) * kByteNs))
            return false;
        if (!WriteAll(data + i, 1))
            return false;
    }
    txFreeNs_ = start + std::int64_t(size) * kByteNs;
    AddLateness(txFreeNs_);
    return true;
}

bool VirtualBoards::WriteAll(const std::uint8_t *data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(pty_.master, data + done, size - done);
        if (n > 0) {
            done += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd fds[2] = {{pty_.master, POLLOUT, 0}, {stopFd_, POLLIN, 0}};
            const int rc = ::poll(fds, 2, kWriteStallMs);
            if (fds[1].revents)
                return false;
            if (rc == 0)
                return true;  // nobody drains the slave: the reply is lost, as on a dead line
            continue;
        }
        return true;  // the line is broken; the next read will tell
    }
    return true;
}

bool VirtualBoards::WaitUntil(std::int64_t deadlineNs)
{
    for (;;) {
        if (stopping_)
            return false;
        const std::int64_t remaining = deadlineNs - MonotonicNs();
        if (remaining <= 0)
            return true;
        if (remaining > 2 * kMs) {
            pollfd stopOnly{stopFd_, POLLIN, 0};
            ::poll(&stopOnly, 1, int((remaining - kMs) / kMs));
            continue;
        }
        if (remaining > 60000) {
            const std::int64_t wake = deadlineNs - 40000;
            timespec ts{time_t(wake / 1000000000), long(wake % 1000000000)};
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
            continue;
        }
        // The last few microseconds: sleeping would overshoot.
        while (MonotonicNs() < deadlineNs) {
        }
        return true;
    }
}

void VirtualBoards::AddLateness(std::int64_t dueNs)
{
    const std::int64_t late = MonotonicNs() - dueNs;
    if (late > 0)
        latenessNs_ += late;
}

void VirtualBoards::LogFrame(const Bytes &frame)
{
    if (options_.keepFrames) {
        {
            std::lock_guard lock(framesMutex_);
            frames_.push_back(frame);
        }
        framesChanged_.notify_all();
    }
    if (logFile_) {
        for (std::size_t i = 0; i < frame.size(); ++i)
            std::fprintf(logFile_, i ? " %02X" : "%02X", unsigned(frame[i]));
        std::fputc('\n', logFile_);
        std::fflush(logFile_);
    }
}

}  // namespace orvane::sim
