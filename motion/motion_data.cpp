#include "motion/motion_data.h"

#include <algorithm>

namespace orvane {

QStringList DefaultMotionCaptions()
{
    QStringList captions{QStringLiteral("NO"), QStringLiteral("DATA_NAME"), QStringLiteral("SPEED")};
    for (int n = 1; n <= kChannelCount; ++n)
        captions.append(QStringLiteral("CH%1").arg(n));
    return captions;
}

bool IsRowNumber(QStringView text, int number)
{
    if (number < 0 || text.isEmpty() || text.size() > 10)
        return false;
    qsizetype i = text.size();
    do {
        if (i == 0 || text[--i] != QChar(u'0' + number % 10))
            return false;
        number /= 10;
    } while (number > 0);
    return i == 0;
}

namespace {

// Ascending positions as contiguous runs (first, last).
QList<std::pair<int, int>> Runs(const QList<int> &sorted)
{
    QList<std::pair<int, int>> runs;
    for (int r : sorted) {
        if (!runs.isEmpty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.append({r, r});
    }
    return runs;
}

// Scattered positions in a long list would cost a tail move per run; past this many runs one linear pass
// under a model reset is cheaper. A reset drops the views' selection, which the editor sets again anyway.
constexpr qsizetype kMaxSignalledRuns = 64;

}  // namespace

MotionRows::Row MotionRows::MakeRow(const QStringList &fields)
{
    Row row;
    const qsizetype n = std::min<qsizetype>(fields.size(), kMotionFieldCount);
    qsizetype length = 0;
    for (qsizetype i = 0; i < n; ++i)
        length += fields[i].size();
    row.text.reserve(length);
    for (qsizetype i = 0; i < kMotionFieldCount; ++i) {
        if (i < n)
            row.text.append(fields[i]);
        row.end[size_t(i)] = std::uint32_t(row.text.size());
    }
    return row;
}

QStringView MotionRows::FieldView(qsizetype row, int column) const
{
    if (!Valid(row, column))
        return {};
    const Row &r = rows_[size_t(row)];
    const std::uint32_t start = column == 0 ? 0 : r.end[size_t(column - 1)];
    return QStringView(r.text).mid(start, r.end[size_t(column)] - start);
}

QStringList MotionRows::Fields(qsizetype row) const
{
    QStringList out;
    if (row < 0 || row >= Size())
        return out;
    out.reserve(kMotionFieldCount);
    for (int c = 0; c < kMotionFieldCount; ++c)
        out.append(FieldView(row, c).toString());
    return out;
}

void MotionRows::Append(const QStringList &fields) { rows_.push_back(MakeRow(fields)); }

void MotionRows::RowText::Add(QStringView field)
{
    if (count_ >= kMotionFieldCount)
        return;
    text_.append(field);
    end_[size_t(count_++)] = std::uint32_t(text_.size());
}

void MotionRows::RowText::AddNumber(int value)
{
    if (count_ >= kMotionFieldCount)
        return;
    AppendDecimal(text_, value);
    end_[size_t(count_++)] = std::uint32_t(text_.size());
}

void MotionRows::Append(RowText &&row)
{
    Row made;
    // A row with room to spare is copied to its size, so that a file of many short rows holds no
    // slack per row; the builder then keeps its block for the next row.
    if (row.text_.capacity() - row.text_.size() > row.text_.size() / 8 + 8) {
        made.text = QString(row.text_.constData(), row.text_.size());
        row.text_.resize(0);
    } else {
        made.text = std::move(row.text_);
        row.text_ = QString();
    }
    made.end = row.end_;
    for (int c = row.count_; c < kMotionFieldCount; ++c)
        made.end[size_t(c)] = std::uint32_t(made.text.size());
    rows_.push_back(std::move(made));
    row.count_ = 0;
}

void MotionRows::Insert(qsizetype pos, const QStringList &fields)
{
    pos = std::clamp<qsizetype>(pos, 0, Size());
    rows_.insert(rows_.begin() + pos, MakeRow(fields));
}

void MotionRows::Insert(qsizetype pos, const QList<QStringList> &rows)
{
    pos = std::clamp<qsizetype>(pos, 0, Size());
    std::vector<Row> made;
    made.reserve(size_t(rows.size()));
    for (const QStringList &r : rows)
        made.push_back(MakeRow(r));
    rows_.insert(rows_.begin() + pos, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
}

void MotionRows::SetField(qsizetype row, int column, QStringView text)
{
    if (!Valid(row, column))
        return;
    Row &r = rows_[size_t(row)];
    const std::uint32_t start = column == 0 ? 0 : r.end[size_t(column - 1)];
    const std::uint32_t stop = r.end[size_t(column)];
    if (qsizetype(stop - start) == text.size()) {
        // Renumbering mostly keeps a number's length: written in place (a shared text is detached first).
        if (QStringView(r.text).mid(start, stop - start) != text)
            std::copy(text.begin(), text.end(), r.text.begin() + start);
        return;
    }
    QString rebuilt;
    rebuilt.reserve(r.text.size() - (stop - start) + text.size());
    rebuilt.append(QStringView(r.text).left(start));
    rebuilt.append(text);
    rebuilt.append(QStringView(r.text).mid(stop));
    const std::int64_t delta = std::int64_t(text.size()) - std::int64_t(stop - start);
    for (int c = column; c < kMotionFieldCount; ++c)
        r.end[size_t(c)] = std::uint32_t(std::int64_t(r.end[size_t(c)]) + delta);
    r.text = std::move(rebuilt);
}

void MotionRows::SetFields(qsizetype row, int first, const QStringList &texts)
{
    if (row < 0 || row >= Size() || first < 0)
        return;
    if (texts.size() == 1) {  // a speed or a name: no need to take the row apart
        SetField(row, first, texts.front());
        return;
    }
    QStringList all = Fields(row);
    for (qsizetype i = 0; i < texts.size() && first + i < kMotionFieldCount; ++i)
        all[first + i] = texts[i];
    rows_[size_t(row)] = MakeRow(all);
}

void MotionRows::Remove(qsizetype pos, qsizetype count)
{
    if (pos < 0 || count <= 0 || pos >= Size())
        return;
    count = std::min(count, Size() - pos);
    rows_.erase(rows_.begin() + pos, rows_.begin() + pos + count);
}

void MotionRows::RemoveSorted(const QList<int> &sortedRows)
{
    size_t out = 0;
    qsizetype next = 0;
    for (size_t r = 0; r < rows_.size(); ++r) {
        if (next < sortedRows.size() && size_t(sortedRows[next]) == r) {
            ++next;
            continue;
        }
        if (out != r)
            rows_[out] = std::move(rows_[r]);
        ++out;
    }
    rows_.resize(out);
}

void MotionRows::InsertSorted(const QList<int> &sortedRows, const MotionRows &rows)
{
    const qsizetype n = std::min(sortedRows.size(), rows.Size());
    if (n == 0)
        return;
    std::vector<Row> merged;
    merged.reserve(rows_.size() + size_t(n));
    size_t old = 0;
    for (qsizetype i = 0; i < n; ++i) {
        while (qsizetype(merged.size()) < sortedRows[i] && old < rows_.size())
            merged.push_back(std::move(rows_[old++]));
        merged.push_back(rows.rows_[size_t(i)]);
    }
    while (old < rows_.size())
        merged.push_back(std::move(rows_[old++]));
    rows_ = std::move(merged);
}

MotionRows MotionRows::Pick(const QList<int> &sortedRows) const
{
    MotionRows out;
    out.rows_.reserve(size_t(sortedRows.size()));
    for (int r : sortedRows) {
        if (r >= 0 && r < Size())
            out.rows_.push_back(rows_[size_t(r)]);
    }
    return out;
}

void MotionRows::Put(qsizetype row, const MotionRows &from, qsizetype fromRow)
{
    if (row >= 0 && row < Size() && fromRow >= 0 && fromRow < from.Size())
        rows_[size_t(row)] = from.rows_[size_t(fromRow)];
}

MotionRows MotionRows::Slice(qsizetype pos, qsizetype count) const
{
    MotionRows out;
    pos = std::clamp<qsizetype>(pos, 0, Size());
    count = std::clamp<qsizetype>(count, 0, Size() - pos);
    out.rows_.assign(rows_.begin() + pos, rows_.begin() + pos + count);
    return out;
}

void MotionRows::Splice(qsizetype pos, qsizetype count, const MotionRows &with)
{
    pos = std::clamp<qsizetype>(pos, 0, Size());
    count = std::clamp<qsizetype>(count, 0, Size() - pos);
    const qsizetype common = std::min(count, with.Size());
    std::copy(with.rows_.begin(), with.rows_.begin() + common, rows_.begin() + pos);
    if (with.Size() > count)
        rows_.insert(rows_.begin() + pos + common, with.rows_.begin() + common, with.rows_.end());
    else
        rows_.erase(rows_.begin() + pos + common, rows_.begin() + pos + count);
}

bool MotionRows::SameRow(qsizetype row, const MotionRows &other, qsizetype otherRow) const
{
    if (row < 0 || row >= Size() || otherRow < 0 || otherRow >= other.Size())
        return false;
    const Row &a = rows_[size_t(row)];
    const Row &b = other.rows_[size_t(otherRow)];
    return a.end == b.end && a.text == b.text;
}

MotionData::MotionData(QObject *parent) : QAbstractTableModel(parent), captions_(DefaultMotionCaptions()) {}

int MotionData::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count(); }

int MotionData::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : kMotionFieldCount; }

QVariant MotionData::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count() || index.column() >= kMotionFieldCount)
        return {};
    switch (role) {
    case Qt::DisplayRole: return rows_.Field(index.row(), index.column());
    case Qt::TextAlignmentRole:
        // The speed and channel columns are centred in the list.
        return index.column() >= kSpeedColumn ? int(Qt::AlignCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
    }
}

