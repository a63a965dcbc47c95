// varkel-sim: virtual Varkel-1 boards on a pseudo-terminal.

#include "sim/virtual_boards.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

using namespace orvane::sim;

namespace {

constexpr const char *kUsage = R"(usage: varkel-sim [options]
Answers as one or two Varkel-1 boards on a pseudo-terminal. The first line on
standard output is the device path to open as the serial port. Runs until
SIGINT or SIGTERM.

  --ids LIST          board IDs, one or two of 0-255, comma-separated (default 0)
  --link PATH         make PATH a symbolic link to the device (an existing link
                      is replaced); removed again at exit
  --paced             answer at the line rate of 115200 bit/s (86.8 us a byte)
  --delay MS          wait MS milliseconds before every reply
  --fault FAULT       disturb replies; may be given several times
  --log PATH          write every received frame to PATH, one per line, hex
  --dump PATH         write the boards' memory to PATH on SIGUSR1 and at exit
  --assign MODE       fresh assignment entries: erased (pattern 0, target 200,
                      the default) or garbage (0xFF, 0xFF, as never cleared)
  --vanish-after N    close the device on receiving the N-th frame (unanswered)
  --hand FILE         move FREE channels by hand as FILE says (see HAND below)
  --help              show this text
  --version           show the program's version

SIGUSR2 closes the device at once, as if the board were unplugged.
Exit status: 0 when stopped by a signal, 1 when the device, the link, the log
or the final dump could not be made, 2 for bad arguments.

FAULT is KIND:COMMAND:WHICH[:ARG[:ARG]]
  KIND     noreply   no reply (the frame still takes effect)
           badsum    wrong checksum (an acknowledge carries 0x15 for 0x06)
           wrongid   byte 0 is the board's ID + 1
           split     reply in two pieces: ARG gap in ms, then optionally the
                     bytes in the first piece (default half)
           extra     ARG extra 0x00 bytes after the reply (default 1)
           late      the reply leaves ARG ms late
  COMMAND  any, or a command byte: 0xF0 or 240
  WHICH    always, N, N-M or N- : which of the frames of that command that a
           board answers, counted from 1
  Examples: noreply:0xF0:3  split:any:1-5:40  split:0xFC:always:35:2
            wrongid:0xF8:2-  extra:any:1:3  late:0xEC:5:45

HAND is a text file of lines TIME_MS CHANNEL VALUE (channel 1-12 the first
board, 13-24 the second; value 0-180; '#' starts a comment). Each channel moves
in straight lines between its times. A FREE channel (last sent 221) of a board
in teaching mode reports that position in get-positions; one the file does not
name reports where it stood when it was freed. The time starts when a board
enters teaching mode; after the last line the hand holds still, and the next
entry into teaching mode plays the file again.
  Example: the lines "0 1 90" and "1000 1 130" move CH1 from 90 to 130 in a second.
)";

struct Args {
    Options options;
    std::string link;
    std::string dump;
};

std::optional<unsigned> ParseUnsigned(std::string_view text, unsigned max)
{
    const auto value = ParseNumber(text);
    return value && *value <= max ? value : std::nullopt;
}

struct UsageError {
    std::string message;
};

