// main_form_bench: how long the main window takes to come up on a full ORV.ini, and how long a slider
// track event takes to put the first byte of its SendPositions frame on the line.

#include "app/main_form.h"
#include "measure.h"
#include "protocol/serial_port.h"
#include "session/prompt.h"
#include "sim/pty.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

class SilentPrompt : public Prompt {
public:
    PromptAnswer Message(PromptIcon, const QString &, const QString &, PromptButtons b) override
    {
        return b == PromptButtons::YesNo ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    bool Input(const QString &, const QString &, QString &) override { return false; }
    QString OpenFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFileReplacing(const QString &, const QString &, const QString &) override { return {}; }
    bool Color(uint32_t &) override { return false; }
};

void Report(const char *what, std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    std::printf("%-44s n=%zu  median %.1f us  p90 %.1f us  max %.1f us\n", what, us.size(), us[us.size() / 2],
                us[us.size() * 9 / 10], us.back());
}

// Every key written, with names, colours, a moved desktop and its selection.
void WriteFullIni(const QString &folder, SilentPrompt &prompt)
{
    TMainForm form(folder, prompt);
    for (int n = 1; n <= orvane::kChannelCount; ++n)
        form.SetChannelLook(n, QStringLiteral("サーボ%1").arg(n), 0x102030u * uint32_t(n % 7), 0xFFFFFF, n % 5 != 0);
    for (int d = 1; d <= 10; ++d)
        form.Desktop->setItemText(d, QStringLiteral("配置%1").arg(d));
    form.Desktop->setCurrentIndex(4);
    form.SaveSettings();
}

void BenchStart()
{
    QTemporaryDir dir;
    SilentPrompt prompt;
    WriteFullIni(dir.path(), prompt);
    std::vector<double> us;
    double first = 0;
    for (int i = 0; i < 21; ++i) {
        const int64_t t0 = NowNs();
        {
            TMainForm form(dir.path(), prompt);
            form.show();
            while (!form.windowHandle() || !form.windowHandle()->isExposed())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QCoreApplication::processEvents();
            const double t = (NowNs() - t0) / 1000.0;
            if (i == 0)
                first = t;
            else
                us.push_back(t);
            form.hide();
        }
    }
    std::printf("%-44s %.1f ms (first window of the process)\n", "start to main window shown", first / 1000.0);
    Report("start to main window shown, later windows", us);
}

void BenchTrack()
{
    orvane::sim::Pty pty = orvane::sim::OpenPty();
    constexpr int kPort = 950;
    SetDevicePath(kPort, QString::fromStdString(pty.slavePath));
    CreateSerialPort(nullptr);
    SetupPort(kPort, 115200);
    SerialPort->Open();

    // The board: notes when a frame's first byte arrives and acknowledges the whole frame.
    std::atomic<int64_t> firstByteNs{0};
    std::atomic<bool> stop{false};
    std::thread board([&] {
        unsigned char buffer[64];
        int inFrame = 0;
        while (!stop) {
            pollfd p{pty.master, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const ssize_t n = ::read(pty.master, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            if (inFrame == 0)
                firstByteNs = NowNs();
            inFrame += int(n);
            if (inFrame >= 16) {
                inFrame = 0;
                const unsigned char ack[2] = {0x00, 0x06};
                (void)!::write(pty.master, ack, 2);
            }
        }
    });

    QTemporaryDir dir;
    QFile ini(QDir(dir.path()).filePath(QStringLiteral("ORV.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Orvane]\r\nCH1-12ID=0\r\nCH13-24ID=255\r\n");
    ini.close();
    SilentPrompt prompt;
    TMainForm form(dir.path(), prompt);
    form.SYNC_MODE->click();
    QScrollBar *bar = form.CH_BAR[5];

    std::vector<double> us;
    for (int i = 0; i < 500; ++i) {
        firstByteNs = 0;
        bar->setSliderDown(true);
        const int64_t t0 = NowNs();
        bar->setSliderPosition(i % 2 ? 100 : 80);
        bar->setSliderDown(false);
        if (firstByteNs != 0)
            us.push_back((firstByteNs - t0) / 1000.0);
    }
    stop = true;
    board.join();
    ReleasePort();
    orvane::sim::ClosePty(pty);
    Report("slider track event to first frame byte", us);
}

}  // namespace

int main(int argc, char **argv)
{
    UseOffscreenUnlessSet();
    QApplication app(argc, argv);
    BenchStart();
    BenchTrack();
    return 0;
}
