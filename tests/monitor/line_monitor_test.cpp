// The line monitor window beside a motion write on virtual boards, and its place in the main window.

#include "boards_on_line.h"
#include "fake_main.h"
#include "modal_wait.h"
#include "sleep_on_boards.h"

#include "app/main_form.h"
#include "app/main_windows.h"
#include "monitor/line_monitor.h"
#include "motion/motion_form.h"
#include "textfile/file_io.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

using orvane::monitor::ColCommand;
using orvane::monitor::ColOutcome;
using orvane::monitor::ColSent;
using orvane::monitor::LineLog;
using orvane::sim::Bytes;
using orvane::sim::Fault;
using orvane::sim::FaultKind;

namespace {

using BoardMain = SleepOnBoards<FakeMain>;

QString HexOf(const Bytes &b) { return QString::fromLatin1(AsByteArray(b).toHex(' ').toUpper()); }

class MonitorOnBoards : public BoardsOnLineTest<962> {
protected:
    void SetUp() override
    {
        BoardsOnLineTest::SetUp();
        main.ids = {0, 1};
        monitor.show();
    }
    void TearDown() override { monitor.hide(); }

    QString Cell(int row, int column) const
    {
        return monitor.Log().RowTexts(monitor.Log().index(row, 0)).value(column);
    }
    QStringList Column(int column) const
    {
        QStringList cells;
        for (int r = 0; r < monitor.Log().rowCount(); ++r)
            cells << Cell(r, column);
        return cells;
    }

    BoardMain main;
    TLineMonitor monitor{nullptr, main, MonitorPlacement{}};
};

}  // namespace

TEST_F(MonitorOnBoards, OpenDuringA100RowMotionWriteItShows200RowLinesAndTheLengthsAsTheyGo)
{
    TMotionForm form(nullptr, main, QString(), MotionFormPlacement{});
    for (int r = 0; r < 100; ++r) {
        QStringList values;
        for (int ch = 1; ch <= 24; ++ch)
            values << QString::number((r * 3 + ch) % 181);
        form.AppendPosition(QStringLiteral("P%1").arg(r), QString::number(r % 8), values);
    }
    boards->ClearFrames();
    // Rows answered 4 ms late make the write last about a second, as on a real line. The list grows while
    // it runs, not only once it is done.
    boards->AddFault(Fault{FaultKind::Late, 0xF9, 1, 0, 4});
    int growingMidway = 0;
    QObject::connect(&monitor.Log(), &QAbstractItemModel::rowsInserted,
                     [&] { growingMidway += form.TransferRunning() && monitor.Log().rowCount() < 200; });
    form.MOT_WRITE_BTN->click();
    monitor.Refresh();

    const QStringList commands = Column(ColCommand);
    EXPECT_EQ(commands.count(QStringLiteral("WriteMotionRow")), 200);
    EXPECT_EQ(commands.count(QStringLiteral("SetMotionLength")), 2);
    EXPECT_GT(growingMidway, 0);
    // Try for try what went on the line, and every line answered (a busy machine may make a board's answer
    // late enough for a second try, shown as such).
    std::vector<QString> sent;
    for (int r = 0; r < monitor.Log().rowCount(); ++r) {
        const int tries = Cell(r, orvane::monitor::ColTry).toInt();
        sent.insert(sent.end(), tries, Cell(r, ColSent));
        EXPECT_TRUE(Cell(r, ColOutcome) == QStringLiteral("OK") || tries > 1) << r;
        EXPECT_FALSE(monitor.Log().data(monitor.Log().index(r, 0), Qt::ForegroundRole).isValid()) << r;
    }
    std::vector<QString> frames;
    for (const Bytes &f : boards->Frames())
        frames.push_back(HexOf(f));
    EXPECT_EQ(sent, frames);
    // The mode is asked of the first board only.
    EXPECT_EQ(monitor.Log().Stats().at(0).transactions, monitor.Log().Stats().at(1).transactions + 1);
    EXPECT_EQ(monitor.MONITOR_STATS->rowCount(), 2);
    EXPECT_EQ(monitor.MONITOR_STATS->item(1, 0)->text(), QStringLiteral("1"));
    EXPECT_EQ(monitor.MONITOR_STATS->item(1, 2)->text(), QStringLiteral("0"));
}

