#pragma once
// The transmit and receive threads of TCommX and what they share with the component's thread.
//
// TransmitThread: the component's thread calls TryEnqueue, QueuedBytes, SetPurging, PurgeOutput and
//   the Set* refreshers; the thread itself only takes chunks and writes them.
// ReceiveThread: the thread reads the device into a ring; the component's thread calls Collect,
//   Purge, Count, SetCapacity, SetHoldWhenFull, SetParityEnabled and TakeEvents.
// Both are stopped and joined by the component before the port is closed.

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace serial_detail {

struct Port;

using Clock = std::chrono::steady_clock;

enum ErrorBits : uint32_t { kOverrun = 2, kParity = 4, kFraming = 8, kLineErrors = 14 };

// Fixed-size byte ring.
class Ring {
public:
    explicit Ring(int capacity = 0) { SetCapacity(capacity); }
    int Capacity() const { return static_cast<int>(data_.size()); }
    int Size() const { return size_; }
    // Keeps the newest bytes that fit; returns the number of bytes dropped.
    int SetCapacity(int capacity);
    // Appends what fits; returns the number of bytes that did not.
    int Push(const uint8_t *bytes, int count);
    int Pop(uint8_t *out, int count);
    void Clear() { head_ = size_ = 0; }

private:
    std::vector<uint8_t> data_;
    int head_ = 0;
    int size_ = 0;
};

// Undoes the in-band marking of the line discipline (PARMRK): \377 \377 is a data 0xFF,
// \377 \0 \0 a break, \377 \0 c a byte c received with a parity or framing error. A mark may be
// split across reads, so the state carries over.
class MarkDecoder {
public:
    struct Result {
        int bytes = 0;  // decoded data bytes written to out
        int breaks = 0;
        int badBytes = 0;  // bytes that came with a parity or framing error
    };
    // out must hold count + 1 bytes.
    Result Decode(const uint8_t *in, int count, uint8_t *out);
    void Reset() { state_ = 0; }

private:
    int state_ = 0;
};

class TransmitThread {
public:
    static constexpr int kMaxChunks = 32;

    TransmitThread(Port &port, int timeOutMs, int bitRate, int flowCtrl);
    ~TransmitThread();
    TransmitThread(const TransmitThread &) = delete;
    TransmitThread &operator=(const TransmitThread &) = delete;

    void Start();
    void Stop();  // marks it terminated, wakes it and joins

    // Queues a copy of the bytes unless kMaxChunks chunks are already waiting.
    bool TryEnqueue(const char *data, int size);
    int QueuedBytes() const;
    // While set, queued chunks are dropped and a write in progress gives up.
    void SetPurging(bool on);
    void PurgeOutput();  // under the transmit lock, so never in the middle of a write

    void SetTimeOut(int ms) { timeOutMs_.store(ms); }
    void SetBitRate(int bitRate) { perByteDelayMs_.store(PerByteDelayMs(bitRate)); }
    void SetFlowCtrl(int flowCtrl) { flowCtrl_.store(flowCtrl); }
    static int PerByteDelayMs(int bitRate);

private:
    void Run();
    void Send(const std::vector<char> &chunk);
    void BeginHalfDuplex();
    void EndHalfDuplex();
    bool Interrupted() const { return purging_.load() || terminated_.load(); }
    // Sleeps until the deadline or a wake; true when woken by a purge or termination.
    bool Pause(Clock::time_point until);
    void Wake();
    void DrainWake();

    Port &port_;
    int wakeFd_ = -1;
    std::thread thread_;

    mutable std::mutex queueLock_;
    std::condition_variable queueCv_;
    std::deque<std::vector<char>> queue_;
    int queuedBytes_ = 0;
    int queuedChunks_ = 0;

    std::mutex transmitLock_;
    std::atomic<bool> purging_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<int> timeOutMs_;
    std::atomic<int> perByteDelayMs_;
    std::atomic<int> flowCtrl_;
};

class ReceiveThread {
public:
    struct Events {
        bool received = false;
        int breaks = 0;
        uint32_t errors = 0;
    };

    // notifyOwner is called on the receive thread when events become pending (or the device is lost) and none were
    // pending before; the owner then calls TakeEvents on its own thread.
    ReceiveThread(Port &port, int capacity, std::function<void()> notifyOwner);
    ~ReceiveThread();
    ReceiveThread(const ReceiveThread &) = delete;
    ReceiveThread &operator=(const ReceiveThread &) = delete;

    void Start();
    void Stop();

    // Waits until bytes, a line error or the loss of the device, or until the time given.
    // Returns the number of bytes taken, 0 when none came, -1 for a line error or a lost device.
    int Collect(void *buffer, int count, Clock::time_point until);
    void Purge();  // the kernel's input queue and the ring; forgets pending line errors
    int Count();   // ring plus the kernel's input queue
    void SetCapacity(int capacity);
    // With flow control on, a full ring stops reading so that the kernel holds the peer back;
    // without it, bytes that do not fit are dropped and reported as an overrun.
    void SetHoldWhenFull(bool on);
    void SetParityEnabled(bool on) { parityEnabled_.store(on); }
    Events TakeEvents();

private:
    void Run();
    // Reads what the device has into the ring; caller holds lock_. Returns false on hang-up.
    bool Drain(bool &received, uint32_t &errors, int &breaks);
    void Wake();

    Port &port_;
    int wakeFd_ = -1;
    std::thread thread_;
    std::function<void()> notifyOwner_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> parityEnabled_{false};

    std::mutex lock_;  // guards everything below; held by the thread around each read()
    std::condition_variable dataCv_;
    Ring ring_;
    MarkDecoder decoder_;
    std::vector<uint8_t> raw_;
    std::vector<uint8_t> decoded_;
    uint32_t readErrors_ = 0;  // line errors that end the next Collect
    bool lost_ = false;
    bool holdWhenFull_ = false;
    bool holding_ = false;
    Events pending_;
    bool notified_ = false;
};

}  // namespace serial_detail
