// The varkel-sim program as a user or a script runs it.

#include "built_program.h"
#include "pty_client.h"
#include "sim_files.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using simtest::Clock;
using simtest::frame;
using simtest::hex;
using simtest::PtyClient;
using simtest::slurp;
using simtest::TempDir;
namespace fs = std::filesystem;

namespace {

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string> &args)
    {
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
        const std::string program = BuiltProgram(VARKEL_SIM_PATH);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            const int null = ::open("/dev/null", O_RDONLY);
            ::dup2(null, 0);
            std::vector<char *> argv{const_cast<char *>(program.c_str())};
            for (const auto &a : args)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }

    ~SimProcess()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    // First line of standard output, without its newline.
    std::string firstLine(std::chrono::milliseconds timeout = 2000ms)
    {
        std::string line;
        const auto deadline = Clock::now() + timeout;
        while (Clock::now() < deadline) {
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            char c;
            if (::read(out_, &c, 1) != 1)
                break;
            if (c == '\n')
                return line;
            line += c;
        }
        return "(no line: " + line + ")";
    }

    void signal(int sig) { ::kill(pid_, sig); }

    // Exit code, or -1 when it did not end normally in time.
    int wait(std::chrono::milliseconds timeout = 3000ms)
    {
        const auto deadline = Clock::now() + timeout;
        int status = 0;
        while (Clock::now() < deadline) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(5ms);
        }
        return -1;
    }

    // Everything the program wrote to the stream (call after wait()).
    std::string rest(bool fromStderr)
    {
        const int fd = fromStderr ? err_ : out_;
        std::string text;
        char buf[512];
        ssize_t n;
        while ((n = ::read(fd, buf, sizeof buf)) > 0)
            text.append(buf, std::size_t(n));
        return text;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
};

bool waitForFile(const fs::path &path, std::chrono::milliseconds timeout = 2000ms)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (fs::exists(path))
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

}  // namespace

TEST(VarkelSim, FirstLineIsTheDeviceAndBothBoardsAnswer)
{
    SimProcess sim({"--ids", "0,1"});
    const std::string device = sim.firstLine();
    ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;
    {
        PtyClient c(device);
        EXPECT_EQ(hex(c.ask(frame({0xF0, 1}), 3)), "01 00 01");
        EXPECT_EQ(hex(c.ask(frame({0xF0, 0}), 3)), "00 00 00");
        c.send(frame({0xF0, 2}));
        EXPECT_EQ(hex(c.readUntilQuiet(40ms)), "");
    }
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(sim.rest(false), "");
    EXPECT_EQ(sim.rest(true), "");
}

TEST(VarkelSim, LinkReplacesAnOldLinkAndGoesOnSigterm)
{
    TempDir dir;
    const fs::path link = dir.path / "ttyVARKEL";
    fs::create_symlink("/nonexistent", link);
    SimProcess sim({"--link", link.string()});
    const std::string device = sim.firstLine();
    ASSERT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link).string(), device);
    {
        PtyClient c(link.string());
        EXPECT_EQ(hex(c.ask(frame({0xF0, 0}), 3)), "00 00 00");
    }
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), {}), 0);
}

TEST(VarkelSim, LinkNeverReplacesAFile)
{
    TempDir dir;
    const fs::path file = dir.path / "precious";
    std::ofstream(file) << "keep\n";
    SimProcess sim({"--link", file.string()});
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_EQ(slurp(file), "keep\n");
    EXPECT_NE(sim.rest(true).find("not a symbolic link"), std::string::npos);
}

