#pragma once
// The picture of a board's slots that the scenario editor and the assignment window keep: one row per slot
// with its label ("M7", "S2"), its DATA NAME and its COUNT. All three stay the texts they are, so a COUNT
// loaded as "07" shows as "07". The list is either empty or holds one row per slot.

#include "protocol/board_facts.h"

#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace orvane {

struct SlotRow {
    QString label;
    QString name;
    QString count;
    friend bool operator==(const SlotRow &, const SlotRow &) = default;
};

class SlotList {
public:
    SlotList(QChar prefix, int slotCount) : prefix_(prefix), slotCount_(slotCount) {}
    static SlotList Motions() { return SlotList(QLatin1Char('M'), kMotionSlotCount); }
    static SlotList Scenarios() { return SlotList(QLatin1Char('S'), kScenarioSlotCount); }

    QChar Prefix() const { return prefix_; }
    int Slots() const { return slotCount_; }
    int Size() const { return int(rows_.size()); }
    bool IsEmpty() const { return rows_.isEmpty(); }
    bool IsFull() const { return rows_.size() == slotCount_; }
    QString LabelOf(int slot) const { return prefix_ + QString::number(slot); }

    const SlotRow &Row(int k) const { return rows_[k]; }
    void SetRow(int k, const SlotRow &row) { rows_[k] = row; }
    void SetName(int k, const QString &name) { rows_[k].name = name; }
    void Append(const SlotRow &row) { rows_.append(row); }
    void Clear() { rows_.clear(); }
    // Replaces every row; the caller guarantees the list is empty or full.
    void Assign(QList<SlotRow> rows) { rows_ = std::move(rows); }
    const QList<SlotRow> &Rows() const { return rows_; }

    // The DATA NAME of slot `slot`, or nothing when the list has no such row.
    std::optional<QString> NameOf(int slot) const;

private:
    QChar prefix_;
    int slotCount_;
    QList<SlotRow> rows_;
};

// How a read from the boards names the slots: after OK in the name box, slots with data become the base name
// followed by the slot number (an empty text for an empty base name); after Cancel they keep their name.
// Slots without data always get `emptyName` ("なし" in the scenario editor, "None" in the assignment window).
struct SlotNaming {
    bool rename = false;
    QString baseName;
    QString emptyName;
};

// Puts the count read for slot `slot` into the list: a new row when the read began on an empty list,
// else row `slot` relabelled.
void ApplySlotCount(SlotList &list, bool startedEmpty, int slot, int count, const SlotNaming &naming);

// Reads one slot's count from the board with this ID; false when the board did not answer.
using SlotCountReader = std::function<bool(int id, int slot, int &count)>;

// Fills the list slot by slot from the present boards (ID 255 is no board): the greater count of the two
// wins. Each slot is asked of every present board; when one did not answer, the read stops there and returns
// false, and the caller decides what a failed read leaves. `progress` gets slot + 1 after each slot.
bool ReadSlotCounts(SlotList &list, const std::array<int, 2> &ids, const SlotCountReader &read,
                    const SlotNaming &naming, const std::function<void(int)> &progress = {});

}  // namespace orvane
