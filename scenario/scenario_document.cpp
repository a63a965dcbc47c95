#include "scenario/scenario_document.h"

#include "textfile/decimal.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>

namespace orvane {

namespace {

// Rows [at, at + before's count) were `before` and became `after`. `at` counts with the earlier runs of the
// same step already applied, so runs go forward on redo and backward on undo.
struct RowsRun {
    int at = 0;
    ScenarioRows before;
    ScenarioRows after;
};

struct SlotChange {
    int slot = 0;
    SlotRow before;
    SlotRow after;
};

}  // namespace

class ScenarioDocument::Edit : public QUndoCommand {
public:
    explicit Edit(ScenarioDocument &doc) : doc_(doc) {}

    // The motion list changed size (read into an empty list, or a load): both lists kept, 40 rows at most.
    bool wholeMotions = false;
    QList<SlotRow> motionsBefore, motionsAfter;
    QList<SlotChange> slotChanges;
    QList<RowsRun> runs;
    // Names of rows as they stand once the runs are applied: the rows' pairs before and after.
    NameChanges names;
    ScenarioRows namesBefore;

    bool Empty() const { return !wholeMotions && slotChanges.isEmpty() && runs.isEmpty() && names.isEmpty(); }

    void redo() override
    {
        if (wholeMotions)
            doc_.motions_->Replace(motionsAfter);
        for (const SlotChange &change : slotChanges)
            doc_.motions_->SetRow(change.slot, change.after);
        Shown shown;
        for (const RowsRun &run : runs) {
            doc_.scenario_->Splice(run.at, int(run.before.size()), run.after);
            shown.append({run.at, int(run.after.size())});
        }
        SetNames(false);
        if (pushed_)
            emit doc_.StepShown(shown);
        pushed_ = true;
    }

    void undo() override
    {
        SetNames(true);
        for (qsizetype k = runs.size(); k-- > 0;)
            doc_.scenario_->Splice(runs[k].at, int(runs[k].after.size()), runs[k].before);
        for (const SlotChange &change : slotChanges)
            doc_.motions_->SetRow(change.slot, change.before);
        if (wholeMotions)
            doc_.motions_->Replace(motionsBefore);
        // Where each run's rows stand once the earlier runs are undone as well.
        Shown shown;
        int shift = 0;
        for (const RowsRun &run : runs) {
            shown.append({run.at + shift, int(run.before.size())});
            shift += int(run.before.size() - run.after.size());
        }
        emit doc_.StepShown(shown);
    }

private:
    void SetNames(bool back) { doc_.scenario_->SetRows(names.rows, back ? namesBefore : names.after); }

    ScenarioDocument &doc_;
    bool pushed_ = false;
};

namespace {

// The slots that differ, or both lists whole when the size changes.
void DiffMotions(const QList<SlotRow> &before, const QList<SlotRow> &after, bool &whole, QList<SlotRow> &wholeBefore,
                 QList<SlotRow> &wholeAfter, QList<SlotChange> &changes)
{
    if (before.size() != after.size()) {
        whole = true;
        wholeBefore = before;
        wholeAfter = after;
        return;
    }
    for (qsizetype k = 0; k < before.size(); ++k)
        if (before[k] != after[k])
            changes.append({int(k), before[k], after[k]});
}

// The step's name changes: the rows' pairs now and with the slots' names.
void RefreshNames(const ScenarioRows &rows, const SlotList &motions, NameChanges &names, ScenarioRows &before)
{
    names = RefreshedNames(rows, motions);
    before = rows.Pick(names.rows);
}

// The one run that turns `before` into `after`, without the rows both begin and end with.
std::optional<RowsRun> ReplacingRun(const ScenarioRows &before, const ScenarioRows &after)
{
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before.SameRow(head, after, head))
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
           && before.SameRow(before.size() - 1 - tail, after, after.size() - 1 - tail))
        ++tail;
    if (head == before.size() && head == after.size())
        return std::nullopt;
    // Whole lists stay shared with the model instead of being copied.
    return RowsRun{int(head), before.Mid(head, before.size() - head - tail),
                   after.Mid(head, after.size() - head - tail)};
}

}  // namespace

ScenarioDocument::ScenarioDocument(QObject *parent)
    : QObject(parent), motions_(new MotionListModel(this)), scenario_(new ScenarioModel(this)),
      undo_(new QUndoStack(this))
{}

ScenarioDocument::~ScenarioDocument() = default;

void ScenarioDocument::Push(Edit *edit)
{
    if (edit->Empty()) {
        delete edit;
        return;
    }
    undo_->push(edit);
}

