#include "tools/varkel_image.h"

#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/board_image.h"
#include "textfile/file_io.h"
#include "tools/varkel_port.h"

#include <QElapsedTimer>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct ImageInvocation {
    std::string port;
    std::vector<std::uint8_t> ids;  // empty: from the image (restore, verify) or board 0 (backup)
    std::string command;
    std::string file;
    bool home = false;  // restore: the home position too
};

bool IsImageCommand(const std::string &word) { return word == "backup" || word == "restore" || word == "verify"; }

enum class Parsed { NotImage, Help, Bad, Ok };

const char *const kImageHelp =
    "usage: varkel --port DEVICE|COMn [--id N [--id N]] backup|restore|verify FILE\n"
    "       varkel --port DEVICE|COMn [--id N [--id N]] restore --home FILE\n"
    "  backup FILE   reads the whole memory of the boards (default board 0) into a board image\n"
    "  restore FILE  puts the boards to sleep, writes the image (the home position excepted) and checks it\n"
    "    --home      then drives the servos to the image's home position at full speed and stores it as\n"
    "                the boards' home position, leaving them in default mode\n"
    "  verify FILE   compares the boards with the image and lists every difference\n"
    "restore and verify take the boards of the image, or those --id names; progress goes to a terminal.\n"
    "exit: 0 done and equal, 1 a failure or a difference, 2 a bad argument (nothing sent)\n";

// Options may stand before or after the command. `why` says what is wrong with a malformed line.
Parsed ParseImage(const std::vector<std::string> &args, ImageInvocation &inv, std::string &why)
{
    std::vector<std::string> words;
    bool help = false;
    std::string idError;  // told only once the command is known to be ours
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
        } else if (arg == "--home") {
            inv.home = true;
        } else if (arg.rfind("--", 0) == 0) {
            if (i + 1 < args.size())
                ++i;
            if (arg == "--port") {
                inv.port = args[i];
            } else if (arg == "--id") {
                const std::string &value = args[i];
                size_t used = 0;
                int id = -1;
                try {
                    id = std::stoi(value, &used, 10);
                } catch (...) {
                    used = 0;
                }
                if (used == 0 || used != value.size() || id < 0 || id > 254)
                    idError = "--id must be a number from 0 to 254, not '" + value + "'";
                else if (inv.ids.size() == 2 || (inv.ids.size() == 1 && inv.ids[0] == id))
                    idError = "--id names at most two different boards";
                else
                    inv.ids.push_back(std::uint8_t(id));
            } else {
                words.push_back(arg);  // someone else's option: decided below
            }
        } else {
            words.push_back(arg);
        }
    }
    // Other commands keep their own checks: only the first word decides.
    if (words.empty() || !IsImageCommand(words[0]))
        return Parsed::NotImage;
    if (help)
        return Parsed::Help;
    if (!idError.empty()) {
        why = idError;
        return Parsed::Bad;
    }
    for (const std::string &word : words) {
        if (word.rfind("--", 0) == 0) {
            why = "unknown option " + word + " for " + words[0];
            return Parsed::Bad;
        }
    }
    if (inv.port.empty()) {
        why = "--port DEVICE|COMn is required";
        return Parsed::Bad;
    }
    if (words.size() != 2) {
        why = words[0] + " takes one FILE";
        return Parsed::Bad;
    }
    if (inv.home && words[0] != "restore") {
        why = "--home belongs to restore";
        return Parsed::Bad;
    }
    inv.command = words[0];
    inv.file = words[1];
    return Parsed::Ok;
}

// A bar with the percentage and the time left on standard error, only when that is a terminal.
class ProgressBar {
public:
    ProgressBar() : shown_(isatty(STDERR_FILENO) == 1) { timer_.start(); }
    ~ProgressBar()
    {
        if (shown_ && drawn_)
            std::fputs("\n", stderr);
    }
    void Show(int done, int total)
    {
        done_ = done;
        total_ = std::max(total, 1);
        if (!shown_ || (timer_.elapsed() - last_ < 100 && done_ < total_))
            return;
        last_ = timer_.elapsed();
        drawn_ = true;
        const int percent = int(100LL * done_ / total_);
        const qint64 left = done_ > 0 ? timer_.elapsed() * (total_ - done_) / done_ / 1000 : 0;
        const int filled = percent * 30 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%  %lld:%02lld left ", std::string(size_t(filled), '#').c_str(),
                     std::string(size_t(30 - filled), ' ').c_str(), percent, left / 60, left % 60);
    }
    orvane::ImageProgress Counter()
    {
        return [this](int done, int total) { Show(done, total); };
    }

private:
    int total_ = 1;
    int done_ = 0;
    bool shown_;
    bool drawn_ = false;
    qint64 last_ = 0;
    QElapsedTimer timer_;
};

