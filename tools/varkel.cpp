// varkel: talk to a board from the shell, one command per run.
// Exit 0 when the command succeeded, 1 when it failed, 2 on a bad argument.

#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "tools/varkel_image.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

const char *const Usage = "usage: varkel --port DEVICE|COMn [--id N] [--attempts N] COMMAND ARGS...\n"
                          "commands:\n"
                          "  send-positions SPEED V1..V12     get-positions        set-home        get-home\n"
                          "  write-motion-row SLOT ROW SPEED V1..V12               read-motion-row SLOT ROW\n"
                          "  set-motion-length SLOT N         get-motion-length SLOT\n"
                          "  write-scenario-item SLOT ITEM MOTION                  read-scenario-item SLOT ITEM\n"
                          "  set-scenario-length SLOT N       get-scenario-length SLOT\n"
                          "  set-mode MODE     get-mode       play-motion SLOT     play-scenario SLOT\n"
                          "  write-assignment ENTRY PATTERN TARGET                 read-assignment ENTRY\n"
                          "  write-trim T1..T12               read-trim\n"
                          "  backup FILE   restore FILE   verify FILE     (--id may be given twice)\n"
                          "values are decimal 0-255; defaults: --id 0, --attempts 10\n";

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

struct Command {
    int argCount;
    std::function<bool(int &retry, uint8_t id, const std::vector<uint8_t> &a)> run;
};

ChannelValues Twelve(const std::vector<uint8_t> &a, size_t from)
{
    ChannelValues v{};
    for (size_t i = 0; i < 12; ++i)
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
         {13, [](int &r, uint8_t id, const auto &a) { return SendPositions(r, id, a[0], Twelve(a, 1)); }}},
        {"get-positions",
         {0,
          [](int &r, uint8_t id, const auto &) {
              QByteArray reply;
              return PrintReply(GetPositions(r, id, reply), reply, 1, 12);
          }}},
        {"set-home", {0, [](int &r, uint8_t id, const auto &) { return SetHomePosition(r, id); }}},
        {"get-home",
         {0,
          [](int &r, uint8_t id, const auto &) {
              QByteArray reply;
              return PrintReply(GetHomePosition(r, id, reply), reply, 1, 12);
          }}},
        {"write-motion-row",
         {15, [](int &r, uint8_t id, const auto &a) { return WriteMotionRow(r, id, a[0], a[1], a[2], Twelve(a, 3)); }}},
        {"read-motion-row",
         {2,
          [](int &r, uint8_t id, const auto &a) {
              QByteArray reply;
              return PrintReply(ReadMotionRow(r, id, a[0], a[1], reply), reply, 1, 13);
          }}},
        {"set-motion-length",
         {2, [](int &r, uint8_t id, const auto &a) { return SetMotionLength(r, id, a[0], a[1]); }}},
        {"get-motion-length",
         {1,
          [](int &r, uint8_t id, const auto &a) {
              int n = 0;
              const bool ok = GetMotionLength(r, id, a[0], n);
              return PrintOne(ok, n);
          }}},
        {"write-scenario-item",
         {3, [](int &r, uint8_t id, const auto &a) { return WriteScenarioItem(r, id, a[0], a[1], a[2]); }}},
        {"read-scenario-item",
         {2,
          [](int &r, uint8_t id, const auto &a) {
              int m = 0;
              const bool ok = ReadScenarioItem(r, id, a[0], a[1], m);
              return PrintOne(ok, m);
          }}},
        {"set-scenario-length",
         {2, [](int &r, uint8_t id, const auto &a) { return SetScenarioLength(r, id, a[0], a[1]); }}},
        {"get-scenario-length",
         {1,
          [](int &r, uint8_t id, const auto &a) {
              int n = 0;
              const bool ok = GetScenarioLength(r, id, a[0], n);
              return PrintOne(ok, n);
          }}},
        {"set-mode", {1, [](int &r, uint8_t id, const auto &a) { return SetMode(r, id, a[0]); }}},
        {"get-mode",
         {0,
          [](int &r, uint8_t id, const auto &) {
              uint8_t mode = 0;
              const bool ok = GetMode(r, id, mode);
              return PrintOne(ok, mode);
          }}},
        {"play-motion", {1, [](int &r, uint8_t id, const auto &a) { return PlayMotion(r, id, a[0]); }}},
        {"play-scenario", {1, [](int &r, uint8_t id, const auto &a) { return PlayScenario(r, id, a[0]); }}},
        {"write-assignment",
         {3, [](int &r, uint8_t id, const auto &a) { return WriteAssignment(r, id, a[0], a[1], a[2]); }}},
        {"read-assignment",
         {1,
          [](int &r, uint8_t id, const auto &a) {
              int pattern = 0, target = 0;
              const bool ok = ReadAssignment(r, id, a[0], pattern, target);
              if (ok)
                  std::printf("%d %d\n", pattern, target);
              return ok;
          }}},
        {"write-trim", {12, [](int &r, uint8_t id, const auto &a) { return WriteTrim(r, id, Twelve(a, 0)); }}},
        {"read-trim",
         {0,
          [](int &r, uint8_t id, const auto &) {
              QByteArray reply;
              return PrintReply(ReadTrim(r, id, reply), reply, 1, 12);
          }}},
    };
    return table;
}