TEST_F(MonitorOnBoards, ItsControlsCarryTheirNamesAndTheDeliveredLanguage)
{
    EXPECT_EQ(monitor.windowTitle(), QStringLiteral("通信モニター"));
    for (const char *name : {"MONITOR_LIST", "MONITOR_STATS", "MONITOR_PAUSE_CHK", "MONITOR_CLEAR_BTN",
                             "MONITOR_SAVE_BTN", "MONITOR_FILTER"})
        EXPECT_NE(monitor.findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(monitor.MONITOR_PAUSE_CHK->text(), QStringLiteral("一時停止"));
    EXPECT_EQ(monitor.MONITOR_CLEAR_BTN->text(), QStringLiteral("クリア"));
    EXPECT_EQ(monitor.MONITOR_LIST->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("時刻 (ms)"));
    EXPECT_EQ(monitor.MONITOR_LIST->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("結果"));
    EXPECT_EQ(monitor.MONITOR_STATS->horizontalHeaderItem(4)->text(), QStringLiteral("往復の中央値 (ms)"));
    EXPECT_EQ(monitor.MONITOR_FILTER->itemText(0), QStringLiteral("すべて"));
    EXPECT_EQ(monitor.MONITOR_FILTER->itemText(1), QStringLiteral("SendPositions"));
    // Shown, it watches the line; closed, nobody does.
    EXPECT_EQ(CurrentLineObserver(), &monitor.Log());
    monitor.hide();
    EXPECT_EQ(CurrentLineObserver(), nullptr);
}

TEST_F(MonitorOnBoards, TheListFollowsTheEndUnlessScrolledUpAndFailuresShowRed)
{
    monitor.resize(600, 300);
    const ChannelValues values{};
    int retry = MainRetryCount;
    for (int i = 0; i < 100; ++i)
        SendPositions(retry = MainRetryCount, uint8_t(i % 2), 0, values);
    monitor.Refresh();
    QScrollBar *bar = monitor.MONITOR_LIST->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(10);
    for (int i = 0; i < 20; ++i)
        SendPositions(retry = MainRetryCount, 0, 0, values);
    monitor.Refresh();
    EXPECT_EQ(bar->value(), 10);

    QApplication::processEvents();  // the list lays itself out anew
    bar->setValue(bar->maximum());
    boards->AddFault(Fault{FaultKind::NoReply, 0xFD, 1, 0});
    EXPECT_FALSE(SendPositions(retry = 2, 0, 0, values));
    monitor.Refresh();
    EXPECT_EQ(bar->value(), bar->maximum());
    const int last = monitor.Log().rowCount() - 1;
    EXPECT_EQ(monitor.Log().data(monitor.Log().index(last, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    // The failed transaction unfolds into its two tries.
    EXPECT_EQ(monitor.Log().rowCount(monitor.Log().index(last, 0)), 2);
    monitor.MONITOR_LIST->expand(monitor.Log().index(last, 0));
    EXPECT_TRUE(monitor.MONITOR_LIST->isExpanded(monitor.Log().index(last, 0)));
}

TEST_F(MonitorOnBoards, PauseClearFilterAndSaveWorkOnTheListShown)
{
    const ChannelValues values{};
    int retry = MainRetryCount;
    uint8_t mode = 0;
    SendPositions(retry, 0, 0, values);
    GetMode(retry = MainRetryCount, 1, mode);
    SendPositions(retry = MainRetryCount, 1, 0, values);
    monitor.Refresh();
    ASSERT_EQ(monitor.Log().rowCount(), 3);

    // The boards seen join the filter list after "All", before the commands.
    EXPECT_EQ(monitor.MONITOR_FILTER->itemText(1), QStringLiteral("ID 0"));
    EXPECT_EQ(monitor.MONITOR_FILTER->itemText(2), QStringLiteral("ID 1"));
    monitor.MONITOR_FILTER->setCurrentIndex(2);
    monitor.MONITOR_FILTERChange();
    EXPECT_EQ(Column(ColCommand), (QStringList{"GetMode", "SendPositions"}));
    monitor.MONITOR_FILTER->setCurrentIndex(monitor.MONITOR_FILTER->findText(QStringLiteral("SendPositions")));
    monitor.MONITOR_FILTERChange();
    EXPECT_EQ(monitor.Log().rowCount(), 2);

    // Saved: exactly the lines shown, under the header, in UTF-8.
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("line.txt"));
    main.ownPrompt.files.push_back(path);
    monitor.MONITOR_SAVE_BTN->click();
    EXPECT_EQ(main.ownPrompt.dialogs.value(0), QStringLiteral("通信の記録を保存する"));
    QByteArray saved;
    bool missing = true;
    ASSERT_TRUE(orvane::ReadFileBytes(path, &saved, &missing, nullptr));
    const QStringList lines = QString::fromUtf8(saved).split(u'\n');
    ASSERT_EQ(lines.size(), 4);  // header, two lines, and the end of the last
    EXPECT_EQ(lines[0], QStringLiteral("時刻 (ms)\tID\tコマンド\t試行\t送信\t受信\t往復 (ms)\t結果"));
    for (int r = 0; r < 2; ++r)
        EXPECT_EQ(lines[r + 1], monitor.Log().RowTexts(monitor.Log().index(r, 0)).join(u'\t'));
    EXPECT_EQ(lines[3], QString());

    // Paused: no lines, but counted. Cleared: nothing left of either.
    monitor.MONITOR_PAUSE_CHK->click();
    SendPositions(retry = MainRetryCount, 0, 0, values);
    monitor.Refresh();
    EXPECT_EQ(monitor.Log().rowCount(), 2);
    EXPECT_EQ(monitor.MONITOR_STATS->item(0, 1)->text(), QStringLiteral("2"));
    monitor.MONITOR_CLEAR_BTN->click();
    EXPECT_EQ(monitor.Log().Size(), 0u);
    EXPECT_EQ(monitor.MONITOR_STATS->rowCount(), 0);
    monitor.MONITOR_PAUSE_CHK->click();
}

TEST_F(MonitorOnBoards, ItKeepsUpWhileAModalEditorTransfers)
{
    // Each answer 20 ms late (inside the silence that ends a try): the commands wait, serving the events.
    boards->AddFault(Fault{FaultKind::Late, 0xFD, 1, 0, 20});
    QDialog editor;
    int linesWhileModal = 0;
    QObject::connect(&monitor.Log(), &QAbstractItemModel::rowsInserted,
                     [&] { linesWhileModal += QApplication::activeModalWidget() == &editor; });
    WhenModal([&](QWidget *) {
        const ChannelValues values{};
        for (int i = 0; i < 20; ++i) {
            int retry = RetryCount;
            EXPECT_TRUE(SendPositions(retry, 0, 0, values));
        }
        editor.accept();
    });
    editor.exec();
    EXPECT_GT(linesWhileModal, 0);
    monitor.Refresh();
    EXPECT_EQ(monitor.Log().rowCount(), 20);
}

// In the main window: the eighth tool button and Ctrl+M open it, ORV.ini keeps its place.

class MonitorInMainWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedPrompt prompt;
};

TEST_F(MonitorInMainWindow, TheEighthToolButtonAndCtrlMOpenItAndORVIniKeepsItsPlace)
{
    {
        TMainForm form(dir.path(), prompt);
        EXPECT_FALSE(form.MONITOR_BTN->isEnabled());
        MainWindows windows(form);
        EXPECT_TRUE(form.MONITOR_BTN->isEnabled());
        EXPECT_EQ(form.MONITOR_BTN->toolTip(), QStringLiteral("通信モニター"));
        EXPECT_TRUE(form.MONITOR_BTN->autoRaise());
        EXPECT_FALSE(form.MONITOR_BTN->icon().isNull());
        // At the right end of the tool row, which still fits the window.
        EXPECT_EQ(form.MONITOR_BTN->geometry(), QRect(205, 1, 28, 28));
        for (QWidget *w : {static_cast<QWidget *>(form.EXIT_BTN), static_cast<QWidget *>(form.CommPort)})
            EXPECT_FALSE(form.MONITOR_BTN->geometry().intersects(w->geometry()));
        EXPECT_LE(form.Desktop->geometry().right(), form.width());

        EXPECT_FALSE(windows.monitor.isVisible());
        form.MONITOR_BTN->click();
        EXPECT_TRUE(windows.monitor.isVisible());
        EXPECT_FALSE(windows.monitor.isModal());
        windows.monitor.hide();
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(form.DATA_NAME, Qt::Key_M, Qt::ControlModifier);
        EXPECT_TRUE(windows.monitor.isVisible());
        windows.monitor.resize(700, 400);
        form.SaveSettings();
    }
    QByteArray ini;
    bool missing = true;
    ASSERT_TRUE(orvane::ReadFileBytes(QDir(dir.path()).filePath("ORV.ini"), &ini, &missing, nullptr));
    EXPECT_TRUE(ini.contains("\r\nMonitorView=1\r\n")) << ini.right(200).toStdString();
    EXPECT_TRUE(ini.contains("\r\nMonitorWidth=700\r\nMonitorHeight=400\r\n")) << ini.right(200).toStdString();

    // Started again, it comes back where it was.
    TMainForm form(dir.path(), prompt);
    MainWindows windows(form);
    EXPECT_EQ(windows.monitor.size(), QSize(700, 400));
    ReleasePort();
}
