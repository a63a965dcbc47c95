#pragma once
// What the line monitor holds, without widgets: a ring of the last transactions the protocol layer ran
// (the oldest go first), the statistics per board, the texts of each line and the saved file.
//
// As a tree model: one top row per transaction (or port event), newest last; a transaction that took
// more than one try has one child row per try, and one for late bytes thrown away. The observer calls
// only queue what they are told; Flush() hands it to the views, so a burst of transactions costs the
// views one update.
//
// User-interface thread only.

#include "protocol/line_observer.h"
#include "session/language.h"

#include <QAbstractItemModel>
#include <QStringList>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <vector>

namespace orvane::monitor {

inline constexpr std::size_t kCapacity = 100000;  // transactions kept

enum Column { ColTime, ColId, ColCommand, ColTry, ColSent, ColReceived, ColRoundTrip, ColOutcome, ColumnCount };

// Round trips are counted in steps of 0.1 ms up to this; longer ones count as this long.
inline constexpr int kLongestCountedRoundTripMs = 1000;

struct BoardStats {
    int transactions = 0;
    int failures = 0;
    int retries = 0;  // tries beyond the first
    int answers = 0;  // tries that got a reply of the full length
    double lastAnswerMs = -1;
    std::vector<uint32_t> roundTrips;  // answers per 0.1 ms step

    // The round trip below which `fraction` of the answers lie (nearest rank), to 0.1 ms; -1 without answers.
    double Percentile(double fraction) const;
};

// One top row: a transaction, or the port lost or back.
struct LogEntry {
    enum Kind : uint8_t { Transaction, PortLost, PortBack };
    static constexpr int kInlineFrame = 18;  // the longest frame: command, ID, 15 data bytes, checksum
    static constexpr int kInlineReply = 15;  // the longest reply

    // What a few transactions need besides: every try when there was more than one, bytes too long to
    // keep inline, the port of a port event.
    struct Detail {
        std::vector<LineTry> tries;
        QByteArray frame;
        QByteArray reply;
        int portNo = 0;
        QString path;
    };

    double startMs = 0;
    float roundTripMs = 0;  // of the deciding try
    Kind kind = Transaction;
    LineVerdict verdict = LineVerdict::Ok;  // of the deciding try
    uint8_t attempts = 0;
    uint8_t expected = 0;     // reply length waited for
    uint8_t frameLength = 0;  // 0xFF: in detail
    uint8_t replyLength = 0;  // 0xFF: in detail
    std::array<uint8_t, kInlineFrame> frame{};
    std::array<uint8_t, kInlineReply> reply{};
    std::unique_ptr<Detail> detail;

    QByteArray Frame() const;
    QByteArray Reply() const;  // of the deciding try
    bool HasTries() const { return detail && detail->tries.size() > 1; }
    bool Failed() const;
};

class LineLog : public QAbstractItemModel, public LineObserver {
    Q_OBJECT
public:
    enum class Filter { None, Board, Command };

    explicit LineLog(std::size_t capacity = kCapacity, QObject *parent = nullptr);
    ~LineLog() override;

    // LineObserver: counted at once, shown at the next Flush unless paused.
    void TransactionDone(const LineTransaction &transaction) override;
    void PortChanged(LinePortEvent event, int portNo, const QString &path) override;

    // Hands what came since the last call to the views; returns the top rows that left at the top.
    int Flush();
    void SetPaused(bool paused) { paused_ = paused; }
    bool Paused() const { return paused_; }
    // Empties the list, what waits for it and the counters.
    void Clear();
    // Narrows the top rows to one board ID or one command byte (port events always show).
    void SetFilter(Filter filter, int value);

    std::size_t Size() const { return ring_.size(); }  // entries kept, whatever the filter
    // A top row that tells of the port, not of a transaction: shown across the whole line.
    bool IsPortEvent(int row) const;
    std::size_t Capacity() const { return capacity_; }
    const std::map<int, BoardStats> &Stats() const { return stats_; }
    // True once after the counters changed.
    bool TakeStatsChanged();

    // The cells of a row as shown (index of any column); the header line and every line saved.
    QStringList RowTexts(const QModelIndex &index, int language = LanguageIndex) const;
    static QStringList HeaderTexts(int language = LanguageIndex);
    // Header, then one line per try of every top row shown (a port event is one line), tab-separated.
    QString SavedText(int language = LanguageIndex) const;

    // The outcome texts, for one try and for a whole transaction.
    static QString VerdictText(LineVerdict verdict, const QByteArray &reply, int expected,
                               int language = LanguageIndex);
    static QString OutcomeText(const LogEntry &entry, int language = LanguageIndex);

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool Shows(const LogEntry &entry) const;
    const LogEntry *EntryOfRow(int row) const;
    const LogEntry &EntryOfSerial(uint64_t serial) const { return ring_[serial - first_]; }
    int RowOfSerial(uint64_t serial) const;
    uint64_t SerialOfRow(int row) const;
    int TopRows() const;
    // tryIndex -1: the top row.
    QString CellText(const LogEntry &entry, int tryIndex, int column, int language = LanguageIndex) const;
    QStringList TopTexts(const LogEntry &entry, int language) const;
    QStringList TryTexts(const LogEntry &entry, int tryIndex, int language) const;
    void Count(const LineTransaction &transaction);

    const std::size_t capacity_;
    std::deque<LogEntry> ring_;
    uint64_t first_ = 0;             // serial of ring_.front()
    std::vector<LogEntry> pending_;  // told, not yet shown
    std::deque<uint64_t> shown_;     // serials of the top rows while a filter is set
    Filter filter_ = Filter::None;
    int filterValue_ = 0;
    bool paused_ = false;
    std::map<int, BoardStats> stats_;
    bool statsChanged_ = false;
};

}  // namespace orvane::monitor