std::optional<orvane::BoardImage> ReadImageFile(const std::string &file)
{
    // The program's own readers' guard: no special files, nothing over their size limit.
    QByteArray json;
    bool missing = false;
    QString error;
    const QString path = QString::fromStdString(file);
    if (!orvane::ReadFileBytes(path, &json, &missing, &error) || missing) {
        if (missing)
            error = QStringLiteral("cannot read %1: no such file").arg(path);
        std::fprintf(stderr, "varkel: %s\n", qPrintable(error));
        return std::nullopt;
    }
    std::optional<orvane::BoardImage> image = orvane::BoardImageFromJson(json, &error);
    if (!image)
        std::fprintf(stderr, "varkel: %s is no board image this program understands (%s); nothing was sent\n",
                     file.c_str(), qPrintable(error));
    return image;
}

// The boards of the image that the IDs name (all of them when none are named).
bool PickBoards(orvane::BoardImage &image, const std::vector<std::uint8_t> &ids)
{
    if (ids.empty())
        return true;
    orvane::BoardImage picked;
    for (std::uint8_t id : ids) {
        const auto found = std::find_if(image.boards.begin(), image.boards.end(),
                                        [id](const orvane::ImageBoard &b) { return b.id == id; });
        if (found == image.boards.end()) {
            std::fprintf(stderr, "varkel: the image holds no board %d; nothing was sent\n", int(id));
            return false;
        }
        picked.boards.push_back(*found);
    }
    image = std::move(picked);
    return true;
}

// The boards' whole memory, with the bar on a terminal; the bar has ended its line when this returns.
std::optional<orvane::BoardImage> ReadBoards(const std::vector<std::uint8_t> &ids, QString *error)
{
    ProgressBar bar;
    return orvane::BackupBoards(ids, bar.Counter(), error);
}

int Backup(const ImageInvocation &inv)
{
    QString error;
    const std::optional<orvane::BoardImage> image =
        ReadBoards(inv.ids.empty() ? std::vector<std::uint8_t>{0} : inv.ids, &error);
    if (!image) {
        std::fprintf(stderr, "varkel: backup: %s; no file was written\n", qPrintable(error));
        return 1;
    }
    if (!orvane::WriteFileAtomically(QString::fromStdString(inv.file), orvane::BoardImageToJson(*image), &error)) {
        std::fprintf(stderr, "varkel: cannot write %s: %s\n", inv.file.c_str(), qPrintable(error));
        return 1;
    }
    return 0;
}

int Verify(const orvane::BoardImage &image)
{
    std::vector<std::uint8_t> ids;
    for (const orvane::ImageBoard &board : image.boards)
        ids.push_back(board.id);
    QString error;
    const std::optional<orvane::BoardImage> found = ReadBoards(ids, &error);
    if (!found) {
        std::fprintf(stderr, "varkel: verify: %s\n", qPrintable(error));
        return 1;
    }
    bool same = true;
    for (size_t i = 0; i < ids.size(); ++i) {
        for (const QString &line : orvane::CompareBoardImages(image.boards[i], found->boards[i], true)) {
            std::printf("%s\n", qPrintable(line));
            same = false;
        }
    }
    return same ? 0 : 1;
}

// The servos move at once: said before anything is sent, and asked when someone sits at the terminal.
bool HomeAgreed()
{
    std::fputs("varkel: restore --home drives the servos to the image's home position at full speed and stores "
               "it as the boards' home position. Keep the robot clear.\n",
               stderr);
    if (isatty(STDIN_FILENO) != 1)
        return true;
    std::fputs("Go on? [y/N] ", stderr);
    char answer[16] = {};
    return std::fgets(answer, sizeof answer, stdin) && (answer[0] == 'y' || answer[0] == 'Y');
}

int Restore(const orvane::BoardImage &image, bool withHome)
{
    orvane::RestoreOutcome outcome;
    {
        ProgressBar bar;
        outcome = orvane::RestoreBoards(image, withHome, bar.Counter());
    }
    for (const QString &line : outcome.differences)
        std::printf("%s\n", qPrintable(line));
    if (!outcome.completed) {
        std::fprintf(stderr, "varkel: restore: %s\n", qPrintable(outcome.error));
        return 1;
    }
    return outcome.differences.isEmpty() ? 0 : 1;
}

}  // namespace

int RunImageCommand(int argc, char **argv, const PortResolver &portNumber)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    ImageInvocation inv;
    std::string why;
    switch (ParseImage(args, inv, why)) {
    case Parsed::NotImage: return -1;
    case Parsed::Help: std::fputs(kImageHelp, stdout); return 0;
    case Parsed::Bad: std::fprintf(stderr, "varkel: %s (see varkel --help)\n", why.c_str()); return 2;
    case Parsed::Ok: break;
    }
    const int portNo = portNumber(inv.port, why);
    if (portNo < 0) {
        std::fprintf(stderr, "varkel: %s (see varkel --help)\n", why.c_str());
        return 2;
    }
    std::optional<orvane::BoardImage> image;
    if (inv.command != "backup") {
        image = ReadImageFile(inv.file);
        if (!image || !PickBoards(*image, inv.ids))
            return 1;
    }
    if (inv.home && !HomeAgreed())
        return 1;

    if (!OpenVarkelPort(inv.port, portNo))
        return 1;
    int code = 1;
    if (inv.command == "backup")
        code = Backup(inv);
    else if (inv.command == "restore")
        code = Restore(*image, inv.home);
    else
        code = Verify(*image);
    std::fflush(stdout);
    ReleasePort();
    return code;
}
