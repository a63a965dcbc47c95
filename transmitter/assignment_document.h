#pragma once
// The document under the assignment window: the control assignment with its scenario and motion lists,
// every rule that changes them, and their history. Each change is one undo step that keeps what it changed
// and nothing else: the entries that differ, the list row renamed, a list it replaced. Free of widgets; the
// window follows the signals.

#include "transmitter/assignment_file.h"
#include "transmitter/control_assignment.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstdint>

namespace orvane {

enum class SlotListKind { Scenarios, Motions };

class AssignmentDocument : public QObject {
    Q_OBJECT
public:
    explicit AssignmentDocument(QObject *parent = nullptr);

    const ControlAssignment &Assignment() const { return assignment_; }
    const AssignmentEntry &Entry(int entry) const { return assignment_.Entry(entry); }
    const SlotList &List(SlotListKind kind) const;
    QUndoStack &UndoStack() { return stack_; }

    // Each returns false, and leaves no step, when nothing changed or the change was refused.

    // The key pattern dialog's answer; the target stays.
    bool SetPattern(int entry, std::uint8_t pattern);
    // A row of a list dropped on an entry: the target names that slot, the key pattern stays.
    bool DropSlot(int entry, SlotListKind kind, int slot);
    bool SetEntry(int entry, AssignmentEntry value);
    // Delete: the entry becomes (0, 200).
    bool EmptyEntry(int entry);
    // Only a slot that holds data (its COUNT a number other than 0) can be renamed.
    bool CanRename(SlotListKind kind, int row) const;
    bool Rename(SlotListKind kind, int row, const QString &name);
    // A file that passed every check replaces the table and both lists in one step; a rejected one
    // changes nothing and gives false.
    bool Load(AssignmentFileLoad &&load);
    // What a read from the boards brought.
    bool ReplaceTable(const AssignmentTable &table);
    // `rows` is empty or holds one row per slot of the list.
    bool ReplaceList(SlotListKind kind, QList<SlotRow> rows);
    // After every board took the empty table.
    bool EmptyAll();

    // The changes made between these two are undone and redone as one step (a transfer's, say); a group
    // that changed nothing leaves no step.
    void BeginGroup();
    void EndGroup();

signals:
    void EntryChanged(int entry);
    void TableChanged();  // any number of entries
    void ListsChanged();  // a list's rows or names; every cell may show them

private:
    class EntriesCommand;
    class RenameCommand;
    class ListCommand;
    friend class EntriesCommand;
    friend class RenameCommand;
    friend class ListCommand;

    SlotList &MutableList(SlotListKind kind);
    bool ChangeEntries(const AssignmentTable &after);
    void Push(QUndoCommand *command);

    ControlAssignment assignment_;
    QUndoStack stack_;
    bool grouping_ = false;
    bool groupOpen_ = false;
};

}  // namespace orvane
