#include "monitor/line_log.h"

#include "monitor/monitor_messages.h"
#include "protocol/commands.h"
#include "session/port_watch.h"

#include <QColor>
#include <QFontDatabase>

#include <algorithm>
#include <cmath>

namespace orvane::monitor {

namespace {

constexpr int kBins = kLongestCountedRoundTripMs * 10 + 1;
constexpr uint8_t kInDetail = 0xFF;

QString Ms(double ms) { return QString::number(ms, 'f', 1); }

QString Hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex(' ').toUpper()); }

QString CommandText(const QByteArray &frame)
{
    if (frame.isEmpty())
        return {};
    const uint8_t command = static_cast<uint8_t>(frame[0]);
    if (const char *name = CommandName(command))
        return QString::fromLatin1(name);
    return QStringLiteral("0x") + QString::number(command, 16).toUpper().rightJustified(2, u'0');
}

QString IdText(const QByteArray &frame)
{
    return frame.size() > 1 ? QString::number(static_cast<uint8_t>(frame[1])) : QString();
}

int Bin(double ms) { return std::clamp(int(std::lround(ms * 10)), 0, kBins - 1); }

bool Answered(LineVerdict verdict)
{
    return verdict != LineVerdict::NoReply && verdict != LineVerdict::ShortReply && verdict != LineVerdict::PortClosed
           && verdict != LineVerdict::SentOnly && verdict != LineVerdict::LateBytes;
}

template <std::size_t N>
uint8_t KeepInline(std::array<uint8_t, N> &to, const QByteArray &bytes)
{
    if (bytes.size() > qsizetype(N))
        return kInDetail;
    std::copy(bytes.begin(), bytes.end(), to.begin());
    return uint8_t(bytes.size());
}

}  // namespace

double BoardStats::Percentile(double fraction) const
{
    if (answers == 0)
        return -1;
    const auto rank = std::max<int64_t>(1, int64_t(std::ceil(fraction * answers)));
    int64_t seen = 0;
    for (std::size_t bin = 0; bin < roundTrips.size(); ++bin) {
        seen += roundTrips[bin];
        if (seen >= rank)
            return double(bin) / 10;
    }
    return kLongestCountedRoundTripMs;
}

QByteArray LogEntry::Frame() const
{
    if (frameLength == kInDetail)
        return detail->frame;
    return QByteArray(reinterpret_cast<const char *>(frame.data()), frameLength);
}

QByteArray LogEntry::Reply() const
{
    if (replyLength == kInDetail)
        return detail->reply;
    return QByteArray(reinterpret_cast<const char *>(reply.data()), replyLength);
}

bool LogEntry::Failed() const { return kind == PortLost || (kind == Transaction && IsFailure(verdict)); }

LineLog::LineLog(std::size_t capacity, QObject *parent)
    : QAbstractItemModel(parent), capacity_(std::max<std::size_t>(1, capacity))
{}

LineLog::~LineLog()
{
    if (CurrentLineObserver() == this)
        SetLineObserver(nullptr);
}

void LineLog::Count(const LineTransaction &transaction)
{
    if (transaction.frame.size() < 2 || transaction.tries.empty())
        return;
    BoardStats &board = stats_[static_cast<uint8_t>(transaction.frame[1])];
    if (board.roundTrips.empty())
        board.roundTrips.assign(kBins, 0);
    const LineTry &deciding = transaction.Deciding();
    ++board.transactions;
    board.failures += IsFailure(deciding.verdict);
    board.retries += transaction.Attempts() - 1;
    if (Answered(deciding.verdict)) {
        ++board.answers;
        ++board.roundTrips[Bin(deciding.roundTripMs)];
        board.lastAnswerMs = deciding.startMs + deciding.roundTripMs;
    }
    statsChanged_ = true;
}

