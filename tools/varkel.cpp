// varkel: talk to a board from the shell, one command per run.
// Exit 0 when the command succeeded, 1 when the port did not open or the board gave no valid reply,
// 2 on a bad argument (then nothing was sent).

#include "protocol/board_facts.h"
#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "tools/varkel_image.h"
#include "tools/varkel_port.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

struct BadArgument {
    std::string message;
};

int ParseNumber(const std::string &text, const char *what, int low, int high)
{
    size_t used = 0;
    long value = -1;
    try {
        value = std::stol(text, &used, 10);
    } catch (...) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < low || value > high)
        throw BadArgument{std::string(what) + " must be a number from " + std::to_string(low) + " to "
                          + std::to_string(high) + ", not '" + text + "'"};
    return int(value);
}

void PrintValues(const QByteArray &bytes, int from, int count)
{
    std::string line;
    for (int i = from; i < from + count; ++i) {
        if (!line.empty())
            line += ' ';
        line += std::to_string(static_cast<uint8_t>(bytes[i]));
    }
    std::printf("%s\n", line.c_str());
}

// One argument (or `count` alike, named NAME1..NAMEn) and its range.
struct Arg {
    const char *name;
    int low;
    int high;
    int count = 1;
};

struct Command {
    std::vector<Arg> args;
    std::function<bool(int &retry, uint8_t id, const std::vector<uint8_t> &a)> run;
};

int ArgCount(const Command &c)
{
    int n = 0;
    for (const Arg &a : c.args)
        n += a.count;
    return n;
}

const Arg kSpeed{"SPEED", 0, 7};
const Arg kValues{"V", 0, 255, orvane::kChannelsPerBoard};
const Arg kMotionSlot{"SLOT", 0, orvane::kMotionSlotCount - 1};
const Arg kRow{"ROW", 0, orvane::kMotionRowsPerSlot - 1};
const Arg kScenarioSlot{"SLOT", 0, orvane::kScenarioSlotCount - 1};
const Arg kEntry{"ENTRY", 0, orvane::kAssignmentEntryCount - 1};

ChannelValues Twelve(const std::vector<uint8_t> &a, size_t from)
{
    ChannelValues v{};
    for (size_t i = 0; i < size_t(orvane::kChannelsPerBoard); ++i)
        v[i] = a[from + i];
    return v;
}

bool PrintOne(bool ok, int value)
{
    if (ok)
        std::printf("%d\n", value);
    return ok;
}

bool PrintReply(bool ok, const QByteArray &reply, int from, int count)
{
    if (ok)
        PrintValues(reply, from, count);
    return ok;
}

