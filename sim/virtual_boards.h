#pragma once

// One or two virtual Varkel-1 boards answering on a pseudo-terminal.
//
// The program under test opens SlavePath() as its serial port; the boards own
// the master side and keep a slave descriptor of their own open, so the
// program may close and reopen the port at will. Frames are parsed by command
// byte (the byte fixes the frame length); a byte that starts no frame is
// skipped, and a frame with a bad checksum gives up only its first byte, so
// the line resynchronises on the next command byte. Frames for another ID,
// with a bad checksum or naming anything out of range get no answer.
//
// Threads: the constructor starts one thread that reads, answers and writes
// the log file; it calls nothing back. Every public call may come from any
// other thread at any time.

#include "sim/board_memory.h"
#include "sim/faults.h"
#include "sim/hand_script.h"
#include "sim/pty.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvane::sim {

struct Options {
    std::vector<std::uint8_t> ids{0};  // one or two distinct board IDs
    // Both directions at 115200 bit/s 8N1: a frame counts as received when its
    // last byte would have crossed the line, reply bytes leave one per 86.8 us.
    bool paced = false;
    int replyDelayMs = 0;  // extra wait before every reply
    AssignInit assign = AssignInit::Erased;
    std::vector<Fault> faults;
    std::string logPath;     // every received frame, one per line, upper-case hex; empty: none
    bool keepFrames = true;  // keep the in-memory frame log (a long-running program may not want it)
    // Close the pty right after receiving this many frames (that frame is not
    // answered), as a board whose USB cable is pulled; 0: never.
    unsigned vanishAfterFrames = 0;
    // Hands on the robot: a FREE channel (last sent 221) of a board in teaching mode reports the
    // script's position in GetPositions, or where it stood when it was freed if the script leaves it
    // alone. The script's time starts when a board enters teaching mode, and starts again at such an entry
    // once the script has played out. Empty: no hands.
    HandScript hand;
};

constexpr double kByteTimeUs = 1e6 * 10 / 115200;  // start + 8 data + stop bits

class VirtualBoards {
public:
    // Opens the pty and starts answering. Throws std::invalid_argument for bad
    // options and std::system_error when the pty or the log file cannot be opened.
    explicit VirtualBoards(Options options = {});
    ~VirtualBoards();
    VirtualBoards(const VirtualBoards &) = delete;
    VirtualBoards &operator=(const VirtualBoards &) = delete;

    const std::string &SlavePath() const { return slavePath_; }
    const std::vector<std::uint8_t> &Ids() const { return ids_; }

    // Memory of the board with that ID (std::out_of_range for an ID not served).
    BoardMemory Board(std::uint8_t id) const;
    void SetBoard(std::uint8_t id, const BoardMemory &memory);  // keeps the ID
    void EditBoard(std::uint8_t id, const std::function<void(BoardMemory &)> &edit);

    // Replaces the hand script; its time starts again at the next entry into teaching mode.
    void SetHandScript(const HandScript &script);

    void AddFault(const Fault &fault);  // counts from the next frame on
    void ClearFaults();

    // Every frame received (complete by its command byte's length, whatever
    // its ID or checksum), oldest first.
    std::vector<Bytes> Frames() const;
    void ClearFrames();
    // Waits until at least count frames are in the log; false on time-out.
    bool WaitForFrames(std::size_t count, std::chrono::milliseconds timeout) const;

    // How late, in all, the boards were against their own line timing since they started: paced frames
    // handled after their last byte arrived, paced replies whose last byte left after its time. A real
    // board is never late, so benchmarks take this out of what they blame on the program.
    std::chrono::nanoseconds Lateness() const { return std::chrono::nanoseconds(latenessNs_.load()); }

    std::string DumpText() const;  // format: FormatDump() in board_memory.h
    // Writes DumpText() through a temporary file renamed over path.
    bool Dump(const std::string &path, std::string *error = nullptr) const;

    // Stops the thread and closes the pty (the program's port then reports a
    // hang-up and the slave path disappears). Memory and log stay readable.
    void Stop();
    // The same as Stop(), named for tests of a device that disappears while
    // the program holds the port.
    void Vanish() { Stop(); }
    // False once stopped, vanished, or gone by vanishAfterFrames.
    bool Answering() const { return answering_.load(); }

private:
    struct ActiveFault {
        Fault fault;
        unsigned seen = 0;
    };
    struct RxByte {
        std::uint8_t value;
        std::int64_t arrivalNs;
    };

    void Run();
    bool HandleInput(std::vector<RxByte> &rx);
    bool AnswerFrame(const Bytes &frame);
    bool SendReply(const ReplyPlan &plan);
    bool SendBytes(const std::uint8_t *data, std::size_t size);
    bool WriteAll(const std::uint8_t *data, std::size_t size);
    bool WaitUntil(std::int64_t deadlineNs);
    void AddLateness(std::int64_t dueNs);
    void LogFrame(const Bytes &frame);
    BoardMemory *FindBoard(std::uint8_t id);
    void HandBeforeExecute(std::size_t board, const Bytes &frame);
    void HandAfterExecute(std::size_t board, const Bytes &frame, Bytes &reply);

    const Options options_;
    const std::vector<std::uint8_t> ids_;
    Pty pty_;
    std::string slavePath_;
    int stopFd_ = -1;
    std::FILE *logFile_ = nullptr;

    mutable std::mutex boardsMutex_;
    std::vector<BoardMemory> boards_;
    HandScript hand_;
    std::int64_t handStartNs_ = -1;  // not started
    // Per board, the position each channel held when it was last set FREE.
    std::vector<std::array<std::uint8_t, kChannelsPerBoard>> freedAt_;

    std::mutex faultsMutex_;
    std::vector<ActiveFault> faults_;

    mutable std::mutex framesMutex_;
    mutable std::condition_variable framesChanged_;
    std::vector<Bytes> frames_;

    // Answering thread only.
    std::int64_t lastArrivalNs_ = 0;
    std::int64_t txFreeNs_ = 0;
    unsigned framesSeen_ = 0;
    std::atomic<std::int64_t> latenessNs_{0};

    std::mutex stopMutex_;
    std::atomic<bool> answering_{true};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace orvane::sim
