#include "serial/port_linux.h"

#include "serial/serial_log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace serial_detail {

namespace {

// ENOTTY and EINVAL mean the device lacks the capability (a pseudo-terminal has no modem lines,
// error counters or serial_struct); that is not a fault.
bool Unsupported(int error) { return error == ENOTTY || error == EINVAL; }

OpenFailure Classify(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return OpenFailure::Missing;
    case EBUSY:
    case EWOULDBLOCK: return OpenFailure::InUse;
    case EACCES:
    case EPERM: return OpenFailure::NotPermitted;
    case ENOTTY: return OpenFailure::NotATerminal;
    default: return OpenFailure::Other;
    }
}

struct SpeedCode {
    int rate;
    speed_t code;
};

constexpr SpeedCode kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool StandardSpeed(int rate, speed_t &code)
{
    for (const SpeedCode &s : kSpeeds) {
        if (s.rate == rate) {
            code = s.code;
            return true;
        }
    }
    return false;
}

void MakeRaw(termios &t)
{
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~HUPCL;  // leave DTR/RTS alone when the last descriptor closes
    // Parity and framing errors arrive marked in the data (\377 \0 c), a break as \377 \0 \0, a
    // data byte 0xFF as \377 \377; BRKINT would flush the queues and signal, so it stays off.
    t.c_iflag &= ~(IGNBRK | BRKINT | ISTRIP | IXANY | IGNPAR | IXON | IXOFF);
    t.c_iflag |= INPCK | PARMRK;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
}

void AskLowLatency(int fd)
{
    // USB adapters otherwise hold received bytes up to 16 ms; best effort, ptys answer ENOTTY.
    serial_struct info{};
    if (ioctl(fd, TIOCGSERIAL, &info) != 0) {
        qCDebug(lcSerial) << "no serial_struct:" << std::strerror(errno);
        return;
    }
    if (info.flags & ASYNC_LOW_LATENCY)
        return;
    info.flags |= ASYNC_LOW_LATENCY;
    if (ioctl(fd, TIOCSSERIAL, &info) != 0)
        qCDebug(lcSerial) << "low latency refused:" << std::strerror(errno);
}

}  // namespace

const char *OpenFailureText(OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::None: return "no failure";
    case OpenFailure::Missing: return "no such device";
    case OpenFailure::InUse: return "in use";
    case OpenFailure::NotPermitted: return "not permitted (is the user in the dialout group?)";
    case OpenFailure::NotATerminal: return "not a serial device";
    case OpenFailure::Other: break;
    }
    return "failed";
}

struct Port::State {
    termios saved{};
    termios line{};  // the line-state record: what the device last read back
};

Port::Port(int fd, std::unique_ptr<State> state) : fd_(fd), state_(std::move(state)) {}

std::unique_ptr<Port> Port::Open(const std::string &path, OpenFailure &failure, int &error)
{
    failure = OpenFailure::None;
    error = 0;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        failure = Classify(error);
        return nullptr;
    }
    bool exclusive = false;
    auto fail = [&](int e) -> std::unique_ptr<Port> {
        error = e;
        failure = Classify(e);
        if (exclusive)
            ioctl(fd, TIOCNXCL);
        ::close(fd);
        return nullptr;
    };
    // TIOCEXCL alone races and does not stop root; the lock does both.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(errno);
    if (ioctl(fd, TIOCEXCL) == 0)
        exclusive = true;
    else if (!Unsupported(errno))
        return fail(errno);

    auto state = std::make_unique<State>();
    if (tcgetattr(fd, &state->saved) != 0)
        return fail(errno);
    termios raw = state->saved;
    MakeRaw(raw);
    if (tcsetattr(fd, TCSANOW, &raw) != 0) {
        const int e = errno;
        tcsetattr(fd, TCSANOW, &state->saved);
        return fail(e);
    }
    if (tcgetattr(fd, &state->line) != 0) {
        const int e = errno;
        tcsetattr(fd, TCSANOW, &state->saved);
        return fail(e);
    }
    AskLowLatency(fd);
    return std::unique_ptr<Port>(new Port(fd, std::move(state)));
}

Port::~Port()
{
    // On a device that is gone these fail with EIO; closing is what matters then.
    tcsetattr(fd_, TCSANOW, &state_->saved);
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);
}

bool Port::Commit()
{
    const termios wanted = state_->line;
    const bool written = tcsetattr(fd_, TCSANOW, &wanted) == 0;
    const int e = errno;
    // The device may accept the call yet change fields (a pty drops parity and forces 8 bits), so
    // the record is always what the device reports.
    if (tcgetattr(fd_, &state_->line) != 0)
        state_->line = wanted;
    if (!written)
        qCDebug(lcSerial) << "tcsetattr:" << std::strerror(e);
    return written;
}

