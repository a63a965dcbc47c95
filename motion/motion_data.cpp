#include "motion/motion_data.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

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

namespace {

// The last field ends where the text does, so a block keeps the ends of the first 26 only.
constexpr int kStoredEnds = kMotionFieldCount - 1;

// Bytes per stored end: a short row, the usual one, spends one byte per field on its ends, a row of up to
// 65,535 characters two, a longer one four.
int EndWidth(std::uint32_t length) { return length <= 0xFF ? 1 : length <= 0xFFFF ? 2 : 4; }

}  // namespace

// The block of one row: the count of rows sharing it, the text's length, the stored ends (as wide as the
// length needs), then the text. A row of 27 empty texts has no block.
struct MotionRows::Block {
    std::atomic<std::uint32_t> ref;
    std::uint32_t length;

    static std::size_t Bytes(std::uint32_t length)
    {
        return sizeof(Block) + std::size_t(kStoredEnds * EndWidth(length)) + std::size_t(length) * sizeof(char16_t);
    }
    static Block *Make(qsizetype length)
    {
        if (length <= 0 || length > qsizetype(UINT32_MAX))
            qBadAlloc();
        void *memory = std::malloc(Bytes(std::uint32_t(length)));
        Q_CHECK_PTR(memory);
        return new (memory) Block{{1}, std::uint32_t(length)};
    }
    void Release()
    {
        if (ref.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            this->~Block();
            std::free(this);
        }
    }

    unsigned char *Ends() { return reinterpret_cast<unsigned char *>(this + 1); }
    const unsigned char *Ends() const { return reinterpret_cast<const unsigned char *>(this + 1); }
    char16_t *Text() { return reinterpret_cast<char16_t *>(Ends() + kStoredEnds * EndWidth(length)); }
    const char16_t *Text() const { return reinterpret_cast<const char16_t *>(Ends() + kStoredEnds * EndWidth(length)); }
    std::uint32_t End(int column) const
    {
        if (column >= kStoredEnds)
            return length;
        switch (EndWidth(length)) {
        case 1: return Ends()[column];
        case 2: {
            std::uint16_t end;
            std::memcpy(&end, Ends() + 2 * column, sizeof end);
            return end;
        }
        default: {
            std::uint32_t end;
            std::memcpy(&end, Ends() + 4 * column, sizeof end);
            return end;
        }
        }
    }
    void SetEnd(int column, std::uint32_t end)
    {
        switch (EndWidth(length)) {
        case 1: Ends()[column] = static_cast<unsigned char>(end); break;
        case 2: {
            const auto narrow = static_cast<std::uint16_t>(end);
            std::memcpy(Ends() + 2 * column, &narrow, sizeof narrow);
            break;
        }
        default: std::memcpy(Ends() + 4 * column, &end, sizeof end); break;
        }
    }
    QStringView Field(int column) const
    {
        const std::uint32_t start = column == 0 ? 0 : End(column - 1);
        return QStringView(Text() + start, qsizetype(End(column) - start));
    }
};

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t));

MotionRows::Row::Row(const Row &other) : block_(other.block_)
{
    if (block_)
        block_->ref.fetch_add(1, std::memory_order_relaxed);
}

MotionRows::Row &MotionRows::Row::operator=(const Row &other)
{
    if (other.block_)
        other.block_->ref.fetch_add(1, std::memory_order_relaxed);
    Block *old = std::exchange(block_, other.block_);
    if (old)
        old->Release();
    return *this;
}

MotionRows::Row &MotionRows::Row::operator=(Row &&other) noexcept
{
    if (this != &other) {
        Block *old = std::exchange(block_, std::exchange(other.block_, nullptr));
        if (old)
            old->Release();
    }
    return *this;
}

MotionRows::Row::~Row()
{
    if (block_)
        block_->Release();
}

MotionRows::Row MotionRows::MakeRow(QStringView text, const qsizetype *ends)
{
    if (text.isEmpty())
        return Row();
    Row row(Block::Make(text.size()));
    Block *block = row.Get();
    for (int c = 0; c < kStoredEnds; ++c)
        block->SetEnd(c, std::uint32_t(ends[c]));
    std::copy_n(text.utf16(), text.size(), block->Text());
    return row;
}

MotionRows::Row MotionRows::MakeRow(const QStringList &fields)
{
    const qsizetype n = std::min<qsizetype>(fields.size(), kMotionFieldCount);
    qsizetype length = 0;
    for (qsizetype i = 0; i < n; ++i)
        length += fields[i].size();
    QString text;
    text.reserve(length);
    std::array<qsizetype, kMotionFieldCount> ends{};
    for (qsizetype i = 0; i < kMotionFieldCount; ++i) {
        if (i < n)
            text.append(fields[i]);
        ends[size_t(i)] = text.size();
    }
    return MakeRow(text, ends.data());
}

QStringView MotionRows::FieldView(qsizetype row, int column) const
{
    if (!Valid(row, column))
        return {};
    const Block *block = rows_[size_t(row)].Get();
    return block ? block->Field(column) : QStringView();
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
    end_[size_t(count_++)] = text_.size();
}

void MotionRows::RowText::AddNumber(int value)
{
    if (count_ >= kMotionFieldCount)
        return;
    AppendDecimal(text_, value);
    end_[size_t(count_++)] = text_.size();
}

void MotionRows::Append(RowText &&row)
{
    for (int c = row.count_; c < kMotionFieldCount; ++c)
        row.end_[size_t(c)] = row.text_.size();
    // The row gets a block of its exact size; the builder keeps its own for the next row.
    rows_.push_back(MakeRow(row.text_, row.end_.data()));
    row.text_.resize(0);
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
    Block *block = r.Get();
    const QStringView whole = block ? QStringView(block->Text(), qsizetype(block->length)) : QStringView();
    const qsizetype start = block && column > 0 ? qsizetype(block->End(column - 1)) : 0;
    const qsizetype stop = block ? qsizetype(block->End(column)) : 0;
    if (whole.mid(start, stop - start) == text)
        return;
    if (block && stop - start == text.size() && block->ref.load(std::memory_order_acquire) == 1) {
        // Renumbering mostly keeps a number's length: written in place when no one else holds the row.
        std::copy_n(text.utf16(), text.size(), block->Text() + start);
        return;
    }
    const qsizetype delta = text.size() - (stop - start);
    std::array<qsizetype, kMotionFieldCount> ends{};
    for (int c = 0; c < kMotionFieldCount; ++c)
        ends[size_t(c)] = (block ? qsizetype(block->End(c)) : 0) + (c >= column ? delta : 0);
    QString rebuilt;
    rebuilt.reserve(whole.size() + delta);
    rebuilt.append(whole.left(start));
    rebuilt.append(text);
    rebuilt.append(whole.mid(stop));
    r = MakeRow(rebuilt, ends.data());
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
    const Block *a = rows_[size_t(row)].Get();
    const Block *b = other.rows_[size_t(otherRow)].Get();
    if (a == b)
        return true;
    // A block always holds some text, so a row without one differs from a row with one.
    if (!a || !b || a->length != b->length)
        return false;
    // Equal lengths give equal widths of the ends: ends and text compare as one run of bytes.
    return std::memcmp(a->Ends(), b->Ends(), Block::Bytes(a->length) - sizeof(Block)) == 0;
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
