// A motion write of 100 rows through the motion editor to two line-paced virtual boards: wall time against
// the time the frames need on the line, and the longest stall of the event loop while it runs.

#include "motion/motion_form.h"
#include "protocol/commands.h"
#include "protocol/serial_port.h"
#include "protocol/transaction.h"
#include "session/board_operations.h"
#include "session/main_operations.h"
#include "session/prompt.h"
#include "sim/virtual_boards.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int BenchPort = 951;
constexpr double ByteUs = 1e6 * 10 / 115200;

// Every question answered OK or Yes.
class AgreeingPrompt : public Prompt {
public:
    PromptAnswer Message(PromptIcon, const QString &, const QString &, PromptButtons buttons) override
    {
        return buttons == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    bool Input(const QString &, const QString &, QString &) override { return false; }
    QString OpenFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFileReplacing(const QString &, const QString &, const QString &) override { return {}; }
    bool Color(uint32_t &) override { return false; }
};

// A main window of both boards whose sleep operations are the program's own.
class BenchMain : public MainOperations {
public:
    BenchMain() { boards_.SetIds(0, 1); }

    bool EnsureSleep() override { return boards_.EnsureSleep({}); }
    bool ReleaseSleep() override { return boards_.ReleaseSleep() == 0; }
    bool EnterSleep() override { return boards_.EnterSleep() == 0; }
    int BoardId(int group) const override { return boards_.Id(group); }
    void SetBoardId(int, int) override {}
    Prompt &UserPrompt() override { return prompt_; }

    void SetChannel(int, int, int) override {}
    void SetValueCode(int, int) override {}
    void ShowChannelValue(int) override {}
    bool SendBoardPositions(int, int) override { return true; }
    bool ReadBoardPositions() override { return true; }
    void ShowLinkStatus(int) override {}
    void ShowBoardMode(int) override {}
    void ReturnToHome() override {}
    void AddCurrentPosition() override {}
    void OverwriteSelectedPositions() override {}
    bool SyncMode() const override { return false; }
    int Speed() const override { return 0; }
    void SetSpeed(int) override {}
    int ValueCode(int) const override { return 90; }
    QString ValueText(int) const override { return QStringLiteral("90"); }
    int HomeValue(int) const override { return 90; }
    void SetHomeValue(int, int) override {}
    QString ProgramFolder() const override { return {}; }
    QString ChannelName(int channel) const override { return QStringLiteral("CH%1").arg(channel); }
    uint32_t PanelColor(int) const override { return 0x8000000F; }
    uint32_t NameColor(int) const override { return 0; }
    bool PanelVisible(int) const override { return true; }
    bool Hold() const override { return false; }
    void SetChannelLook(int, const QString &, uint32_t, uint32_t, bool) override {}
    void SetHold(bool) override {}
    void AddChannelLookListener(ChannelLookListener *) override {}

private:
    orvane::BoardOperations boards_{MainRetryCount};
    AgreeingPrompt prompt_;
};

int ReplyLength(uint8_t command)
{
    switch (command) {
    case Cmd::GetMode:
    case Cmd::GetMotionLength: return 3;
    case Cmd::ReadMotionRow: return 15;
    default: return 2;  // acknowledge
    }
}

struct Run {
    double wallMs = 0;
    double lineMs = 0;
    double worstStallMs = 0;
    size_t frames = 0;
};

Run WriteOnce(orvane::sim::VirtualBoards &boards, TMotionForm &form)
{
    boards.SetBoard(0, orvane::sim::BoardMemory(0));
    boards.SetBoard(1, orvane::sim::BoardMemory(1));
    boards.ClearFrames();

    QElapsedTimer clock;
    double lastTickMs = 0, worstMs = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        worstMs = std::max(worstMs, now - lastTickMs);
        lastTickMs = now;
    });
    tick.start(1);
    clock.start();
    form.MOT_WRITE_BTN->click();
    const double wallMs = clock.nsecsElapsed() / 1e6;
    tick.stop();
    worstMs = std::max(worstMs, wallMs - lastTickMs);

    Run run;
    run.wallMs = wallMs;
    run.worstStallMs = worstMs;
    double bytes = 0;
    for (const auto &frame : boards.Frames()) {
        bytes += double(frame.size()) + ReplyLength(frame[0]);
        ++run.frames;
    }
    run.lineMs = bytes * ByteUs / 1000;
    return run;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    orvane::sim::Options options;
    options.ids = {0, 1};
    options.paced = true;
    orvane::sim::VirtualBoards boards(options);
    SetDevicePath(BenchPort, QString::fromStdString(boards.SlavePath()));
    CreateSerialPort(nullptr);
    SetupPort(BenchPort, 115200);
    SerialPort->Open();

    BenchMain main;
    TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
    form.show();
    for (int r = 0; r < 100; ++r) {
        QStringList values;
        for (int ch = 1; ch <= 24; ++ch)
            values << QString::number((r * 7 + ch) % 181);
        form.AppendPosition(QStringLiteral("P%1").arg(r), QString::number(r % 8), values);
    }

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    std::vector<Run> all;
    for (int i = 0; i < runs; ++i)
        all.push_back(WriteOnce(boards, form));
    std::sort(all.begin(), all.end(), [](const Run &a, const Run &b) { return a.wallMs < b.wallMs; });
    double worstStall = 0;
    for (const Run &r : all)
        worstStall = std::max(worstStall, r.worstStallMs);
    const Run &median = all[all.size() / 2];
    const bool stored = boards.Board(1).motionLengths[0] == 100 && boards.Board(0).mode == 0;

    std::printf("motion write through the editor, 100 rows to two paced boards, %d runs (%zu frames each):\n", runs,
                median.frames);
    std::printf("  line time %.1f ms; wall median %.1f ms (ratio %.3f), best %.1f ms (%.3f), worst %.1f ms (%.3f);"
                " goal ratio <= 1.15\n",
                median.lineMs, median.wallMs, median.wallMs / median.lineMs, all.front().wallMs,
                all.front().wallMs / all.front().lineMs, all.back().wallMs, all.back().wallMs / all.back().lineMs);
    std::printf("  longest event-loop stall %.2f ms over all runs (median run %.2f ms); goal <= 16 ms\n", worstStall,
                median.worstStallMs);
    std::printf("  slot written and sleep released: %s\n", stored ? "yes" : "NO");
    ReleasePort();
    return stored ? 0 : 1;
}
