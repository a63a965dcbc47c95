// A port whose device goes away (the virtual boards unplugged) is closed, watched, and opened again once the
// same device path is back, without the port list being touched; choosing otherwise ends the watch.

#include "built_program.h"
#include "modal_wait.h"
#include "scripted_prompt.h"

#include "app/main_form.h"
#include "app/main_windows.h"
#include "motion/motion_form.h"
#include "protocol/line_observer.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"
#include "textfile/file_io.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <thread>

using orvane::sim::Bytes;
using orvane::sim::VirtualBoards;

namespace {

const char *const kInterrupted = "通信が中断されました";

// Serves the event loop until done() or the time is up.
bool ServeUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// Slider n moved in sync mode: one SendPositions to its board.
void Slide(TMainForm &form, int channel, int to)
{
    QScrollBar *bar = form.CH_BAR[channel];
    bar->setSliderDown(true);
    bar->setSliderPosition(to);
    bar->setSliderDown(false);
}

class PortComesBack : public ::testing::Test {
protected:
    void SetUp() override
    {
        link = QDir(dir.path()).filePath(QStringLiteral("COM5-link"));
        QFile ini(QDir(dir.path()).filePath(QStringLiteral("ORV.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Orvane]\r\nCommPort=5\r\nCH1-12ID=0\r\nCH13-24ID=1\r\n[Ports]\r\nCOM5=" + link.toUtf8() + "\r\n");
    }
    void TearDown() override
    {
        form.reset();
        ReleasePort();
        ClearDevicePaths();
    }

    // In-process boards behind the link, as varkel-sim --link makes them.
    void PlugIn()
    {
        orvane::sim::Options options;
        options.ids = {0, 1};
        boards = std::make_unique<VirtualBoards>(options);
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(QString::fromStdString(boards->SlavePath()), link));
    }
    // The device goes, and its name with it.
    void Unplug()
    {
        boards->Vanish();
        QFile::remove(link);
    }
    void OpenMainWindow()
    {
        form = std::make_unique<TMainForm>(dir.path(), prompt);
        ASSERT_TRUE(SerialPort && SerialPort->IsOpen());
        ASSERT_EQ(prompt.Texts(), QStringList{QStringLiteral("COM5 設定完了")});
        form->SYNC_MODE->click();
    }
    bool WaitLost()
    {
        return ServeUntil([&] { return !SerialPort->IsOpen() && form->StatusField(3) == "COM5 切断"; }, 2000);
    }
    bool WaitBack()
    {
        return ServeUntil([&] { return SerialPort->IsOpen(); }, 3000);
    }

    QTemporaryDir dir;
    QString link;
    ScriptedPrompt prompt;
    std::unique_ptr<VirtualBoards> boards;
    std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(PortComesBack, UnpluggedAndStartedAgainOnTheSameLinkTheNextSliderMoveReachesTheBoards)
{
    // varkel-sim itself: SIGUSR2 pulls the cable and takes its link away.
    const QString log1 = QDir(dir.path()).filePath("first.log"), log2 = QDir(dir.path()).filePath("second.log");
    QProcess first, second;
    const QStringList args{"--ids", "0,1", "--link", link};
    first.start(QString::fromStdString(BuiltProgram(VARKEL_SIM_PATH)), args + QStringList{"--log", log1});
    ASSERT_TRUE(first.waitForReadyRead(5000));
    OpenMainWindow();
    Slide(*form, 5, 100);
    ASSERT_TRUE(ServeUntil([&] { return QFile(log1).size() > 0; }, 2000));

    ::kill(pid_t(first.processId()), SIGUSR2);
    EXPECT_TRUE(WaitLost()) << form->StatusField(3).toStdString();
    EXPECT_EQ(form->PortKeeper().Waiting(), true);

    second.start(QString::fromStdString(BuiltProgram(VARKEL_SIM_PATH)), args + QStringList{"--log", log2});
    ASSERT_TRUE(second.waitForReadyRead(5000));
    QElapsedTimer back;
    back.start();
    ASSERT_TRUE(WaitBack());
    EXPECT_LT(back.elapsed(), 500 + 1000);  // looked for every half second, opened in 100 ms; a busy machine
    EXPECT_EQ(form->StatusField(3), QStringLiteral("COM5 再接続"));
    EXPECT_EQ(form->CommPort->currentIndex(), 5);
    EXPECT_EQ(prompt.boxes.size(), 1u);  // nothing asked or told in a box

    Slide(*form, 5, 120);
    ASSERT_TRUE(ServeUntil([&] { return QFile(log2).size() > 0; }, 2000));
    QByteArray logged;
    bool missing = true;
    ASSERT_TRUE(orvane::ReadFileBytes(log2, &logged, &missing, nullptr));
    EXPECT_EQ(logged, "FD 00 00 5A 5A 5A 5A 78 5A 5A 5A 5A 5A 5A 5A 53\n");
    first.terminate();
    second.terminate();
    first.waitForFinished();
    second.waitForFinished();
}

TEST_F(PortComesBack, ChoosingOffOrAnotherPortStopsTheWatchAndNothingIsSentToTheOldOne)
{
    PlugIn();
    OpenMainWindow();
    Unplug();
    ASSERT_TRUE(WaitLost());

    form->CommPort->setCurrentIndex(0);
    form->CommPortCloseUp();
    EXPECT_FALSE(form->PortKeeper().Waiting());
    EXPECT_EQ(form->StatusField(3), QString());
    PlugIn();
    ServeUntil([] { return false; }, 1200);
    EXPECT_FALSE(SerialPort->IsOpen());
    Slide(*form, 5, 100);
    EXPECT_TRUE(boards->Frames().empty());

    // Lost again, then another port chosen (one that does not open): the old one stays closed.
    form->CommPort->setCurrentIndex(5);
    form->CommPortCloseUp();
    ASSERT_TRUE(SerialPort->IsOpen());
    Unplug();
    ASSERT_TRUE(WaitLost());
    SetDevicePath(6, QDir(dir.path()).filePath("nothing-here"));
    form->CommPort->setCurrentIndex(6);
    form->CommPortCloseUp();
    EXPECT_FALSE(form->PortKeeper().Waiting());
    PlugIn();
    ServeUntil([] { return false; }, 1200);
    EXPECT_FALSE(SerialPort->IsOpen());
    EXPECT_EQ(SerialPort->PortNo(), 6);
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(PortComesBack, ASecondUnplugDuringAWriteGivesOneMessageTheRowsStayAndTheWriteRunsAgain)
{
    PlugIn();
    OpenMainWindow();
    MainWindows windows(*form);
    TMotionForm &motion = windows.motion;
    for (int r = 0; r < 100; ++r) {
        QStringList values;
        for (int ch = 1; ch <= 24; ++ch)
            values << QString::number((r + ch) % 181);
        motion.AppendPosition(QStringLiteral("P%1").arg(r), QString::number(r % 8), values);
    }
    // The monitor shows the losses too.
    windows.monitor.show();

    Unplug();
    ASSERT_TRUE(WaitLost());
    PlugIn();
    ASSERT_TRUE(WaitBack());

    // Pulled again after 40 rows of the write.
    prompt.boxes.clear();
    std::atomic<bool> done{false};
    std::thread cable([&] {
        while (!done && boards->Frames().size() < 43)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        Unplug();
    });
    motion.MOT_WRITE_BTN->click();
    done = true;
    cable.join();
    int errors = 0;
    for (const ShownBox &box : prompt.boxes)
        errors += box.icon == PromptIcon::Error;
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(prompt.boxes.back().text, QString::fromUtf8(kInterrupted));
    EXPECT_EQ(motion.RowCount(), 100);
    EXPECT_TRUE(motion.isEnabled());
    ASSERT_TRUE(WaitLost());

    PlugIn();
    ASSERT_TRUE(WaitBack());
    prompt.boxes.clear();
    motion.MOT_WRITE_BTN->click();
    int rows = 0;
    for (const Bytes &f : boards->Frames())
        rows += f[0] == 0xF9;
    EXPECT_EQ(rows, 200);
    EXPECT_EQ(boards->Board(1).motionLengths[0], 100);
    for (const ShownBox &box : prompt.boxes)
        EXPECT_NE(box.icon, PromptIcon::Error) << box.text.toStdString();

    windows.monitor.Refresh();
    QStringList events;
    auto &log = windows.monitor.Log();
    for (int r = 0; r < log.rowCount(); ++r) {
        if (!log.IsPortEvent(r))
            continue;
        const QStringList cells = log.RowTexts(log.index(r, 0));
        events << cells.value(orvane::monitor::ColOutcome);
        // Shown across the line, after its time.
        EXPECT_TRUE(windows.monitor.MONITOR_LIST->isFirstColumnSpanned(r, {}));
        EXPECT_EQ(log.data(log.index(r, 0)).toString(), cells.first() + "   " + cells.last());
    }
    const QString lost = PortWatchText(PortLostLong, 5, link), back = PortWatchText(PortBackLong, 5, link);
    EXPECT_EQ(events, (QStringList{lost, back, lost, back}));
    EXPECT_EQ(lost, QStringLiteral("COM5 (%1) が外れました。つながるのを待っています").arg(link));
    windows.monitor.hide();
}