const std::map<std::string, Command> &Commands()
{
    static const std::map<std::string, Command> table = {
        {"send-positions",
         {{kSpeed, kValues},
          [](int &r, uint8_t id, const auto &a) { return SendPositions(r, id, a[0], Twelve(a, 1)); }}},
        {"get-positions",
         {{},
          [](int &r, uint8_t id, const auto &) {
              QByteArray reply;
              return PrintReply(GetPositions(r, id, reply), reply, 1, 12);
          }}},
        {"set-home", {{}, [](int &r, uint8_t id, const auto &) { return SetHomePosition(r, id); }}},
        {"get-home",
         {{},
          [](int &r, uint8_t id, const auto &) {
              QByteArray reply;
              return PrintReply(GetHomePosition(r, id, reply), reply, 1, 12);
          }}},
        {"write-motion-row",
         {{kMotionSlot, kRow, kSpeed, kValues},
          [](int &r, uint8_t id, const auto &a) { return WriteMotionRow(r, id, a[0], a[1], a[2], Twelve(a, 3)); }}},
        {"read-motion-row",
         {{kMotionSlot, kRow},
          [](int &r, uint8_t id, const auto &a) {
              QByteArray reply;
              return PrintReply(ReadMotionRow(r, id, a[0], a[1], reply), reply, 1, 13);
          }}},
        {"set-motion-length",
         {{kMotionSlot, {"ROWS", 0, orvane::kMotionRowsPerSlot}},
          [](int &r, uint8_t id, const auto &a) { return SetMotionLength(r, id, a[0], a[1]); }}},
        {"get-motion-length",
         {{kMotionSlot},
          [](int &r, uint8_t id, const auto &a) {
              int n = 0;
              const bool ok = GetMotionLength(r, id, a[0], n);
              return PrintOne(ok, n);
          }}},
        {"write-scenario-item",
         {{kScenarioSlot, {"ITEM", 0, orvane::kScenarioItemsPerSlot - 1}, {"MOTION", 0, orvane::kMotionSlotCount - 1}},
          [](int &r, uint8_t id, const auto &a) { return WriteScenarioItem(r, id, a[0], a[1], a[2]); }}},
        {"read-scenario-item",
         {{kScenarioSlot, {"ITEM", 0, orvane::kScenarioItemsPerSlot - 1}},
          [](int &r, uint8_t id, const auto &a) {
              int m = 0;
              const bool ok = ReadScenarioItem(r, id, a[0], a[1], m);
              return PrintOne(ok, m);
          }}},
        {"set-scenario-length",
         {{kScenarioSlot, {"ITEMS", 0, orvane::kScenarioItemsPerSlot}},
          [](int &r, uint8_t id, const auto &a) { return SetScenarioLength(r, id, a[0], a[1]); }}},
        {"get-scenario-length",
         {{kScenarioSlot},
          [](int &r, uint8_t id, const auto &a) {
              int n = 0;
              const bool ok = GetScenarioLength(r, id, a[0], n);
              return PrintOne(ok, n);
          }}},
        {"set-mode", {{{"MODE", 0, 2}}, [](int &r, uint8_t id, const auto &a) { return SetMode(r, id, a[0]); }}},
        {"get-mode",
         {{},
          [](int &r, uint8_t id, const auto &) {
              uint8_t mode = 0;
              const bool ok = GetMode(r, id, mode);
              return PrintOne(ok, mode);
          }}},
        {"play-motion", {{kMotionSlot}, [](int &r, uint8_t id, const auto &a) { return PlayMotion(r, id, a[0]); }}},
        {"play-scenario",
         {{kScenarioSlot}, [](int &r, uint8_t id, const auto &a) { return PlayScenario(r, id, a[0]); }}},
        {"write-assignment",
         {{kEntry, {"PATTERN", 0, 255}, {"TARGET", 0, 255}},
          [](int &r, uint8_t id, const auto &a) { return WriteAssignment(r, id, a[0], a[1], a[2]); }}},
        {"read-assignment",
         {{kEntry},
          [](int &r, uint8_t id, const auto &a) {
              int pattern = 0, target = 0;
              const bool ok = ReadAssignment(r, id, a[0], pattern, target);
              if (ok)
                  std::printf("%d %d\n", pattern, target);
              return ok;
          }}},
        {"write-trim",
         {{{"T", 0, 255, orvane::kChannelsPerBoard}},
          [](int &r, uint8_t id, const auto &a) { return WriteTrim(r, id, Twelve(a, 0)); }}},
        {"read-trim",
         {{},
          [](int &r, uint8_t id, const auto &) {
              QByteArray reply;
              return PrintReply(ReadTrim(r, id, reply), reply, 1, 12);
          }}},
    };
    return table;
}

const std::map<std::string, const char *> &Summaries()
{
    static const std::map<std::string, const char *> table = {
        {"send-positions", "move the servos to V1..V12 at SPEED (0 fastest)"},
        {"get-positions", "print the twelve current positions"},
        {"set-home", "make the current positions the home position"},
        {"get-home", "print the twelve home positions"},
        {"write-motion-row", "store one row of a motion"},
        {"read-motion-row", "print a row's speed and twelve values"},
        {"set-motion-length", "set how many rows the motion has (ends a motion write)"},
        {"get-motion-length", "print how many rows the motion has"},
        {"write-scenario-item", "store the motion slot played at ITEM of a scenario"},
        {"read-scenario-item", "print the motion slot at ITEM of a scenario"},
        {"set-scenario-length", "set how many items the scenario has"},
        {"get-scenario-length", "print how many items the scenario has"},
        {"set-mode", "0 default (servos driven), 1 sleep (needed for memory transfers), 2 teaching"},
        {"get-mode", "print the board's mode"},
        {"play-motion", "play a stored motion"},
        {"play-scenario", "play a stored scenario"},
        {"write-assignment", "store a key pattern and its target (0-39 motion, 100-103 scenario, 200 none)"},
        {"read-assignment", "print an entry's key pattern and target"},
        {"write-trim", "store the twelve trims"},
        {"read-trim", "print the twelve trims"},
    };
    return table;
}

