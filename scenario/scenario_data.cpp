#include "scenario/scenario_data.h"

#include "textfile/decimal.h"

#include <QMimeData>

#include <algorithm>
#include <vector>

namespace orvane {

std::optional<int> MotionNumberOf(QStringView motion)
{
    if (motion.isEmpty())
        return std::nullopt;
    return ParseDecimal(motion.mid(1));
}

QString ScenarioCountText(int rows) { return QStringLiteral("DATA > ") + QString::number(rows); }

NameChanges RefreshedNames(const ScenarioRows &rows, const SlotList &motions)
{
    NameChanges changes;
    changes.after = rows.Sharing();
    // Rows repeat few pairs: each pair is looked at once, kNoPair where its row keeps its name.
    constexpr ScenarioRows::Pair kUnseen = ScenarioRows::kNoPair - 1;
    std::vector<ScenarioRows::Pair> renamed(size_t(rows.PairCount()), kUnseen);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        ScenarioRows::Pair &to = renamed[rows.PairOf(i)];
        if (to == kUnseen) {
            to = ScenarioRows::kNoPair;
            const QStringView motion = rows.MotionAt(i);
            if (const std::optional<int> number = MotionNumberOf(motion)) {
                const std::optional<QString> name = motions.NameOf(*number);
                if (name && *name != rows.NameAt(i))
                    to = changes.after.Intern(motion, *name);
            }
        }
        if (to != ScenarioRows::kNoPair) {
            changes.rows.append(int(i));
            changes.after.AppendPair(to);
        }
    }
    return changes;
}

namespace {

QMimeData *RowDrag(const char *type, const QModelIndexList &indexes)
{
    auto *mime = new QMimeData;
    const int row = indexes.isEmpty() ? -1 : indexes.first().row();
    mime->setData(QLatin1String(type), QByteArray::number(row));
    return mime;
}

QVariant Caption(int section, Qt::Orientation orientation, int role, std::initializer_list<const char *> names)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= int(names.size()))
        return {};
    return QString::fromLatin1(names.begin()[section]);
}

}  // namespace

MotionListModel::MotionListModel(QObject *parent) : QAbstractTableModel(parent) {}

void MotionListModel::Replace(const SlotList &list) { Replace(list.Rows()); }

void MotionListModel::Replace(QList<SlotRow> rows)
{
    beginResetModel();
    list_.Assign(std::move(rows));
    endResetModel();
}

void MotionListModel::Clear() { Replace(QList<SlotRow>{}); }

void MotionListModel::SetName(int k, const QString &name)
{
    if (k < 0 || k >= list_.Size())
        return;
    list_.SetName(k, name);
    const QModelIndex cell = index(k, NameColumn);
    emit dataChanged(cell, cell);
}

void MotionListModel::SetRow(int k, const SlotRow &row)
{
    if (k < 0 || k >= list_.Size())
        return;
    list_.SetRow(k, row);
    emit dataChanged(index(k, IndexColumn), index(k, CountColumn));
}

int MotionListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : list_.Size(); }

int MotionListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant MotionListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= list_.Size() || role != Qt::DisplayRole)
        return {};
    const SlotRow &row = list_.Row(index.row());
    switch (index.column()) {
    case IndexColumn: return row.label;
    case NameColumn: return row.name;
    case CountColumn: return row.count;
    default: return {};
    }
}

QVariant MotionListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return Caption(section, orientation, role, {"INDEX", "DATA NAME", "COUNT"});
}

Qt::ItemFlags MotionListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList MotionListModel::mimeTypes() const { return {QLatin1String(kMotListMime)}; }

QMimeData *MotionListModel::mimeData(const QModelIndexList &indexes) const { return RowDrag(kMotListMime, indexes); }

ScenarioModel::ScenarioModel(QObject *parent) : QAbstractTableModel(parent) {}

void ScenarioModel::Append(const ScenarioRow &row) { Insert(Count(), {row}); }

