#pragma once
// The port operations TCommX needs, on a Linux serial terminal device.
//
// Threads: the component's thread opens, configures, purges input and closes; the transmit thread
// writes, purges output and switches RTS; the receive thread reads and asks for the error counters.
// Everything here is a system call on the one descriptor except the line-state record, which only
// the component's thread touches.

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <string>

namespace serial_detail {

enum class OpenFailure {
    None,
    Missing,       // ENOENT, ENODEV, ENXIO
    InUse,         // EBUSY, or another holder of the lock
    NotPermitted,  // EACCES, EPERM (usually: not in the dialout group)
    NotATerminal,  // ENOTTY: a file, not a serial device
    Other,
};
const char *OpenFailureText(OpenFailure failure);

// Cumulative line error counters where the driver keeps them.
struct ErrorCounters {
    int overrun = 0;
    int bufOverrun = 0;
    int parity = 0;
    int frame = 0;
    int brk = 0;
};

struct Port {
    // Opens the device exclusively and puts it in raw mode; nullptr and the reason on failure.
    static std::unique_ptr<Port> Open(const std::string &path, OpenFailure &failure, int &error);
    ~Port();  // restores the saved line state, lifts the exclusive mode and closes

    Port(const Port &) = delete;
    Port &operator=(const Port &) = delete;

    int Fd() const { return fd_; }

    // Line state. Each edits the record, writes it, reads it back and says whether the device took it.
    bool SetBitRate(int bitsPerSecond);
    bool SetCharSize(int bits);
    bool SetParity(int parity);      // 0 none, 1 odd, 2 even
    bool SetStopBits(int stopBits);  // 0 one, 1 one and a half (5 data bits only), 2 two
    bool SetFlowControl(bool rtsCts, bool xonXoff);
    bool SetXonChar(char c);
    bool SetXoffChar(char c);
    bool ParityEnabled() const;

    void PurgeInput();
    void PurgeOutput();
    void SetDtr(bool on);
    void SetRts(bool on);
    int BytesInInput() const;                               // kernel input queue; 0 when unknown
    int BytesInOutput() const;                              // kernel output queue; 0 when unknown
    bool ReadErrorCounters(ErrorCounters &counters) const;  // false where the driver keeps none

    // Non-blocking transfers; -1 with errno as set by the system.
    ssize_t ReadSome(void *buffer, size_t size);
    ssize_t WriteSome(const void *buffer, size_t size);

    // Set by whichever thread first sees that the device is gone (hang-up, EIO).
    void MarkLost() { lost_.store(true); }
    bool IsLost() const { return lost_.load(); }

private:
    struct State;
    Port(int fd, std::unique_ptr<State> state);
    bool Commit();
    void SetModemLine(int line, bool on);

    int fd_ = -1;
    std::unique_ptr<State> state_;
    std::atomic<bool> lost_{false};
};

// Rates outside the table of standard speeds (port_linux_baud.cpp, apart because the kernel's
// termios2 cannot share a file with <termios.h>).
bool SetArbitraryBitRate(int fd, int bitsPerSecond);
int ReadOutputBitRate(int fd);  // -1 when unknown

}  // namespace serial_detail