QList<int> ScenarioDocument::Valid(const QList<int> &selected) const
{
    QList<int> rows;
    for (int r : selected)
        if (r >= 0 && r < RowCount())
            rows.append(r);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void ScenarioDocument::Remove(const QList<int> &rows)
{
    auto *edit = new Edit(*this);
    int removed = 0;
    for (qsizetype k = 0; k < rows.size();) {
        const int first = rows[k];
        qsizetype end = k + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        const int count = int(end - k);
        edit->runs.append({first - removed, scenario_->Rows().Mid(first, count), {}});
        removed += count;
        k = end;
    }
    Push(edit);
}

void ScenarioDocument::Insert(int at, const ScenarioRows &rows)
{
    auto *edit = new Edit(*this);
    edit->runs.append({at, {}, rows});
    Push(edit);
}

void ScenarioDocument::Copy(const QList<int> &selected)
{
    if (RowCount() == 0)
        return;
    clipboard_ = scenario_->Rows().Pick(Valid(selected));
}

int ScenarioDocument::Cut(const QList<int> &selected)
{
    if (RowCount() == 0)
        return -1;
    Copy(selected);
    return Delete(selected);
}

int ScenarioDocument::Paste(const QList<int> &selected, const std::function<bool()> &appendAfterLast)
{
    if (clipboard_.isEmpty())
        return -1;
    const QList<int> rows = Valid(selected);
    // With no row to paste before, the rows go to the end.
    int p = rows.isEmpty() ? RowCount() : rows.first();
    const bool atLast = RowCount() == 0 || p == RowCount() - 1;
    if (atLast && appendAfterLast && appendAfterLast())
        p = RowCount();
    Insert(p, clipboard_);
    return p;
}

int ScenarioDocument::Delete(const QList<int> &selected)
{
    const QList<int> rows = Valid(selected);
    if (rows.isEmpty())
        return -1;
    Remove(rows);
    return rows.first();
}

int ScenarioDocument::Move(const QList<int> &selected, bool up)
{
    const QList<int> rows = Valid(selected);
    if (rows.size() != 1 || selected.size() != 1)
        return -1;
    const int i = rows.first();
    const int partner = up ? i - 1 : i + 1;
    if (partner < 0 || partner >= RowCount())
        return -1;
    const int top = std::min(i, partner);
    const ScenarioRows pair = scenario_->Rows().Mid(top, 2);
    ScenarioRows exchanged = pair;
    exchanged.Exchange(0, 1);
    auto *edit = new Edit(*this);
    edit->runs.append({top, pair, exchanged});
    Push(edit);
    return partner;
}

int ScenarioDocument::Drop(int motion, int before)
{
    if (motion < 0 || motion >= motions_->Count())
        return -1;
    const SlotRow &slot = motions_->Row(motion);
    const int at = before >= 0 && before < RowCount() ? before : RowCount();
    ScenarioRows row = scenario_->Rows().Sharing();
    row.Append(ScenarioRow{slot.label, slot.name});
    Insert(at, row);
    return at;
}

bool ScenarioDocument::CanRename(int motion) const
{
    if (motion < 0 || motion >= motions_->Count())
        return false;
    const std::optional<int> count = ParseDecimal(motions_->Row(motion).count);
    return count && *count != 0;
}

void ScenarioDocument::RenameMotion(int motion, const QString &name)
{
    if (motion < 0 || motion >= motions_->Count())
        return;
    SlotList after = motions_->List();
    after.SetName(motion, name);
    auto *edit = new Edit(*this);
    DiffMotions(motions_->List().Rows(), after.Rows(), edit->wholeMotions, edit->motionsBefore, edit->motionsAfter,
                edit->slotChanges);
    RefreshNames(scenario_->Rows(), after, edit->names, edit->namesBefore);
    Push(edit);
}

void ScenarioDocument::New() { ReplaceScenario({}); }

bool ScenarioDocument::HoldsData() const { return motions_->List().IsFull() && RowCount() > 0; }

ScenarioFileLoad ScenarioDocument::LoadFile(const QString &path)
{
    ScenarioFileLoad load = LoadScenarioFile(path);
    if (!load.ok())
        return load;
    auto *edit = new Edit(*this);
    DiffMotions(motions_->List().Rows(), load.motions, edit->wholeMotions, edit->motionsBefore, edit->motionsAfter,
                edit->slotChanges);
    if (std::optional<RowsRun> run = ReplacingRun(scenario_->Rows(), load.rows))
        edit->runs.append(std::move(*run));
    load.motions.clear();
    load.rows = {};
    Push(edit);
    return load;
}

bool ScenarioDocument::SaveFile(const QString &path, QString *error) const
{
    return SaveScenarioFile(path, motions_->List().Rows(), scenario_->Rows(), error);
}

void ScenarioDocument::ReplaceMotions(const SlotList &motions, bool refreshNames)
{
    auto *edit = new Edit(*this);
    DiffMotions(motions_->List().Rows(), motions.Rows(), edit->wholeMotions, edit->motionsBefore, edit->motionsAfter,
                edit->slotChanges);
    if (refreshNames)
        RefreshNames(scenario_->Rows(), motions, edit->names, edit->namesBefore);
    Push(edit);
}

void ScenarioDocument::ReplaceScenario(ScenarioRows rows)
{
    auto *edit = new Edit(*this);
    if (std::optional<RowsRun> run = ReplacingRun(scenario_->Rows(), rows))
        edit->runs.append(std::move(*run));
    Push(edit);
}

bool ScenarioDocument::Undo()
{
    if (!undo_->canUndo())
        return false;
    undo_->undo();
    return true;
}

bool ScenarioDocument::Redo()
{
    if (!undo_->canRedo())
        return false;
    undo_->redo();
    return true;
}

}  // namespace orvane