Args ParseArgs(int argc, char **argv)
{
    Args args;
    std::vector<std::uint8_t> ids;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::optional<std::string_view> inlineValue;
        if (arg.starts_with("--")) {
            if (const auto eq = arg.find('='); eq != std::string_view::npos) {
                inlineValue = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
            }
        }
        auto value = [&]() -> std::string_view {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= argc)
                throw UsageError{std::string(arg) + " needs a value"};
            return argv[++i];
        };
        auto noValue = [&] {
            if (inlineValue)
                throw UsageError{std::string(arg) + " takes no value"};
        };

        if (arg == "--help" || arg == "-h") {
            noValue();
            std::cout << kUsage;
            std::exit(0);
        } else if (arg == "--version") {
            noValue();
            std::cout << "varkel-sim " ORVANE_VERSION "\n";
            std::exit(0);
        } else if (arg == "--ids") {
            const std::string_view list = value();
            ids.clear();
            std::size_t start = 0;
            for (;;) {
                const auto comma = list.find(',', start);
                const auto item = list.substr(start, comma == std::string_view::npos ? comma : comma - start);
                const auto id = ParseUnsigned(item, 255);
                if (!id)
                    throw UsageError{"board ID '" + std::string(item) + "' is not a number from 0 to 255"};
                ids.push_back(std::uint8_t(*id));
                if (comma == std::string_view::npos)
                    break;
                start = comma + 1;
            }
            if (ids.size() > 2)
                throw UsageError{"at most two board IDs"};
            if (ids.size() == 2 && ids[0] == ids[1])
                throw UsageError{"the two board IDs must differ"};
        } else if (arg == "--link") {
            args.link = value();
            if (args.link.empty())
                throw UsageError{"--link needs a path"};
        } else if (arg == "--paced") {
            noValue();
            args.options.paced = true;
        } else if (arg == "--delay") {
            const std::string_view text = value();
            const auto ms = ParseUnsigned(text, 600000);
            if (!ms)
                throw UsageError{"delay '" + std::string(text) + "' is not a number of milliseconds (0-600000)"};
            args.options.replyDelayMs = int(*ms);
        } else if (arg == "--fault") {
            const std::string_view text = value();
            std::string error;
            const auto fault = ParseFault(text, error);
            if (!fault)
                throw UsageError{"bad fault '" + std::string(text) + "': " + error};
            args.options.faults.push_back(*fault);
        } else if (arg == "--log") {
            args.options.logPath = value();
            if (args.options.logPath.empty())
                throw UsageError{"--log needs a path"};
        } else if (arg == "--dump") {
            args.dump = value();
            if (args.dump.empty())
                throw UsageError{"--dump needs a path"};
        } else if (arg == "--assign") {
            const std::string_view mode = value();
            if (mode == "erased")
                args.options.assign = AssignInit::Erased;
            else if (mode == "garbage")
                args.options.assign = AssignInit::Garbage;
            else
                throw UsageError{"--assign takes erased or garbage, not '" + std::string(mode) + "'"};
        } else if (arg == "--vanish-after") {
            const std::string_view text = value();
            const auto n = ParseUnsigned(text, 1000000000);
            if (!n || *n == 0)
                throw UsageError{"--vanish-after needs a frame count of at least 1"};
            args.options.vanishAfterFrames = *n;
        } else if (arg == "--hand") {
            const std::string path(value());
            std::string error;
            auto script = HandScript::Load(path, error);
            if (!script)
                throw UsageError{"bad hand script: " + error};
            args.options.hand = std::move(*script);
        } else {
            throw UsageError{"unknown option '" + std::string(argv[i]) + "'"};
        }
    }
    if (!ids.empty())
        args.options.ids = ids;
    return args;
}

// Points link at target through a temporary link renamed over it, so a reader
// never finds the name missing. Refuses to replace anything but a link.
bool MakeLink(const std::string &link, const std::string &target, std::string &error)
{
    struct stat st;
    if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = link + " exists and is not a symbolic link";
        return false;
    }
    const std::string tmp = link + ".varkel-sim-" + std::to_string(::getpid());
    ::unlink(tmp.c_str());
    if (::symlink(target.c_str(), tmp.c_str()) != 0 || ::rename(tmp.c_str(), link.c_str()) != 0) {
        error = "cannot create link " + link + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

// Removes the link only while it still points at our device: another
// instance may have taken the name over meanwhile.
void RemoveLink(const std::string &link, const std::string &target)
{
    if (link.empty())
        return;
    char buf[4096];
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    if (n > 0 && std::string_view(buf, std::size_t(n)) == target)
        ::unlink(link.c_str());
}

bool WriteDump(const VirtualBoards &boards, const std::string &path)
{
    if (path.empty())
        return true;
    std::string error;
    if (boards.Dump(path, &error))
        return true;
    std::cerr << "varkel-sim: " << error << std::endl;
    return false;
}

}  // namespace

int main(int argc, char **argv)
{
    Args args;
    try {
        args = ParseArgs(argc, argv);
        args.options.keepFrames = false;  // only the log file is of use out of process
    } catch (const UsageError &e) {
        std::cerr << "varkel-sim: " << e.message << " (see --help)" << std::endl;
        return 2;
    }

    // Blocked before the answering thread starts, so it inherits the mask and
    // every signal reaches sigtimedwait below.
    sigset_t signals;
    sigemptyset(&signals);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2})
        sigaddset(&signals, s);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::optional<VirtualBoards> boards;
    try {
        boards.emplace(args.options);
    } catch (const std::exception &e) {
        std::cerr << "varkel-sim: " << e.what() << std::endl;
        return 1;
    }
    const std::string device = boards->SlavePath();

    if (!args.link.empty()) {
        std::string error;
        if (!MakeLink(args.link, device, error)) {
            std::cerr << "varkel-sim: " << error << std::endl;
            return 1;
        }
    }
    std::cout << device << std::endl;

    bool linkRemoved = false;
    for (;;) {
        const timespec tick{0, 200000000};
        const int sig = sigtimedwait(&signals, nullptr, &tick);
        if (sig == SIGINT || sig == SIGTERM || sig == SIGHUP)
            break;
        if (sig == SIGUSR1) {
            WriteDump(*boards, args.dump);
        } else if (sig == SIGUSR2) {
            boards->Vanish();
        }
        if (!boards->Answering() && !linkRemoved) {
            RemoveLink(args.link, device);
            linkRemoved = true;
        }
    }
    boards->Stop();
    const bool dumped = WriteDump(*boards, args.dump);
    if (!linkRemoved)
        RemoveLink(args.link, device);
    return dumped ? 0 : 1;
}
