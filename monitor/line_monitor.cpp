#include "monitor/line_monitor.h"

#include "monitor/monitor_messages.h"
#include "protocol/commands.h"
#include "session/main_operations.h"
#include "session/prompt.h"
#include "session/window_place.h"
#include "textfile/file_io.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>

using orvane::monitor::BoardStats;
using orvane::monitor::LineLog;

namespace {

// The filter list's item data: none, a board ID, or a command byte offset by this.
constexpr int kNoFilter = -1;
constexpr int kCommandFilter = 1000;

const uint8_t kCommands[] = {
    Cmd::SendPositions,     Cmd::GetPositions,      Cmd::SetHomePosition, Cmd::GetHomePosition,   Cmd::WriteMotionRow,
    Cmd::ReadMotionRow,     Cmd::SetMotionLength,   Cmd::GetMotionLength, Cmd::WriteScenarioItem, Cmd::ReadScenarioItem,
    Cmd::SetScenarioLength, Cmd::GetScenarioLength, Cmd::SetMode,         Cmd::GetMode,           Cmd::PlayMotion,
    Cmd::PlayScenario,      Cmd::WriteAssignment,   Cmd::ReadAssignment,  Cmd::WriteTrim,         Cmd::ReadTrim};

QString Ms(double ms) { return ms < 0 ? QStringLiteral("-") : QString::number(ms, 'f', 1); }

// One line of plain text a cell, cut at its edge: the style's full item drawing lays every cell's text out
// anew, and the list is repainted while the boards wait for the next frame.
class LineCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const bool selected = cell.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = cell.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        if (selected)
            painter->fillRect(cell.rect, cell.palette.brush(group, QPalette::Highlight));
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setClipRect(cell.rect);
        painter->drawText(cell.rect.adjusted(kMargin, 0, -kMargin, 0), int(cell.displayAlignment) | Qt::TextSingleLine,
                          cell.text);
        painter->restore();
    }

private:
    static constexpr int kMargin = 3;
};

// The list, timing its own painting: what a refresh costs is mostly the paint that follows it.
class TimedTreeView : public QTreeView {
public:
    using QTreeView::QTreeView;
    double TakePaintMs() { return std::exchange(paintMs_, 0.0); }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QElapsedTimer clock;
        clock.start();
        QTreeView::paintEvent(event);
        paintMs_ += clock.nsecsElapsed() / 1e6;
    }

private:
    double paintMs_ = 0;
};

}  // namespace

TLineMonitor::TLineMonitor(QWidget *parent, MainOperations &main, const MonitorPlacement &placement,
                           std::size_t capacity)
    : QWidget(parent, Qt::Window), main_(main), log_(capacity)
{
    setObjectName(QStringLiteral("LineMonitor"));
    setWindowTitle(MonitorText(MonTitle));
    BuildControls();
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &TLineMonitor::RefreshTick);
    PlaceWindow(placement);
}

TLineMonitor::~TLineMonitor()
{
    if (CurrentLineObserver() == &log_)
        SetLineObserver(nullptr);
}

