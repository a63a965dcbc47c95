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
    QList<std::pair<int, int>> runs;
    for (int r : rows) {
        if (!runs.isEmpty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.append({r, r});
    }
    // Scattered selections in a long list would cost a tail move per run; one
    // compacting pass under a model reset stays linear. A reset drops the views'
    // selection, which the editor sets again after a delete anyway.
    constexpr int kMaxSignalledRuns = 64;
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

void MotionData::ClearRows()
{
    if (rows_.Empty())
        return;
    beginResetModel();
    rows_.Clear();
    endResetModel();
}

void MotionData::RenumberFrom(int row)
{
    row = std::max(row, 0);
    if (row >= Count())
        return;
    for (int r = row; r < Count(); ++r)
        rows_.SetField(r, kNoColumn, QString::number(r + 1));
    emit dataChanged(index(row, kNoColumn), index(Count() - 1, kNoColumn));
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