QVariant MotionData::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < captions_.size() ? QVariant(captions_[section]) : QVariant();
    return section + 1;
}

Qt::ItemFlags MotionData::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void MotionData::SetCaptions(const QStringList &captions)
{
    QStringList fixed = captions.mid(0, kMotionFieldCount);
    while (fixed.size() < kMotionFieldCount)
        fixed.append(QString());
    captions_ = fixed;
    emit headerDataChanged(Qt::Horizontal, 0, kMotionFieldCount - 1);
}

void MotionData::SetChannelCaption(int channel, const QString &name)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    const int section = kFirstChannelColumn + channel - 1;
    captions_[section] = name;
    emit headerDataChanged(Qt::Horizontal, section, section);
}

void MotionData::AppendRowFields(const QStringList &fields) { InsertRowFields(-1, fields); }

void MotionData::InsertRowFields(int pos, const QStringList &fields)
{
    if (pos < 0 || pos > Count())
        pos = Count();
    beginInsertRows({}, pos, pos);
    rows_.Insert(pos, fields);
    endInsertRows();
}

void MotionData::InsertRowsFields(int pos, const QList<QStringList> &rows)
{
    if (rows.isEmpty())
        return;
    if (pos < 0 || pos > Count())
        pos = Count();
    beginInsertRows({}, pos, pos + int(rows.size()) - 1);
    rows_.Insert(pos, rows);
    endInsertRows();
}