void LineLog::TransactionDone(const LineTransaction &transaction)
{
    if (transaction.tries.empty())
        return;
    Count(transaction);
    if (paused_)
        return;
    const LineTry &deciding = transaction.Deciding();
    LogEntry entry;
    entry.startMs = transaction.tries.front().startMs;
    entry.roundTripMs = float(deciding.roundTripMs);
    entry.verdict = deciding.verdict;
    entry.attempts = uint8_t(std::min(transaction.Attempts(), 255));
    entry.expected = uint8_t(std::clamp(transaction.expected, 0, 255));
    entry.frameLength = KeepInline(entry.frame, transaction.frame);
    entry.replyLength = KeepInline(entry.reply, deciding.reply);
    if (transaction.tries.size() > 1 || entry.frameLength == kInDetail || entry.replyLength == kInDetail) {
        entry.detail = std::make_unique<LogEntry::Detail>();
        if (transaction.tries.size() > 1)
            entry.detail->tries = transaction.tries;
        if (entry.frameLength == kInDetail)
            entry.detail->frame = transaction.frame;
        if (entry.replyLength == kInDetail)
            entry.detail->reply = deciding.reply;
    }
    pending_.push_back(std::move(entry));
}

void LineLog::PortChanged(LinePortEvent event, int portNo, const QString &path)
{
    if (paused_)
        return;
    LogEntry entry;
    entry.kind = event == LinePortEvent::Lost ? LogEntry::PortLost : LogEntry::PortBack;
    entry.startMs = LineClockMs();
    entry.detail = std::make_unique<LogEntry::Detail>();
    entry.detail->portNo = portNo;
    entry.detail->path = path;
    pending_.push_back(std::move(entry));
}

bool LineLog::TakeStatsChanged() { return std::exchange(statsChanged_, false); }

bool LineLog::Shows(const LogEntry &entry) const
{
    if (filter_ == Filter::None || entry.kind != LogEntry::Transaction)
        return true;
    const QByteArray frame = entry.Frame();
    const int at = filter_ == Filter::Board ? 1 : 0;
    return frame.size() > at && static_cast<uint8_t>(frame[at]) == filterValue_;
}

int LineLog::TopRows() const { return int(filter_ == Filter::None ? ring_.size() : shown_.size()); }

uint64_t LineLog::SerialOfRow(int row) const { return filter_ == Filter::None ? first_ + uint64_t(row) : shown_[row]; }

int LineLog::RowOfSerial(uint64_t serial) const
{
    if (serial < first_ || serial >= first_ + ring_.size())
        return -1;
    if (filter_ == Filter::None)
        return int(serial - first_);
    const auto it = std::lower_bound(shown_.begin(), shown_.end(), serial);
    return it != shown_.end() && *it == serial ? int(it - shown_.begin()) : -1;
}

const LogEntry *LineLog::EntryOfRow(int row) const
{
    if (row < 0 || row >= TopRows())
        return nullptr;
    return &EntryOfSerial(SerialOfRow(row));
}

bool LineLog::IsPortEvent(int row) const
{
    const LogEntry *entry = EntryOfRow(row);
    return entry && entry->kind != LogEntry::Transaction;
}

int LineLog::Flush()
{
    if (pending_.empty())
        return 0;
    // More than the ring holds came at once: the oldest of them are dropped unseen, so whatever leaves
    // the ring below is at most all of it.
    if (pending_.size() > capacity_)
        pending_.erase(pending_.begin(), pending_.end() - qsizetype(capacity_));

    int removedRows = 0;
    const std::size_t overflow =
        ring_.size() + pending_.size() > capacity_ ? ring_.size() + pending_.size() - capacity_ : 0;
    if (overflow > 0) {
        const uint64_t newFirst = first_ + overflow;
        if (filter_ == Filter::None)
            removedRows = int(overflow);
        else
            removedRows = int(std::lower_bound(shown_.begin(), shown_.end(), newFirst) - shown_.begin());
        if (removedRows > 0)
            beginRemoveRows({}, 0, removedRows - 1);
        ring_.erase(ring_.begin(), ring_.begin() + qsizetype(overflow));
        first_ = newFirst;
        if (filter_ != Filter::None)
            shown_.erase(shown_.begin(), shown_.begin() + removedRows);
        if (removedRows > 0)
            endRemoveRows();
    }

    int shownNew = 0;
    for (const LogEntry &entry : pending_)
        shownNew += Shows(entry);
    const int firstRow = TopRows();
    if (shownNew > 0)
        beginInsertRows({}, firstRow, firstRow + shownNew - 1);
    for (LogEntry &entry : pending_) {
        if (filter_ != Filter::None && Shows(entry))
            shown_.push_back(first_ + ring_.size());
        ring_.push_back(std::move(entry));
    }
    pending_.clear();
    if (shownNew > 0)
        endInsertRows();
    return removedRows;
}