constexpr int kFirstCom = 1;
constexpr int kLastCom = 30;

const char *const kExitCodes = "exit codes: 0 done, 1 the port did not open or the board gave no valid reply,\n"
                               "            2 bad argument (nothing was sent)\n";

std::string ArgSynopsis(const Command &c)
{
    std::string text;
    for (const Arg &a : c.args) {
        text += ' ';
        text += a.count == 1 ? std::string(a.name) : std::string(a.name) + "1.." + a.name + std::to_string(a.count);
    }
    return text;
}

std::string CommandHelp(const std::string &name)
{
    const Command &c = Commands().at(name);
    std::string text = "usage: varkel [OPTIONS] " + name + ArgSynopsis(c) + "\n  " + Summaries().at(name) + "\n";
    for (const Arg &a : c.args) {
        const std::string shown =
            a.count == 1 ? std::string(a.name) : std::string(a.name) + "1.." + a.name + std::to_string(a.count);
        text += "  " + shown + ": " + std::to_string(a.low) + " to " + std::to_string(a.high) + "\n";
    }
    return text + kExitCodes;
}

std::string Usage()
{
    std::string text = "usage: varkel --port DEVICE|COMn [--id N] [--attempts N] COMMAND ARGS...\n"
                       "       varkel COMMAND --help   (the arguments of one command)\n"
                       "options (before or after the command):\n"
                       "  --port DEVICE|COMn  a device path, or COM1-COM10 = /dev/ttyUSB0-9,\n"
                       "                      COM11-COM20 = /dev/ttyACM0-9, COM21-COM30 = /dev/ttyS0-9\n"
                       "  --id N              board ID 0 to 255 (default 0)\n"
                       "  --attempts N        tries per command, 1 to 1000 (default 10)\n"
                       "  --help              this text; after a command, that command's arguments\n"
                       "  --version           the program's version\n"
                       "commands:\n";
    for (const auto &[name, c] : Commands()) {
        std::string line = "  " + name + ArgSynopsis(c);
        line.resize(std::max<size_t>(line.size() + 1, 48), ' ');
        text += line + Summaries().at(name) + "\n";
    }
    text += "ranges: SPEED 0-7, V and T 0-255, motion SLOT 0-39, ROW 0-99, ROWS 0-100, scenario SLOT 0-3,\n"
            "        ITEM 0-199, ITEMS 0-200, MOTION 0-39, MODE 0-2, ENTRY 0-159, PATTERN and TARGET 0-255\n"
            "whole boards (--id may be given twice for two boards):\n"
            "  backup FILE                                   read every slot, entry, trim and home into FILE\n"
            "  restore FILE                                  write FILE back, lengths last, then compare\n"
            "  verify FILE                                   list every difference between FILE and the boards\n";
    return text + kExitCodes;
}

struct Invocation {
    std::string port;
    int id = 0;
    int attempts = RetryCount;
    std::string command;
    std::vector<uint8_t> args;
    bool help = false;
    bool version = false;
};

