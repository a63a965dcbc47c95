#include "transmitter/control_assignment.h"

namespace orvane {

bool IsValidTarget(int target)
{
    return (target >= 0 && target < kMotionSlotCount)
           || (target >= kScenarioTargetBase && target < kScenarioTargetBase + kScenarioSlotCount)
           || target == kNoTarget;
}

int EntryOfCell(int column, int row)
{
    if (column < 1 || column > kShiftStates || row < 1 || row > kEntriesPerShift)
        return -1;
    return (column - 1) * kEntriesPerShift + (row - 1);
}

int ColumnOfEntry(int entry) { return entry / kEntriesPerShift + 1; }
int RowOfEntry(int entry) { return entry % kEntriesPerShift + 1; }

QString ControlAssignment::CellText(int entry, const KeyNames &names) const
{
    const AssignmentEntry &e = Entry(entry);
    if (e.IsEmpty())
        return {};
    QString text = QLatin1Char('[') + PatternText(e.pattern, names) + QLatin1Char(':');
    if (e.target == kNoTarget)
        return text + QStringLiteral("none:]");
    const SlotList *list = nullptr;
    int slot = e.target;
    if (e.target < kMotionSlotCount) {
        list = &motions_;
    } else if (e.target >= kScenarioTargetBase) {
        list = &scenarios_;
        slot -= kScenarioTargetBase;
    }
    if (list != nullptr && slot < list->Size()) {
        const SlotRow &row = list->Row(slot);
        return text + row.label + QLatin1Char(':') + row.name + QLatin1Char(']');
    }
    return text + QStringLiteral(":]");
}

}  // namespace orvane