void ScenarioModel::Insert(int p, const ScenarioRows &rows)
{
    if (rows.isEmpty())
        return;
    if (p < 0 || p > Count())
        p = Count();
    beginInsertRows({}, p, p + int(rows.size()) - 1);
    rows_.Insert(p, rows);
    endInsertRows();
    // The rows after the new ones show new numbers.
    if (p + rows.size() < Count())
        emit dataChanged(index(int(p + rows.size()), NumberColumn), index(Count() - 1, NumberColumn));
}

int ScenarioModel::Remove(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [this](int r) { return r < 0 || r >= Count(); }), rows.end());
    if (rows.isEmpty())
        return -1;
    // The last first, in runs, so that the indexes still to go stay valid.
    for (qsizetype k = rows.size(); k > 0;) {
        const int last = rows[--k];
        int first = last;
        while (k > 0 && rows[k - 1] == first - 1)
            first = rows[--k];
        beginRemoveRows({}, first, last);
        rows_.Remove(first, last - first + 1);
        endRemoveRows();
    }
    if (rows.first() < Count())
        emit dataChanged(index(rows.first(), NumberColumn), index(Count() - 1, NumberColumn));
    return rows.first();
}

void ScenarioModel::Clear() { Replace({}); }

void ScenarioModel::Replace(ScenarioRows rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void ScenarioModel::Exchange(int i, int j)
{
    if (i < 0 || j < 0 || i >= Count() || j >= Count() || i == j)
        return;
    rows_.Exchange(i, j);
    emit dataChanged(index(i, MotionColumn), index(i, NameColumn));
    emit dataChanged(index(j, MotionColumn), index(j, NameColumn));
}

void ScenarioModel::SetName(int i, const QString &name)
{
    if (i < 0 || i >= Count())
        return;
    rows_.Set(i, ScenarioRow{rows_.MotionAt(i).toString(), name});
    emit dataChanged(index(i, NameColumn), index(i, NameColumn));
}

void ScenarioModel::SetRows(const QList<int> &rows, const ScenarioRows &values)
{
    if (rows.isEmpty())
        return;
    rows_.SetRows(rows, values);
    emit dataChanged(index(rows.first(), MotionColumn), index(rows.last(), NameColumn));
}

void ScenarioModel::Splice(int at, int count, const ScenarioRows &rows)
{
    at = std::clamp(at, 0, Count());
    count = std::clamp(count, 0, Count() - at);
    if (at == 0 && count == Count()) {
        Replace(rows);
        return;
    }
    if (count == rows.size()) {
        if (count == 0)
            return;
        rows_.Overwrite(at, rows);
        emit dataChanged(index(at, MotionColumn), index(at + count - 1, NameColumn));
        return;
    }
    if (count > 0) {
        beginRemoveRows({}, at, at + count - 1);
        rows_.Remove(at, count);
        endRemoveRows();
    }
    Insert(at, rows);
    // The rows after a removal show new numbers.
    if (rows.isEmpty() && at < Count())
        emit dataChanged(index(at, NumberColumn), index(Count() - 1, NumberColumn));
}

void ScenarioModel::RefreshNames(const SlotList &motions)
{
    const NameChanges changes = RefreshedNames(rows_, motions);
    SetRows(changes.rows, changes.after);
}

int ScenarioModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : Count(); }

int ScenarioModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ScenarioModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= Count() || role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case NumberColumn: return Number(index.row());
    case MotionColumn: return rows_.MotionAt(index.row()).toString();
    case NameColumn: return rows_.NameAt(index.row()).toString();
    default: return {};
    }
}

QVariant ScenarioModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    return Caption(section, orientation, role, {"NUMBER", "MOTION", "DATA NAME"});
}

Qt::ItemFlags ScenarioModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList ScenarioModel::mimeTypes() const { return {QLatin1String(kFileListMime)}; }

QMimeData *ScenarioModel::mimeData(const QModelIndexList &indexes) const { return RowDrag(kFileListMime, indexes); }

}  // namespace orvane
