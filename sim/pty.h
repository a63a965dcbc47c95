#pragma once

// The pseudo-terminal the virtual boards answer on.

#include <string>

namespace orvane::sim {

struct Pty {
    int master = -1;  // non-blocking, close-on-exec
    int slave = -1;   // held open by the boards so the master never sees a hang-up
    std::string slavePath;
};

// Opens a master, unlocks it and opens its slave in raw mode (no echo, no
// line editing, no output processing). Throws std::system_error.
Pty OpenPty();

void ClosePty(Pty &pty);

}  // namespace orvane::sim
