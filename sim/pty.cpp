#include "sim/pty.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace orvane::sim {

namespace {

[[noreturn]] void fail(const char *what) { throw std::system_error(errno, std::generic_category(), what); }

}  // namespace

Pty OpenPty()
{
    Pty pty;
    pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (pty.master < 0)
        fail("posix_openpt");
    try {
        if (grantpt(pty.master) != 0)
            fail("grantpt");
        if (unlockpt(pty.master) != 0)
            fail("unlockpt");
        char name[128];
        if (const int rc = ptsname_r(pty.master, name, sizeof name); rc != 0) {
            errno = rc;
            fail("ptsname_r");
        }
        pty.slavePath = name;
        pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (pty.slave < 0)
            fail("open pty slave");
        termios tio{};
        if (tcgetattr(pty.slave, &tio) != 0)
            fail("tcgetattr");
        cfmakeraw(&tio);
        cfsetispeed(&tio, B115200);
        cfsetospeed(&tio, B115200);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        if (tcsetattr(pty.slave, TCSANOW, &tio) != 0)
            fail("tcsetattr");
    } catch (...) {
        ClosePty(pty);
        throw;
    }
    return pty;
}

void ClosePty(Pty &pty)
{
    // Slave first: closing the master is what tells the other side the device is gone.
    if (pty.slave >= 0)
        ::close(pty.slave);
    if (pty.master >= 0)
        ::close(pty.master);
    pty.slave = pty.master = -1;
}

}  // namespace orvane::sim