void LineLog::Clear()
{
    beginResetModel();
    first_ += ring_.size();
    ring_.clear();
    shown_.clear();
    pending_.clear();
    stats_.clear();
    endResetModel();
    statsChanged_ = true;
}

void LineLog::SetFilter(Filter filter, int value)
{
    if (filter == filter_ && value == filterValue_)
        return;
    beginResetModel();
    filter_ = filter;
    filterValue_ = value;
    shown_.clear();
    if (filter_ != Filter::None) {
        for (std::size_t i = 0; i < ring_.size(); ++i)
            if (Shows(ring_[i]))
                shown_.push_back(first_ + i);
    }
    endResetModel();
}

QString LineLog::VerdictText(LineVerdict verdict, const QByteArray &reply, int expected, int language)
{
    switch (verdict) {
    case LineVerdict::Ok: return MonitorText(MonOk, language);
    case LineVerdict::NoReply: return MonitorText(MonNoReply, language);
    case LineVerdict::ShortReply: return MonitorText(MonShortReply, language).arg(reply.size()).arg(expected);
    case LineVerdict::BadChecksum: return MonitorText(MonBadChecksum, language);
    case LineVerdict::WrongId:
        return MonitorText(MonWrongId, language).arg(reply.isEmpty() ? 0 : static_cast<uint8_t>(reply[0]));
    case LineVerdict::NotAcknowledged: return MonitorText(MonNotAcknowledged, language);
    case LineVerdict::LateBytes: return MonitorText(MonLateBytes, language);
    case LineVerdict::SentOnly: return MonitorText(MonSentOnly, language);
    case LineVerdict::PortClosed: return MonitorText(MonPortClosed, language);
    }
    return {};
}

QString LineLog::OutcomeText(const LogEntry &entry, int language)
{
    if (entry.kind != LogEntry::Transaction) {
        const PortWatchEntry text = entry.kind == LogEntry::PortLost ? PortLostLong : PortBackLong;
        return kPortWatchMessages.Text(language, text).arg(entry.detail->portNo).arg(entry.detail->path);
    }
    if (entry.verdict == LineVerdict::Ok && entry.attempts > 1)
        return MonitorText(MonOkAfter, language).arg(entry.attempts);
    return VerdictText(entry.verdict, entry.Reply(), entry.expected, language);
}

QString LineLog::CellText(const LogEntry &entry, int tryIndex, int column, int language) const
{
    if (entry.kind != LogEntry::Transaction)
        return column == ColTime ? Ms(entry.startMs) : column == ColOutcome ? OutcomeText(entry, language) : QString();
    const bool top = tryIndex < 0;
    const LineTry *t = top ? nullptr : &entry.detail->tries[tryIndex];
    const bool late = t && t->verdict == LineVerdict::LateBytes;
    switch (column) {
    case ColTime: return Ms(top ? entry.startMs : t->startMs);
    case ColId: return IdText(entry.Frame());
    case ColCommand: return CommandText(entry.Frame());
    case ColTry:
        return top ? QString::number(entry.attempts) : late ? QStringLiteral("-") : QString::number(tryIndex + 1);
    case ColSent: return late ? QString() : Hex(entry.Frame());
    case ColReceived: return Hex(top ? entry.Reply() : t->reply);
    case ColRoundTrip: return Ms(top ? entry.roundTripMs : t->roundTripMs);
    case ColOutcome:
        return top ? OutcomeText(entry, language) : VerdictText(t->verdict, t->reply, entry.expected, language);
    default: return {};
    }
}

QStringList LineLog::TopTexts(const LogEntry &entry, int language) const
{
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << CellText(entry, -1, column, language);
    return texts;
}

QStringList LineLog::TryTexts(const LogEntry &entry, int tryIndex, int language) const
{
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << CellText(entry, tryIndex, column, language);
    return texts;
}

