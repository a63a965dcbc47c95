#pragma once
// The scenario editor's two lists as the list views show them: the motion list (a picture of the boards' 40
// motion slots) and the scenario data (the rows of one scenario, in playing order). Free of widgets.

#include "scenario/scenario_rows.h"
#include "session/slot_list.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace orvane {

// Drags carry a type that names the list they come from; only a motion row may be dropped on the scenario.
inline constexpr char kMotListMime[] = "application/x-orvane-row-motlist";
inline constexpr char kFileListMime[] = "application/x-orvane-row-filelist";

// The motion number a MOTION text names: the text without its first character, as a decimal integer.
std::optional<int> MotionNumberOf(QStringView motion);

// "DATA > n", the row count display.
QString ScenarioCountText(int rows);

// Rows `rows` of a scenario take the DATA NAMEs in `after` (sharing the scenario's pool).
struct NameChanges {
    QList<int> rows;
    ScenarioRows after;
    bool isEmpty() const { return rows.isEmpty(); }
};

// Each row takes the DATA NAME of the motion slot it names; a row naming no slot of the list keeps its name.
// Only the rows whose name changes are listed, in order.
NameChanges RefreshedNames(const ScenarioRows &rows, const SlotList &motions);

// INDEX / DATA NAME / COUNT over a SlotList of the 40 motion slots.
class MotionListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { IndexColumn, NameColumn, CountColumn, ColumnCount };

    explicit MotionListModel(QObject *parent = nullptr);

    const SlotList &List() const { return list_; }
    int Count() const { return list_.Size(); }
    bool IsEmpty() const { return list_.IsEmpty(); }
    const SlotRow &Row(int k) const { return list_.Row(k); }
    // Replaced whole (40 rows) or cleared, never anything in between.
    void Replace(const SlotList &list);
    void Replace(QList<SlotRow> rows);
    void Clear();
    void SetName(int k, const QString &name);
    void SetRow(int k, const SlotRow &row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    SlotList list_ = SlotList::Motions();
};

// NUMBER / MOTION / DATA NAME. NUMBER is not stored: every edit renumbers from the first row it changed to
// the end, so it is always the row's position + 1.
class ScenarioModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NumberColumn, MotionColumn, NameColumn, ColumnCount };

    explicit ScenarioModel(QObject *parent = nullptr);

    int Count() const { return int(rows_.size()); }
    ScenarioRow Row(int i) const { return rows_[i]; }
    const ScenarioRows &Rows() const { return rows_; }
    QString Number(int i) const { return QString::number(i + 1); }

    void Append(const ScenarioRow &row);
    // Before row p; p outside 0..Count() appends.
    void Insert(int p, const ScenarioRows &rows);
    // Removes these rows (any order, duplicates ignored); the first removed index, or -1 when none was.
    int Remove(QList<int> rows);
    void Clear();
    void Replace(ScenarioRows rows);
    // MOTION and DATA NAME change places; the numbers stay with the positions.
    void Exchange(int i, int j);
    void SetName(int i, const QString &name);
    // Row rows[k] becomes values[k] (both as long; rows in range, ascending).
    void SetRows(const QList<int> &rows, const ScenarioRows &values);
    // Rows [at, at + count) become `rows`; the whole list swapped in one go when it is all replaced.
    void Splice(int at, int count, const ScenarioRows &rows);
    // Each row takes the DATA NAME of the motion slot it names; a row naming no slot of the list keeps its name.
    void RefreshNames(const SlotList &motions);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    ScenarioRows rows_;
};

}  // namespace orvane