struct Invocation {
    std::string port;
    int id = 0;
    int attempts = RetryCount;
    std::string command;
    std::vector<uint8_t> args;
};

Invocation Parse(const std::vector<std::string> &argv)
{
    Invocation inv;
    size_t i = 0;
    auto value = [&](const std::string &option) {
        if (i + 1 >= argv.size())
            throw BadArgument{option + " needs a value"};
        return argv[++i];
    };
    for (; i < argv.size(); ++i) {
        const std::string &arg = argv[i];
        if (arg == "--port")
            inv.port = value(arg);
        else if (arg == "--id")
            inv.id = ParseNumber(value(arg), "--id", 0, 255);
        else if (arg == "--attempts")
            inv.attempts = ParseNumber(value(arg), "--attempts", 1, 1000);
        else if (arg.rfind("--", 0) == 0)
            throw BadArgument{"unknown option " + arg};
        else
            break;
    }
    if (inv.port.empty())
        throw BadArgument{"--port DEVICE|COMn is required"};
    if (i >= argv.size())
        throw BadArgument{"no command given"};
    inv.command = argv[i++];
    const auto found = Commands().find(inv.command);
    if (found == Commands().end())
        throw BadArgument{"unknown command " + inv.command};
    const size_t given = argv.size() - i;
    if (int(given) != found->second.argCount)
        throw BadArgument{inv.command + " takes " + std::to_string(found->second.argCount) + " values, "
                          + std::to_string(given) + " given"};
    for (; i < argv.size(); ++i)
        inv.args.push_back(static_cast<uint8_t>(ParseNumber(argv[i], "a value", 0, 255)));
    return inv;
}

// "COM3" names a port by number; anything else is a device path.
int PortNumberFor(const std::string &port)
{
    static const QRegularExpression com(QStringLiteral("^(?:\\\\\\\\\\.\\\\)?COM([0-9]{1,3})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto match = com.match(QString::fromStdString(port));
    if (match.hasMatch() && match.captured(1).toInt() >= 1)
        return match.captured(1).toInt();
    constexpr int PathSlot = 1000;
    SetDevicePath(PathSlot, QString::fromStdString(port));
    return PathSlot;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (const int code = RunImageCommand(argc, argv); code >= 0)
        return code;
    Invocation inv;
    try {
        if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
            std::fputs(Usage, stdout);
            return 0;
        }
        inv = Parse(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const BadArgument &bad) {
        std::fprintf(stderr, "varkel: %s (see varkel --help)\n", bad.message.c_str());
        return 2;
    }

    CreateSerialPort(nullptr);
    SetupPort(PortNumberFor(inv.port), 115200);
    try {
        SerialPort->Open();
        SerialPort->PurgeReceive();
    } catch (const ECommError &e) {
        std::fprintf(stderr, "varkel: cannot open %s (%s): %s\n", inv.port.c_str(),
                     qPrintable(SerialPort->DevicePath()), qPrintable(e.Message()));
        ReleasePort();
        return 1;
    }
    int retry = inv.attempts;
    const bool ok = Commands().at(inv.command).run(retry, static_cast<uint8_t>(inv.id), inv.args);
    if (!ok)
        std::fprintf(stderr, "varkel: %s: no valid reply from board %d after %d attempt(s)\n", inv.command.c_str(),
                     inv.id, retry);
    std::fflush(stdout);
    ReleasePort();
    return ok ? 0 : 1;
}
