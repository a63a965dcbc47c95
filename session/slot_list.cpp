#include "session/slot_list.h"

#include "protocol/board_facts.h"

namespace orvane {

std::optional<QString> SlotList::NameOf(int slot) const
{
    if (slot < 0 || slot >= rows_.size())
        return std::nullopt;
    return rows_[slot].name;
}

void ApplySlotCount(SlotList &list, bool startedEmpty, int slot, int count, const SlotNaming &naming)
{
    SlotRow row;
    if (!startedEmpty && slot < list.Size())
        row = list.Row(slot);
    row.label = list.LabelOf(slot);
    if (count == 0)
        row.name = naming.emptyName;
    else if (naming.rename)
        row.name = naming.baseName.isEmpty() ? QString() : naming.baseName + QString::number(slot);
    row.count = QString::number(count);
    if (startedEmpty || slot >= list.Size())
        list.Append(row);
    else
        list.SetRow(slot, row);
}

bool ReadSlotCounts(SlotList &list, const std::array<int, 2> &ids, const SlotCountReader &read,
                    const SlotNaming &naming, const std::function<void(int)> &progress)
{
    const bool startedEmpty = list.IsEmpty();
    for (int slot = 0; slot < list.Slots(); ++slot) {
        int count = 0;
        bool counted = false;
        bool answered = true;
        // Every present board is asked for the slot before the answers are judged.
        for (int group = 0; group < 2; ++group) {
            if (ids[group] == kNoBoard)
                continue;
            int answer = 0;
            if (!read(ids[group], slot, answer)) {
                answered = false;
                continue;
            }
            if (!counted || answer > count)
                count = answer;
            counted = true;
        }
        if (!answered)
            return false;
        ApplySlotCount(list, startedEmpty, slot, count, naming);
        if (progress)
            progress(slot + 1);
    }
    return true;
}

}  // namespace orvane