void TLineMonitor::BuildControls()
{
    MONITOR_PAUSE_CHK = new QCheckBox(MonitorText(MonPause), this);
    MONITOR_PAUSE_CHK->setObjectName(QStringLiteral("MONITOR_PAUSE_CHK"));
    MONITOR_CLEAR_BTN = new QPushButton(MonitorText(MonClear), this);
    MONITOR_CLEAR_BTN->setObjectName(QStringLiteral("MONITOR_CLEAR_BTN"));
    MONITOR_SAVE_BTN = new QPushButton(MonitorText(MonSave), this);
    MONITOR_SAVE_BTN->setObjectName(QStringLiteral("MONITOR_SAVE_BTN"));
    MONITOR_FILTER = new QComboBox(this);
    MONITOR_FILTER->setObjectName(QStringLiteral("MONITOR_FILTER"));
    MONITOR_FILTER->setToolTip(MonitorText(MonHintFilter));
    MONITOR_FILTER->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    MONITOR_FILTER->addItem(MonitorText(MonFilterAll), kNoFilter);
    for (uint8_t command : kCommands)
        MONITOR_FILTER->addItem(QString::fromLatin1(CommandName(command)), kCommandFilter + command);

    MONITOR_LIST = new TimedTreeView(this);
    MONITOR_LIST->setObjectName(QStringLiteral("MONITOR_LIST"));
    MONITOR_LIST->setModel(&log_);
    MONITOR_LIST->setUniformRowHeights(true);
    MONITOR_LIST->setRootIsDecorated(true);
    MONITOR_LIST->setAlternatingRowColors(true);
    MONITOR_LIST->setSelectionMode(QAbstractItemView::ExtendedSelection);
    MONITOR_LIST->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    MONITOR_LIST->setAllColumnsShowFocus(true);
    // Cut, not shortened with an ellipsis: the whole bytes are in the hint.
    MONITOR_LIST->setTextElideMode(Qt::ElideNone);
    MONITOR_LIST->setItemDelegate(new LineCellDelegate(MONITOR_LIST));
    const int widths[] = {80, 32, 130, 40, 250, 150, 90, 220};
    for (int c = 0; c < orvane::monitor::ColumnCount; ++c)
        MONITOR_LIST->setColumnWidth(c, widths[c]);

    // A port event reads across the whole line.
    const auto span = [this](int first, int last) {
        for (int row = first; row <= last; ++row)
            if (log_.IsPortEvent(row))
                MONITOR_LIST->setFirstColumnSpanned(row, {}, true);
    };
    connect(&log_, &QAbstractItemModel::rowsInserted, this, [span](const QModelIndex &parent, int first, int last) {
        if (!parent.isValid())
            span(first, last);
    });
    connect(&log_, &QAbstractItemModel::modelReset, this, [this, span] { span(0, log_.rowCount() - 1); });

    MONITOR_STATS = new QTableWidget(0, 7, this);
    MONITOR_STATS->setObjectName(QStringLiteral("MONITOR_STATS"));
    QStringList titles;
    for (int entry = MonStatId; entry <= MonStatLastAnswer; ++entry)
        titles << MonitorText(MonitorEntry(entry));
    MONITOR_STATS->setHorizontalHeaderLabels(titles);
    MONITOR_STATS->verticalHeader()->hide();
    MONITOR_STATS->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Sized once for the titles: measuring every cell anew at each change costs more than the table is worth.
    MONITOR_STATS->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    MONITOR_STATS->resizeColumnsToContents();

    auto *tools = new QHBoxLayout;
    tools->addWidget(MONITOR_PAUSE_CHK);
    tools->addWidget(MONITOR_CLEAR_BTN);
    tools->addWidget(MONITOR_SAVE_BTN);
    tools->addStretch(1);
    tools->addWidget(MONITOR_FILTER);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(MONITOR_LIST);
    split->addWidget(MONITOR_STATS);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(tools);
    layout->addWidget(split, 1);

    connect(MONITOR_PAUSE_CHK, &QCheckBox::clicked, this, &TLineMonitor::MONITOR_PAUSE_CHKClick);
    connect(MONITOR_CLEAR_BTN, &QPushButton::clicked, this, &TLineMonitor::MONITOR_CLEAR_BTNClick);
    connect(MONITOR_SAVE_BTN, &QPushButton::clicked, this, &TLineMonitor::MONITOR_SAVE_BTNClick);
    connect(MONITOR_FILTER, &QComboBox::activated, this, &TLineMonitor::MONITOR_FILTERChange);
}

void TLineMonitor::PlaceWindow(const MonitorPlacement &placement)
{
    const int width = placement.width > 0 ? placement.width : kDefaultWidth;
    const int height = placement.height > 0 ? placement.height : kDefaultHeight;
    resize(width, height);
    if (orvane::SavedPlaceOnScreen(placement.top, placement.left)) {
        move(placement.left, placement.top);
        if (placement.view)
            show();
        return;
    }
    move(orvane::CentredOnScreen(QSize(width, height)));
}

MonitorPlacement TLineMonitor::Placement() const { return {isVisible(), pos().y(), pos().x(), width(), height()}; }

void TLineMonitor::Open()
{
    show();
    raise();
    activateWindow();
}

void TLineMonitor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    SetLineObserver(&log_);
    refresh_.start();
    Refresh();
}