bool Port::SetBitRate(int bitsPerSecond)
{
    if (bitsPerSecond < 50)
        return false;  // B0 would hang the line up
    speed_t code = 0;
    if (StandardSpeed(bitsPerSecond, code)) {
        cfsetispeed(&state_->line, code);
        cfsetospeed(&state_->line, code);
        return Commit() && cfgetospeed(&state_->line) == code;
    }
    const bool written = SetArbitraryBitRate(fd_, bitsPerSecond);
    if (tcgetattr(fd_, &state_->line) != 0)
        return false;
    if (!written)
        return false;
    // Drivers round to what their clock can make; take anything within 3 %.
    const long actual = ReadOutputBitRate(fd_);
    return actual > 0 && std::labs(actual - bitsPerSecond) * 100 <= 3L * bitsPerSecond;
}

bool Port::SetCharSize(int bits)
{
    tcflag_t size = 0;
    switch (bits) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
    }
    state_->line.c_cflag = (state_->line.c_cflag & ~CSIZE) | size;
    return Commit() && (state_->line.c_cflag & CSIZE) == size;
}

bool Port::SetParity(int parity)
{
    tcflag_t bits = 0;
    switch (parity) {
    case 0: bits = 0; break;
    case 1: bits = PARENB | PARODD; break;
    case 2: bits = PARENB; break;
    default: return false;
    }
    state_->line.c_cflag = (state_->line.c_cflag & ~(PARENB | PARODD | CMSPAR)) | bits;
    return Commit() && (state_->line.c_cflag & (PARENB | PARODD | CMSPAR)) == bits;
}

bool Port::SetStopBits(int stopBits)
{
    // CSTOPB means two stop bits, and one and a half with 5 data bits; the other pairings
    // cannot be made.
    const bool fiveBits = (state_->line.c_cflag & CSIZE) == CS5;
    tcflag_t bit = 0;
    switch (stopBits) {
    case 0: bit = 0; break;
    case 1:
        if (!fiveBits)
            return false;
        bit = CSTOPB;
        break;
    case 2:
        if (fiveBits)
            return false;
        bit = CSTOPB;
        break;
    default: return false;
    }
    state_->line.c_cflag = (state_->line.c_cflag & ~CSTOPB) | bit;
    return Commit() && (state_->line.c_cflag & CSTOPB) == bit;
}

bool Port::SetFlowControl(bool rtsCts, bool xonXoff)
{
    if (xonXoff && state_->line.c_cc[VSTART] == state_->line.c_cc[VSTOP])
        return false;
    const tcflag_t c = rtsCts ? tcflag_t(CRTSCTS) : 0;
    const tcflag_t i = xonXoff ? tcflag_t(IXON | IXOFF) : 0;
    state_->line.c_cflag = (state_->line.c_cflag & ~CRTSCTS) | c;
    state_->line.c_iflag = (state_->line.c_iflag & ~(IXON | IXOFF | IXANY)) | i;
    return Commit() && (state_->line.c_cflag & CRTSCTS) == c && (state_->line.c_iflag & (IXON | IXOFF)) == i;
}

bool Port::SetXonChar(char c)
{
    const cc_t v = static_cast<cc_t>(c);
    if ((state_->line.c_iflag & (IXON | IXOFF)) && state_->line.c_cc[VSTOP] == v)
        return false;
    state_->line.c_cc[VSTART] = v;
    return Commit() && state_->line.c_cc[VSTART] == v;
}

bool Port::SetXoffChar(char c)
{
    const cc_t v = static_cast<cc_t>(c);
    if ((state_->line.c_iflag & (IXON | IXOFF)) && state_->line.c_cc[VSTART] == v)
        return false;
    state_->line.c_cc[VSTOP] = v;
    return Commit() && state_->line.c_cc[VSTOP] == v;
}

bool Port::ParityEnabled() const { return (state_->line.c_cflag & PARENB) != 0; }

void Port::PurgeInput() { tcflush(fd_, TCIFLUSH); }

void Port::PurgeOutput() { tcflush(fd_, TCOFLUSH); }

void Port::SetModemLine(int line, bool on)
{
    int bits = line;
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0 && !Unsupported(errno))
        qCDebug(lcSerial) << "modem line" << line << on << std::strerror(errno);
}

void Port::SetDtr(bool on) { SetModemLine(TIOCM_DTR, on); }

void Port::SetRts(bool on) { SetModemLine(TIOCM_RTS, on); }

int Port::BytesInInput() const
{
    int n = 0;
    return ioctl(fd_, FIONREAD, &n) == 0 && n > 0 ? n : 0;
}

int Port::BytesInOutput() const
{
    int n = 0;
    return ioctl(fd_, TIOCOUTQ, &n) == 0 && n > 0 ? n : 0;
}

bool Port::ReadErrorCounters(ErrorCounters &counters) const
{
    serial_icounter_struct ic{};
    if (ioctl(fd_, TIOCGICOUNT, &ic) != 0)
        return false;
    counters.overrun = ic.overrun;
    counters.bufOverrun = ic.buf_overrun;
    counters.parity = ic.parity;
    counters.frame = ic.frame;
    counters.brk = ic.brk;
    return true;
}

ssize_t Port::ReadSome(void *buffer, size_t size) { return ::read(fd_, buffer, size); }

ssize_t Port::WriteSome(const void *buffer, size_t size) { return ::write(fd_, buffer, size); }

}  // namespace serial_detail
