#include "transmitter/assignment_document.h"

#include "textfile/decimal.h"

#include <QUndoCommand>

#include <utility>
#include <vector>

namespace orvane {

namespace {

struct EntryChange {
    int entry;
    AssignmentEntry before;
    AssignmentEntry after;
};

}  // namespace

class AssignmentDocument::EntriesCommand : public QUndoCommand {
public:
    EntriesCommand(AssignmentDocument &doc, std::vector<EntryChange> changes) : doc_(doc), changes_(std::move(changes))
    {}
    void redo() override { Apply(false); }
    void undo() override { Apply(true); }

private:
    void Apply(bool back)
    {
        for (const EntryChange &c : changes_)
            doc_.assignment_.SetEntry(c.entry, back ? c.before : c.after);
        if (changes_.size() == 1)
            emit doc_.EntryChanged(changes_.front().entry);
        else
            emit doc_.TableChanged();
    }

    AssignmentDocument &doc_;
    std::vector<EntryChange> changes_;
};

class AssignmentDocument::RenameCommand : public QUndoCommand {
public:
    RenameCommand(AssignmentDocument &doc, SlotListKind kind, int row, QString before, QString after)
        : doc_(doc), kind_(kind), row_(row), before_(std::move(before)), after_(std::move(after))
    {}
    void redo() override { Apply(after_); }
    void undo() override { Apply(before_); }

private:
    void Apply(const QString &name)
    {
        doc_.MutableList(kind_).SetName(row_, name);
        emit doc_.ListsChanged();
    }

    AssignmentDocument &doc_;
    SlotListKind kind_;
    int row_;
    QString before_;
    QString after_;
};

class AssignmentDocument::ListCommand : public QUndoCommand {
public:
    ListCommand(AssignmentDocument &doc, SlotListKind kind, QList<SlotRow> before, QList<SlotRow> after)
        : doc_(doc), kind_(kind), before_(std::move(before)), after_(std::move(after))
    {}
    void redo() override { Apply(after_); }
    void undo() override { Apply(before_); }

private:
    void Apply(const QList<SlotRow> &rows)
    {
        doc_.MutableList(kind_).Assign(rows);
        emit doc_.ListsChanged();
    }

    AssignmentDocument &doc_;
    SlotListKind kind_;
    QList<SlotRow> before_;
    QList<SlotRow> after_;
};

AssignmentDocument::AssignmentDocument(QObject *parent) : QObject(parent) {}

const SlotList &AssignmentDocument::List(SlotListKind kind) const
{
    return kind == SlotListKind::Scenarios ? assignment_.Scenarios() : assignment_.Motions();
}

SlotList &AssignmentDocument::MutableList(SlotListKind kind)
{
    return kind == SlotListKind::Scenarios ? assignment_.Scenarios() : assignment_.Motions();
}

void AssignmentDocument::Push(QUndoCommand *command)
{
    if (grouping_ && !groupOpen_) {
        stack_.beginMacro(QString());
        groupOpen_ = true;
    }
    stack_.push(command);
}

void AssignmentDocument::BeginGroup()
{
    grouping_ = true;
    groupOpen_ = false;
}

void AssignmentDocument::EndGroup()
{
    if (groupOpen_)
        stack_.endMacro();
    grouping_ = false;
    groupOpen_ = false;
}

bool AssignmentDocument::ChangeEntries(const AssignmentTable &after)
{
    std::vector<EntryChange> changes;
    for (int e = 0; e < kAssignmentEntryCount; ++e) {
        const AssignmentEntry &before = assignment_.Entry(e);
        if (before != after[size_t(e)])
            changes.push_back({e, before, after[size_t(e)]});
    }
    if (changes.empty())
        return false;
    Push(new EntriesCommand(*this, std::move(changes)));
    return true;
}

bool AssignmentDocument::SetEntry(int entry, AssignmentEntry value)
{
    if (entry < 0 || entry >= kAssignmentEntryCount || assignment_.Entry(entry) == value)
        return false;
    Push(new EntriesCommand(*this, std::vector<EntryChange>{EntryChange{entry, assignment_.Entry(entry), value}}));
    return true;
}

bool AssignmentDocument::SetPattern(int entry, std::uint8_t pattern)
{
    if (entry < 0 || entry >= kAssignmentEntryCount)
        return false;
    return SetEntry(entry, {pattern, assignment_.Entry(entry).target});
}

bool AssignmentDocument::DropSlot(int entry, SlotListKind kind, int slot)
{
    if (entry < 0 || entry >= kAssignmentEntryCount || slot < 0 || slot >= List(kind).Slots())
        return false;
    const int target = slot + (kind == SlotListKind::Scenarios ? kScenarioTargetBase : 0);
    return SetEntry(entry, {assignment_.Entry(entry).pattern, std::uint8_t(target)});
}

bool AssignmentDocument::EmptyEntry(int entry) { return SetEntry(entry, AssignmentEntry{}); }

bool AssignmentDocument::CanRename(SlotListKind kind, int row) const
{
    const SlotList &list = List(kind);
    if (row < 0 || row >= list.Size())
        return false;
    // A COUNT that is no number names no data either.
    const std::optional<int> count = ParseDecimal(list.Row(row).count);
    return count && *count != 0;
}

bool AssignmentDocument::Rename(SlotListKind kind, int row, const QString &name)
{
    if (!CanRename(kind, row) || List(kind).Row(row).name == name)
        return false;
    Push(new RenameCommand(*this, kind, row, List(kind).Row(row).name, name));
    return true;
}

bool AssignmentDocument::ReplaceList(SlotListKind kind, QList<SlotRow> rows)
{
    const SlotList &list = List(kind);
    if (!rows.isEmpty() && rows.size() != list.Slots())
        return false;
    if (list.Rows() == rows)
        return false;
    Push(new ListCommand(*this, kind, list.Rows(), std::move(rows)));
    return true;
}

bool AssignmentDocument::ReplaceTable(const AssignmentTable &table) { return ChangeEntries(table); }

bool AssignmentDocument::EmptyAll() { return ChangeEntries(AssignmentTable{}); }

bool AssignmentDocument::Load(AssignmentFileLoad &&load)
{
    if (!load.ok())
        return false;
    // A group of its own unless a caller's is open.
    const bool own = !grouping_;
    if (own)
        BeginGroup();
    ReplaceList(SlotListKind::Scenarios, std::move(load.scenarios));
    ReplaceList(SlotListKind::Motions, std::move(load.motions));
    ChangeEntries(load.table);
    if (own)
        EndGroup();
    return true;
}

}  // namespace orvane