QStringList LineLog::RowTexts(const QModelIndex &index, int language) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() == 0) {
        const LogEntry *entry = EntryOfRow(index.row());
        return entry ? TopTexts(*entry, language) : QStringList();
    }
    const uint64_t serial = index.internalId() - 1;
    if (serial < first_ || serial >= first_ + ring_.size())
        return {};
    const LogEntry &entry = EntryOfSerial(serial);
    if (!entry.HasTries() || index.row() >= int(entry.detail->tries.size()))
        return {};
    return TryTexts(entry, index.row(), language);
}

QStringList LineLog::HeaderTexts(int language)
{
    QStringList texts;
    for (int entry = MonColTime; entry <= MonColOutcome; ++entry)
        texts << MonitorText(MonitorEntry(entry), language);
    return texts;
}

QString LineLog::SavedText(int language) const
{
    QString text = HeaderTexts(language).join(u'\t') + u'\n';
    const int rows = TopRows();
    for (int row = 0; row < rows; ++row) {
        const LogEntry &entry = EntryOfSerial(SerialOfRow(row));
        if (!entry.HasTries()) {
            text += TopTexts(entry, language).join(u'\t') + u'\n';
            continue;
        }
        for (int i = 0; i < int(entry.detail->tries.size()); ++i)
            text += TryTexts(entry, i, language).join(u'\t') + u'\n';
    }
    return text;
}

QModelIndex LineLog::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= ColumnCount)
        return {};
    if (!parent.isValid())
        return row < TopRows() ? createIndex(row, column, quintptr(0)) : QModelIndex();
    if (parent.internalId() != 0)
        return {};
    const LogEntry *entry = EntryOfRow(parent.row());
    if (!entry || !entry->HasTries() || row >= int(entry->detail->tries.size()))
        return {};
    return createIndex(row, column, quintptr(SerialOfRow(parent.row()) + 1));
}

QModelIndex LineLog::parent(const QModelIndex &child) const
{
    if (!child.isValid() || child.internalId() == 0)
        return {};
    const int row = RowOfSerial(child.internalId() - 1);
    return row < 0 ? QModelIndex() : createIndex(row, 0, quintptr(0));
}

int LineLog::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return TopRows();
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    const LogEntry *entry = EntryOfRow(parent.row());
    return entry && entry->HasTries() ? int(entry->detail->tries.size()) : 0;
}

int LineLog::columnCount(const QModelIndex &) const { return ColumnCount; }

bool LineLog::hasChildren(const QModelIndex &parent) const { return rowCount(parent) > 0; }

QVariant LineLog::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const LogEntry *entry = nullptr;
        int tryIndex = -1;
        if (index.internalId() == 0) {
            entry = EntryOfRow(index.row());
        } else if (RowOfSerial(index.internalId() - 1) >= 0) {
            entry = &EntryOfSerial(index.internalId() - 1);
            tryIndex = entry->HasTries() && index.row() < int(entry->detail->tries.size()) ? index.row() : -2;
        }
        if (!entry || tryIndex == -2)
            return {};
        if (entry->kind != LogEntry::Transaction && index.column() == ColTime)
            return CellText(*entry, -1, ColTime) + QStringLiteral("   ") + CellText(*entry, -1, ColOutcome);
        return CellText(*entry, tryIndex, index.column());
    }
    case Qt::ForegroundRole: {
        bool failed = false;
        if (index.internalId() == 0) {
            const LogEntry *entry = EntryOfRow(index.row());
            failed = entry && entry->Failed();
        } else if (RowOfSerial(index.internalId() - 1) >= 0) {
            const LogEntry &entry = EntryOfSerial(index.internalId() - 1);
            failed = entry.HasTries() && index.row() < int(entry.detail->tries.size())
                     && IsFailure(entry.detail->tries[index.row()].verdict);
        }
        return failed ? QVariant(QColor(Qt::red)) : QVariant();
    }
    case Qt::FontRole:
        if (index.column() == ColSent || index.column() == ColReceived) {
            static const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            return fixed;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ColTime || index.column() == ColRoundTrip || index.column() == ColId
            || index.column() == ColTry)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    default: return {};
    }
}

QVariant LineLog::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return HeaderTexts().at(section);
}

}  // namespace orvane::monitor
