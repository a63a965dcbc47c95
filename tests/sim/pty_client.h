#pragma once

// The program's side of the line, reduced to plain system calls: opens the
// device as the serial code does, writes frames and collects replies.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Appends the 7-bit checksum, computed here independently of the sim.
Bytes frame(Bytes bytes);

std::string hex(const Bytes &bytes);  // "F0 00 70"

class PtyClient {
public:
    // Fails the test (ADD_FAILURE) when it cannot open. With makeRaw false the
    // line settings are left as the device had them.
    explicit PtyClient(const std::string &path, bool makeRaw = true);
    ~PtyClient();
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void close();

    void send(const Bytes &bytes);
    // Reads until count bytes came or timeout passed.
    Bytes read(std::size_t count, std::chrono::milliseconds timeout = std::chrono::milliseconds(500));
    // Reads whatever comes until silence lasts for quiet.
    Bytes readUntilQuiet(std::chrono::milliseconds quiet = std::chrono::milliseconds(40));
    // Sends a frame and waits for a reply of count bytes.
    Bytes ask(const Bytes &request, std::size_t count);
    // Drops whatever is waiting.
    void purge();

private:
    int fd_ = -1;
};

}  // namespace simtest