void MotionData::OverwriteRow(int row, const QStringList &fieldsFromName)
{
    if (row < 0 || row >= Count())
        return;
    rows_.SetFields(row, kNameColumn, fieldsFromName);
    emit dataChanged(index(row, kNameColumn), index(row, kMotionFieldCount - 1));
}

void MotionData::SetField(int row, int column, const QString &text)
{
    if (row < 0 || row >= Count() || column < 0 || column >= kMotionFieldCount)
        return;
    rows_.SetField(row, column, text);
    emit dataChanged(index(row, column), index(row, column));
}

void MotionData::DeleteRow(int row)
{
    if (row < 0 || row >= Count())
        return;
    beginRemoveRows({}, row, row);
    rows_.Remove(row);
    endRemoveRows();
}

int MotionData::DeleteRows(QList<int> rows)
{
    const int n = Count();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [n](int r) { return r < 0 || r >= n; }), rows.end());
    if (rows.isEmpty())
        return -1;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    // Contiguous runs, each removed with one signal, from the last to the first.
    const QList<std::pair<int, int>> runs = Runs(rows);
    if (runs.size() <= kMaxSignalledRuns) {
        for (auto it = runs.crbegin(); it != runs.crend(); ++it) {
            beginRemoveRows({}, it->first, it->second);
            rows_.Remove(it->first, it->second - it->first + 1);
            endRemoveRows();
        }
    } else {
        beginResetModel();
        rows_.RemoveSorted(rows);
        endResetModel();
    }
    return rows.front();
}

