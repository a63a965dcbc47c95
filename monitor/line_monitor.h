#pragma once
// TLineMonitor: every frame on the line, its reply, its timing and why a board did not answer, with the
// counts per board. Not modal: it stays open beside the other windows and follows the line also while they
// transfer, modal editors included (the commands serve the event loop while they wait, and the list catches
// up five times a second); while a modal window runs it is shown, not used.
// It watches the line only while it is shown; closed, the protocol layer records nothing.

#include "monitor/line_log.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class MainOperations;
class QCheckBox;
class QComboBox;
class QPushButton;
class QTableWidget;
class QTreeView;

// The Monitor keys of ORV.ini: what the window restores at creation and what SaveSettings writes back.
struct MonitorPlacement {
    bool view = false;
    int top = -1;
    int left = -1;
    int width = -1;
    int height = -1;
};

class TLineMonitor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 1040;
    static constexpr int kDefaultHeight = 520;
    // The list catches up this often, or less often when catching up costs more than 1 % of the time
    // (a full ring lays 100,000 lines out anew), so that the board traffic it shows is not slowed down.
    static constexpr int kRefreshMs = 200;
    static constexpr int kSlowestRefreshMs = 1000;
    static constexpr int kCountersMs = 1000;  // the counters below the list change at most this often

    TLineMonitor(QWidget *parent, MainOperations &main, const MonitorPlacement &placement,
                 std::size_t capacity = orvane::monitor::kCapacity);
    ~TLineMonitor() override;

    // Shows the window in front (the main window's button and Ctrl+M).
    void Open();
    MonitorPlacement Placement() const;
    orvane::monitor::LineLog &Log() { return log_; }
    const orvane::monitor::LineLog &Log() const { return log_; }
    // What the refresh timer does: the new lines into the list, the end followed, the counters shown.
    void Refresh();

    void MONITOR_PAUSE_CHKClick();
    void MONITOR_CLEAR_BTNClick();
    void MONITOR_SAVE_BTNClick();
    void MONITOR_FILTERChange();

    QTreeView *MONITOR_LIST = nullptr;
    QTableWidget *MONITOR_STATS = nullptr;
    QCheckBox *MONITOR_PAUSE_CHK = nullptr;
    QPushButton *MONITOR_CLEAR_BTN = nullptr;
    QPushButton *MONITOR_SAVE_BTN = nullptr;
    QComboBox *MONITOR_FILTER = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void RefreshTick();
    void Refresh(bool counters);
    void BuildControls();
    void PlaceWindow(const MonitorPlacement &placement);
    void ShowStats();
    void OfferBoards();

    MainOperations &main_;
    orvane::monitor::LineLog log_;
    QTimer refresh_;
    QElapsedTimer countersShown_;
    QList<int> offeredBoards_;
};