Invocation Parse(const std::vector<std::string> &argv)
{
    Invocation inv;
    std::vector<std::string> words;
    for (size_t i = 0; i < argv.size(); ++i) {
        const std::string &arg = argv[i];
        auto value = [&]() {
            if (i + 1 >= argv.size())
                throw BadArgument{arg + " needs a value"};
            return argv[++i];
        };
        if (arg == "--port")
            inv.port = value();
        else if (arg == "--id")
            inv.id = ParseNumber(value(), "--id", 0, 255);
        else if (arg == "--attempts")
            inv.attempts = ParseNumber(value(), "--attempts", 1, 1000);
        else if (arg == "--help" || arg == "-h")
            inv.help = true;
        else if (arg == "--version")
            inv.version = true;
        else if (arg.rfind("--", 0) == 0)
            throw BadArgument{"unknown option " + arg};
        else
            words.push_back(arg);
    }
    if (!words.empty()) {
        inv.command = words[0];
        if (Commands().find(inv.command) == Commands().end())
            throw BadArgument{"unknown command " + inv.command};
    }
    if (inv.help || inv.version)
        return inv;
    if (inv.port.empty())
        throw BadArgument{"--port DEVICE|COMn is required"};
    if (inv.command.empty())
        throw BadArgument{"no command given"};
    const Command &c = Commands().at(inv.command);
    const size_t given = words.size() - 1;
    if (int(given) != ArgCount(c))
        throw BadArgument{inv.command + " takes " + std::to_string(ArgCount(c)) + " values," + ArgSynopsis(c) + ", "
                          + std::to_string(given) + " given"};
    size_t w = 1;
    for (const Arg &a : c.args)
        for (int k = 1; k <= a.count; ++k, ++w) {
            const std::string name = a.count == 1 ? std::string(a.name) : std::string(a.name) + std::to_string(k);
            inv.args.push_back(static_cast<uint8_t>(ParseNumber(words[w], name.c_str(), a.low, a.high)));
        }
    return inv;
}

// "COM3" names a port by number; anything else is a device path.
int PortNumberFor(const std::string &port)
{
    static const QRegularExpression com(QStringLiteral("^(?:\\\\\\\\\\.\\\\)?COM([0-9]+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(QString::fromStdString(port));
    if (match.hasMatch()) {
        bool ok = false;
        const int n = match.captured(1).toInt(&ok);
        if (!ok || n < kFirstCom || n > kLastCom)
            throw BadArgument{"--port " + port + ": COM numbers run from " + std::to_string(kFirstCom) + " to "
                              + std::to_string(kLastCom)};
        return n;
    }
    constexpr int kPathSlot = 1000;
    SetDevicePath(kPathSlot, QString::fromStdString(port));
    return kPathSlot;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const PortResolver portNumber = [](const std::string &port, std::string &why) {
        try {
            return PortNumberFor(port);
        } catch (const BadArgument &bad) {
            why = bad.message;
            return -1;
        }
    };
    if (const int code = RunImageCommand(argc, argv, portNumber); code >= 0)
        return code;
    Invocation inv;
    int portNo = 0;
    try {
        inv = Parse(std::vector<std::string>(argv + 1, argv + argc));
        if (inv.version) {
            std::printf("varkel %s\n", ORVANE_VERSION);
            return 0;
        }
        if (inv.help) {
            std::fputs((inv.command.empty() ? Usage() : CommandHelp(inv.command)).c_str(), stdout);
            return 0;
        }
        portNo = PortNumberFor(inv.port);
    } catch (const BadArgument &bad) {
        std::fprintf(stderr, "varkel: %s (see varkel --help)\n", bad.message.c_str());
        return 2;
    }

    if (!OpenVarkelPort(inv.port, portNo))
        return 1;
    int retry = inv.attempts;
    const bool ok = Commands().at(inv.command).run(retry, static_cast<uint8_t>(inv.id), inv.args);
    if (!ok && inv.command == "play-motion" && inv.id == kBroadcastId) {
        // Nothing went wrong: no board answers a broadcast. A plain close would drop the frame if it
        // has not left yet.
        if (SerialPort)
            SerialPort->CloseAfterSending(1000);
        std::printf("play-motion %d sent to every board at once (ID %d); a broadcast gets no answer\n", inv.args[0],
                    inv.id);
        std::fflush(stdout);
        ReleasePort();
        return 0;
    }
    if (!ok)
        std::fprintf(stderr, "varkel: %s: no valid reply from board %d after %d attempt(s)\n", inv.command.c_str(),
                     inv.id, retry);
    std::fflush(stdout);
    ReleasePort();
    return ok ? 0 : 1;
}
