// Rates the standard speed codes do not cover, through the kernel's termios2 (BOTHER). Kept out of
// port_linux.cpp: <asm/termbits.h> and glibc's <termios.h> define the same names differently.

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace serial_detail {

bool SetArbitraryBitRate(int fd, int bitsPerSecond)
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_cflag &= ~(CBAUD << IBSHIFT);  // input speed follows the output speed
    t.c_ospeed = static_cast<speed_t>(bitsPerSecond);
    t.c_ispeed = static_cast<speed_t>(bitsPerSecond);
    return ioctl(fd, TCSETS2, &t) == 0;
}

int ReadOutputBitRate(int fd)
{
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0)
        return -1;
    return static_cast<int>(t.c_ospeed);
}

}  // namespace serial_detail