TEST(VarkelSim, BadArgumentsExitWithTwoAndOneLine)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"extra"},
        {"--ids", "256"},
        {"--ids", "0,1,2"},
        {"--ids", "1,1"},
        {"--ids", "0,"},
        {"--ids", "-1"},
        {"--ids"},
        {"--delay"},
        {"--delay", "soon"},
        {"--fault", "noreply:0xF0"},
        {"--fault", "split:any:1"},
        {"--fault", "lose:any:1"},
        {"--assign", "random"},
        {"--paced=yes"},
        {"--vanish-after", "0"},
        {"--log"},
        {"--hand", "/nonexistent/hand.txt"},
    };
    for (const auto &args : cases) {
        SimProcess sim(args);
        EXPECT_EQ(sim.wait(), 2) << args[0];
        EXPECT_EQ(sim.rest(false), "") << args[0];
        const std::string err = sim.rest(true);
        EXPECT_EQ(err.rfind("varkel-sim: ", 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_EQ(err.back(), '\n');
    }
}

TEST(VarkelSim, HelpDescribesOptionsAndFaults)
{
    SimProcess sim({"--help"});
    EXPECT_EQ(sim.wait(), 0);
    const std::string text = sim.rest(false);
    EXPECT_EQ(text.rfind("usage: varkel-sim", 0), 0u);
    for (const char *word : {"--ids", "--link", "--paced", "--delay", "--fault", "--log", "--dump", "--assign",
                             "noreply:0xF0:3", "split:any:1-5:40", "--hand", "TIME_MS CHANNEL VALUE"})
        EXPECT_NE(text.find(word), std::string::npos) << word;
}

TEST(VarkelSim, DumpsOnSigusr1AndAgainAtExit)
{
    TempDir dir;
    const fs::path dump = dir.path / "boards.txt";
    SimProcess sim({"--dump", dump.string(), "--assign", "garbage"});
    PtyClient c(sim.firstLine());
    EXPECT_EQ(hex(c.ask(frame({0xE9, 0, 0, 40, 20, 20, 20, 20, 20, 20, 20, 20, 20, 1}), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xEC, 0, 0}), 5)), "00 0F 0F FF 1D");
    sim.signal(SIGUSR1);
    ASSERT_TRUE(waitForFile(dump));
    std::string text = slurp(dump);
    EXPECT_EQ(text.rfind("board 0\nmode 0\n", 0), 0u);
    EXPECT_NE(text.find("\ntrims 0 40 20 20 20 20 20 20 20 20 20 1\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nassignment 0 255 255\n"), std::string::npos);

    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 1}), 2)), "00 06");
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
    text = slurp(dump);
    EXPECT_EQ(text.rfind("board 0\nmode 1\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 4), "end\n");
}

TEST(VarkelSim, AFailedFinalDumpIsNoSuccess)
{
    SimProcess sim({"--dump", "/nonexistent-dir/boards.txt"});
    EXPECT_EQ(sim.firstLine().rfind("/dev/pts/", 0), 0u);
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 1);
    EXPECT_NE(sim.rest(true).find("/nonexistent-dir/boards.txt"), std::string::npos);
}

TEST(VarkelSim, LogsFramesAndAppliesFaultsDelayAndPacing)
{
    TempDir dir;
    const fs::path log = dir.path / "frames.log";
    SimProcess sim(
        {"--log", log.string(), "--fault", "noreply:0xF0:1", "--fault=extra:any:2:2", "--delay=15", "--paced"});
    PtyClient c(sim.firstLine());
    c.send(frame({0xF0, 0}));
    EXPECT_EQ(hex(c.readUntilQuiet(60ms)), "");
    c.send(frame({0xF0, 0}));
    EXPECT_EQ(hex(c.readUntilQuiet(60ms)), "00 00 00 00 00");
    const auto start = Clock::now();
    EXPECT_EQ(c.ask(frame({0xFC, 0}), 14).size(), 14u);
    EXPECT_GE(Clock::now() - start, 15ms + std::chrono::microseconds(17 * 868 / 10));
    sim.signal(SIGINT);
    EXPECT_EQ(sim.wait(), 0);
    EXPECT_EQ(slurp(log), "F0 00 70\nF0 00 70\nFC 00 7C\n");
}

TEST(VarkelSim, HandScriptMovesAFreeChannelAndABadOneIsRefusedWithItsLine)
{
    TempDir dir;
    const fs::path hand = dir.path / "hand.txt";
    std::ofstream(hand) << "0 13 40\n0 2 150\n";
    SimProcess sim({"--ids", "0,1", "--hand", hand.string()});
    PtyClient c(sim.firstLine());
    EXPECT_EQ(hex(c.ask(frame({0xFD, 1, 0, 221, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xF1, 1, 2}), 2)), "01 06");
    EXPECT_EQ(hex(c.ask(frame({0xFC, 1}), 14)), "01 28 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 07");
    // CH2 is scripted but not FREE: the board answers as ever.
    EXPECT_EQ(hex(c.ask(frame({0xF1, 0, 2}), 2)), "00 06");
    EXPECT_EQ(hex(c.ask(frame({0xFC, 0}), 14)), "00 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 5A 38");
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);

    std::ofstream(hand) << "0 13 40\n100 13 200\n";
    SimProcess bad({"--hand", hand.string()});
    EXPECT_EQ(bad.wait(), 2);
    EXPECT_EQ(bad.rest(true),
              "varkel-sim: bad hand script: " + hand.string() + ": line 2: value '200' is not 0 to 180 (see --help)\n");
}

TEST(VarkelSim, Sigusr2UnplugsTheBoardAndRemovesTheLink)
{
    TempDir dir;
    const fs::path link = dir.path / "ttyVARKEL";
    SimProcess sim({"--link", link.string()});
    const std::string device = sim.firstLine();
    PtyClient c(device);
    EXPECT_EQ(c.ask(frame({0xF0, 0}), 3).size(), 3u);
    sim.signal(SIGUSR2);
    pollfd p{c.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    const auto deadline = Clock::now() + 2s;
    while (fs::exists(fs::symlink_status(link)) && Clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_FALSE(fs::exists(device));
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
}

TEST(VarkelSim, VanishAfterFramesUnplugsOnThatFrame)
{
    SimProcess sim({"--vanish-after", "2"});
    PtyClient c(sim.firstLine());
    EXPECT_EQ(c.ask(frame({0xF0, 0}), 3).size(), 3u);
    c.send(frame({0xF0, 0}));
    pollfd p{c.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(), 0);
}