void TLineMonitor::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (CurrentLineObserver() == &log_)
        SetLineObserver(nullptr);
    refresh_.stop();
    Refresh();
}

void TLineMonitor::Refresh() { Refresh(true); }

void TLineMonitor::Refresh(bool counters)
{
    QScrollBar *bar = MONITOR_LIST->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    const int value = bar->value();
    const int removed = log_.Flush();
    if (atEnd)
        MONITOR_LIST->scrollToBottom();
    else if (removed > 0)
        bar->setValue(std::max(0, value - removed));  // the lines in view stay in view
    if (!counters)
        return;
    if (log_.TakeStatsChanged()) {
        ShowStats();
        OfferBoards();
    }
    countersShown_.start();
}

void TLineMonitor::RefreshTick()
{
    // The last refresh's paint has happened since; together they set the pace.
    double ms = static_cast<TimedTreeView *>(MONITOR_LIST)->TakePaintMs();
    QElapsedTimer cost;
    cost.start();
    Refresh(!countersShown_.isValid() || countersShown_.elapsed() >= kCountersMs);
    ms += cost.nsecsElapsed() / 1e6;
    refresh_.setInterval(std::clamp(int(ms * 100), kRefreshMs, kSlowestRefreshMs));
}

void TLineMonitor::ShowStats()
{
    const auto &stats = log_.Stats();
    MONITOR_STATS->setRowCount(int(stats.size()));
    int row = 0;
    for (const auto &[id, board] : stats) {
        const QString cells[] = {QString::number(id),
                                 QString::number(board.transactions),
                                 QString::number(board.failures),
                                 QString::number(board.retries),
                                 Ms(board.Percentile(0.5)),
                                 Ms(board.Percentile(0.99)),
                                 Ms(board.lastAnswerMs)};
        for (int c = 0; c < 7; ++c) {
            QTableWidgetItem *item = MONITOR_STATS->item(row, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                MONITOR_STATS->setItem(row, c, item);
            }
            item->setText(cells[c]);
        }
        ++row;
    }
}

void TLineMonitor::OfferBoards()
{
    QList<int> boards;
    for (const auto &[id, board] : log_.Stats())
        boards << id;
    for (int id : boards) {
        if (offeredBoards_.contains(id))
            continue;
        // Board entries follow "All" in ID order, before the commands.
        int at = 1;
        while (at < MONITOR_FILTER->count()) {
            const int data = MONITOR_FILTER->itemData(at).toInt();
            if (data >= kCommandFilter || data > id)
                break;
            ++at;
        }
        MONITOR_FILTER->insertItem(at, MonitorText(MonFilterBoard).arg(id), id);
        offeredBoards_ << id;
    }
}

void TLineMonitor::MONITOR_PAUSE_CHKClick() { log_.SetPaused(MONITOR_PAUSE_CHK->isChecked()); }

void TLineMonitor::MONITOR_CLEAR_BTNClick()
{
    log_.Clear();
    Refresh();
}

void TLineMonitor::MONITOR_SAVE_BTNClick()
{
    Refresh();
    const QString initial =
        QDir(main_.StartFolder()).filePath(orvane::DatedFileName(QDate::currentDate(), MonitorText(MonSaveSuffix)));
    const QString path = main_.UserPrompt().SaveFile(MonitorText(MonSaveTitle), MonitorText(MonSaveFilter), initial);
    if (path.isEmpty())
        return;
    QString error;
    if (!orvane::WriteFileAtomically(path, log_.SavedText().toUtf8(), &error))
        main_.UserPrompt().Message(PromptIcon::Warning, MonitorText(MonWarningTitle),
                                   MonitorText(MonSaveFailed).arg(path, error), PromptButtons::Ok);
}

void TLineMonitor::MONITOR_FILTERChange()
{
    const int data = MONITOR_FILTER->currentData().toInt();
    if (data == kNoFilter)
        log_.SetFilter(LineLog::Filter::None, 0);
    else if (data >= kCommandFilter)
        log_.SetFilter(LineLog::Filter::Command, data - kCommandFilter);
    else
        log_.SetFilter(LineLog::Filter::Board, data);
    MONITOR_LIST->scrollToBottom();
}
