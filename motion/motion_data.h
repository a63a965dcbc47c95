#pragma once

#include "protocol/board_facts.h"
#include "textfile/decimal.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace orvane {

// Columns of a position data row: NO, DATA NAME, SPEED, then CH1 to CH24.
constexpr int kMotionFieldCount = 27;
constexpr int kNoColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kSpeedColumn = 2;
constexpr int kFirstChannelColumn = 3;

// The captions of a fresh list: "NO", "DATA_NAME", "SPEED", "CH1" to "CH24".
QStringList DefaultMotionCaptions();

// Whether `text` is `number` written as the editor numbers rows (plain decimal, no sign or leading zero).
bool IsRowNumber(QStringView text, int number);

// NO texts that differ from their row's position + 1, by row (ascending): all that a renumbering cannot
// give back by itself.
using NumberTexts = std::vector<std::pair<int, QString>>;

// Rows of 27 texts each, one heap block per row: the texts are joined in one
// string and located by end offsets kept in the same block, so 1,000,000 rows
// stay cheap to hold and 100,000 cheap to load and copy. Rows are shared, not
// copied, between copies, slices and undo steps, and a shared row is never
// changed in place. A widget-free container; MotionData wraps it as a model,
// and the file reader fills one of its own so that a rejected file touches
// nothing.
class MotionRows {
public:
    // One row built field by field, for readers that fill many rows without a
    // list of 27 strings per row. Fields past the 27th are dropped.
    class RowText {
    public:
        void Reserve(qsizetype length) { text_.reserve(length); }
        void Add(QStringView field);
        void AddNumber(int value);
        int Count() const { return count_; }

    private:
        friend class MotionRows;
        QString text_;
        std::array<qsizetype, kMotionFieldCount> end_{};
        int count_ = 0;
    };

    qsizetype Size() const { return qsizetype(rows_.size()); }
    bool Empty() const { return rows_.empty(); }
    void Reserve(qsizetype n) { rows_.reserve(size_t(n)); }

    // Out-of-range rows or columns read as an empty text.
    QStringView FieldView(qsizetype row, int column) const;
    QString Field(qsizetype row, int column) const { return FieldView(row, column).toString(); }
    QStringList Fields(qsizetype row) const;

    // Lists shorter than 27 are padded with empty texts, longer ones cut.
    void Append(const QStringList &fields);
    // Takes the built row (missing fields empty) and leaves `row` empty.
    void Append(RowText &&row);
    void Insert(qsizetype pos, const QStringList &fields);  // pos clamped to 0..size
    void Insert(qsizetype pos, const QList<QStringList> &rows);
    void SetField(qsizetype row, int column, QStringView text);
    // Replaces columns first.. with `texts` in order (as many as fit).
    void SetFields(qsizetype row, int first, const QStringList &texts);
    void Remove(qsizetype pos, qsizetype count = 1);
    // Removes rows given as ascending, distinct, valid positions in one pass.
    void RemoveSorted(const QList<int> &sortedRows);
    // The inverse: row i of `rows` goes to position sortedRows[i] (ascending, distinct), in one pass.
    void InsertSorted(const QList<int> &sortedRows, const MotionRows &rows);
    void Clear() { rows_.clear(); }

    // Rows [pos, pos + count) (held to the rows present); the texts are shared, not copied.
    MotionRows Slice(qsizetype pos, qsizetype count) const;
    // The rows at the given ascending positions; the texts are shared, not copied.
    MotionRows Pick(const QList<int> &sortedRows) const;
    // Rows [pos, pos + count) become the rows of `with`.
    void Splice(qsizetype pos, qsizetype count, const MotionRows &with);
    // Row `row` becomes row `fromRow` of `from` (shared).
    void Put(qsizetype row, const MotionRows &from, qsizetype fromRow);
    bool SameRow(qsizetype row, const MotionRows &other, qsizetype otherRow) const;

private:
    struct Block;
    // A counted reference to one row's block; null is a row of 27 empty texts.
    class Row {
    public:
        Row() = default;
        explicit Row(Block *block) : block_(block) {}
        Row(const Row &other);
        Row(Row &&other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
        Row &operator=(const Row &other);
        Row &operator=(Row &&other) noexcept;
        ~Row();

        Block *Get() const { return block_; }

    private:
        Block *block_ = nullptr;
    };
    // The row of `text` whose field c ends at ends[c] (ascending, the last one text's length).
    static Row MakeRow(QStringView text, const qsizetype *ends);
    static Row MakeRow(const QStringList &fields);
    bool Valid(qsizetype row, int column) const
    {
        return row >= 0 && row < Size() && column >= 0 && column < kMotionFieldCount;
    }

    std::vector<Row> rows_;
};

// The motion data: the one list of position data the program holds, as the
// model behind the motion editor's list. Cells are not editable in place;
// every change goes through the operations below, which raise the proper
// model signals.
class MotionData : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MotionData(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    const MotionRows &Rows() const { return rows_; }
    int Count() const { return int(rows_.Size()); }
    QString Field(int row, int column) const { return rows_.Field(row, column); }
    QStringList Fields(int row) const { return rows_.Fields(row); }

    const QStringList &Captions() const { return captions_; }
    void SetCaptions(const QStringList &captions);  // padded or cut to 27
    // Caption 3 + n follows the name of channel n (1 to 24).
    void SetChannelCaption(int channel, const QString &name);

    // Row operations; rows are given as 27 texts (NO first).
    void AppendRowFields(const QStringList &fields);
    // Before row `pos`; -1 or past the end appends.
    void InsertRowFields(int pos, const QStringList &fields);
    void InsertRowsFields(int pos, const QList<QStringList> &rows);
    void InsertRows(int pos, const MotionRows &rows);
    // Puts rows back where a delete took them from: row i of `rows` at position sortedRows[i].
    void RestoreRows(const QList<int> &sortedRows, const MotionRows &rows);
    // Fields 2 to 27 (DATA NAME, SPEED, CH1..CH24); NO stays.
    void OverwriteRow(int row, const QStringList &fieldsFromName);
    void SetField(int row, int column, const QString &text);
    // Columns first.. of each listed row (ascending) become `texts`.
    void SetFieldsOfRows(const QList<int> &rows, int first, const QStringList &texts);
    // Row rows[i] (ascending) becomes row i of `kept`.
    void PutRows(const QList<int> &rows, const MotionRows &kept);
    void DeleteRow(int row);
    // Deletes the given rows (any order, duplicates and strays ignored) from the
    // last to the first. Returns the lowest deleted position, or -1.
    int DeleteRows(QList<int> rows);
    void ClearRows();
    // NO of every row from `row` to the last becomes its position + 1.
    void RenumberFrom(int row) { RenumberFrom(row, {}, {}); }
    // The same, except rows in `keep` (ascending), whose NO stays, and rows in `texts`, whose NO becomes
    // the text given.
    void RenumberFrom(int row, const QList<int> &keep, const NumberTexts &texts);

    // Takes over a loaded file in one step: captions and rows.
    void ReplaceAll(const QStringList &captions, MotionRows rows);
    // Rows [from, from + count) become the rows of `with`: rows both sides have are changed in place, the
    // rest inserted or removed, each with its model signal, so that views keep what they can.
    void ReplaceRows(int from, int count, const MotionRows &with);

private:
    QStringList captions_;
    MotionRows rows_;
};

}  // namespace orvane
