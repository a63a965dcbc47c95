#pragma once
// The control assignment: 160 entries of (key pattern, target), 32 for each of five shift states, with the
// scenario list and the motion list whose names the cells show. Free of widgets.

#include "session/slot_list.h"
#include "transmitter/key_pattern.h"

#include <QString>

#include <array>
#include <cstdint>

namespace orvane {

constexpr int kEntriesPerShift = 32;
constexpr int kShiftStates = 5;
static_assert(kEntriesPerShift * kShiftStates == kAssignmentEntryCount);
constexpr std::uint8_t kNoTarget = 200;
constexpr int kScenarioTargetBase = 100;

struct AssignmentEntry {
    std::uint8_t pattern = 0;
    std::uint8_t target = kNoTarget;
    bool IsEmpty() const { return pattern == 0 && target == kNoTarget; }
    friend bool operator==(const AssignmentEntry &, const AssignmentEntry &) = default;
};

using AssignmentTable = std::array<AssignmentEntry, kAssignmentEntryCount>;

// 0 to 39 a motion slot, 100 to 103 a scenario slot, 200 nothing.
bool IsValidTarget(int target);

// The entry shown by grid cell (column, row) with the header row and the row-number column at 0; -1 for
// the header row, the number column and anything outside the grid.
int EntryOfCell(int column, int row);
int ColumnOfEntry(int entry);
int RowOfEntry(int entry);

class ControlAssignment {
public:
    ControlAssignment() = default;

    const AssignmentEntry &Entry(int entry) const { return table_[size_t(entry)]; }
    void SetEntry(int entry, AssignmentEntry value) { table_[size_t(entry)] = value; }
    void SetPattern(int entry, std::uint8_t pattern) { table_[size_t(entry)].pattern = pattern; }
    void SetTarget(int entry, std::uint8_t target) { table_[size_t(entry)].target = target; }
    void Empty(int entry) { table_[size_t(entry)] = AssignmentEntry{}; }
    void EmptyAll() { table_.fill(AssignmentEntry{}); }
    const AssignmentTable &Table() const { return table_; }
    void SetTable(const AssignmentTable &table) { table_ = table; }

    SlotList &Scenarios() { return scenarios_; }
    const SlotList &Scenarios() const { return scenarios_; }
    SlotList &Motions() { return motions_; }
    const SlotList &Motions() const { return motions_; }

    // A file keeps both lists whole, so saving waits until both were read or loaded.
    bool CanSave() const { return scenarios_.IsFull() && motions_.IsFull(); }

    QString CellText(int entry, const KeyNames &names) const;

private:
    AssignmentTable table_{};
    SlotList scenarios_ = SlotList::Scenarios();
    SlotList motions_ = SlotList::Motions();
};

}  // namespace orvane