void MotionData::RestoreRows(const QList<int> &sortedRows, const MotionRows &rows)
{
    if (sortedRows.isEmpty() || sortedRows.size() != rows.Size())
        return;
    const QList<std::pair<int, int>> runs = Runs(sortedRows);
    if (runs.size() <= kMaxSignalledRuns) {
        // From the first to the last: each run lands where it stood, the ones before it already in place.
        qsizetype taken = 0;
        for (const auto &[first, last] : runs) {
            const qsizetype length = last - first + 1;
            beginInsertRows({}, first, last);
            rows_.Splice(first, 0, rows.Slice(taken, length));
            endInsertRows();
            taken += length;
        }
    } else {
        beginResetModel();
        rows_.InsertSorted(sortedRows, rows);
        endResetModel();
    }
}

void MotionData::ClearRows()
{
    if (rows_.Empty())
        return;
    beginResetModel();
    rows_.Clear();
    endResetModel();
}

void MotionData::RenumberFrom(int row, const QList<int> &keep, const NumberTexts &texts)
{
    row = std::max(row, 0);
    if (row >= Count())
        return;
    qsizetype k = std::lower_bound(keep.begin(), keep.end(), row) - keep.begin();
    auto t = std::lower_bound(texts.begin(), texts.end(), row, [](const auto &e, int r) { return e.first < r; });
    QString number;
    for (int r = row; r < Count(); ++r) {
        if (k < keep.size() && keep[k] == r) {
            ++k;
            continue;
        }
        if (t != texts.end() && t->first == r) {
            rows_.SetField(r, kNoColumn, t->second);
            ++t;
            continue;
        }
        if (IsRowNumber(rows_.FieldView(r, kNoColumn), r + 1))
            continue;
        number.setNum(r + 1);
        rows_.SetField(r, kNoColumn, number);
    }
    emit dataChanged(index(row, kNoColumn), index(Count() - 1, kNoColumn));
}

void MotionData::SetFieldsOfRows(const QList<int> &rows, int first, const QStringList &texts)
{
    if (rows.isEmpty())
        return;
    for (int r : rows) {
        if (r >= 0 && r < Count())
            rows_.SetFields(r, first, texts);
    }
    emit dataChanged(index(std::max(rows.front(), 0), 0),
                     index(std::min(rows.back(), Count() - 1), kMotionFieldCount - 1));
}

void MotionData::PutRows(const QList<int> &rows, const MotionRows &kept)
{
    if (rows.isEmpty())
        return;
    for (qsizetype i = 0; i < rows.size(); ++i)
        rows_.Put(rows[i], kept, i);
    emit dataChanged(index(std::max(rows.front(), 0), 0),
                     index(std::min(rows.back(), Count() - 1), kMotionFieldCount - 1));
}

void MotionData::InsertRows(int pos, const MotionRows &rows)
{
    if (rows.Empty())
        return;
    if (pos < 0 || pos > Count())
        pos = Count();
    beginInsertRows({}, pos, pos + int(rows.Size()) - 1);
    rows_.Splice(pos, 0, rows);
    endInsertRows();
}

void MotionData::ReplaceAll(const QStringList &captions, MotionRows rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
    SetCaptions(captions);
}

void MotionData::ReplaceRows(int from, int count, const MotionRows &with)
{
    from = std::clamp(from, 0, this->Count());
    count = std::clamp(count, 0, this->Count() - from);
    const int added = int(with.Size());
    const int common = std::min(count, added);
    const MotionRows kept = with.Slice(0, common);
    rows_.Splice(from, common, kept);
    if (common > 0)
        emit dataChanged(index(from, 0), index(from + common - 1, kMotionFieldCount - 1));
    if (added > count) {
        beginInsertRows({}, from + common, from + added - 1);
        rows_.Splice(from + common, 0, with.Slice(common, added - common));
        endInsertRows();
    } else if (count > added) {
        beginRemoveRows({}, from + common, from + count - 1);
        rows_.Remove(from + common, count - common);
        endRemoveRows();
    }
}

}  // namespace orvane
