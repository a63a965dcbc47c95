#pragma once
// The scenario editor's data and its editing rules, free of widgets: the motion list, the scenario rows, the
// private copy buffer and the history of changes. Every change of the lists is one undo step that keeps the
// rows, names and slots it changed and nothing else; row numbers are positions and are never kept.
//
// The window asks the user and passes the answers in; the document never shows anything.

#include "scenario/scenario_data.h"
#include "scenario/scenario_file.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <functional>

class QUndoStack;

namespace orvane {

class ScenarioDocument : public QObject {
    Q_OBJECT
public:
    // Rows [first, first + count) of the scenario after a step; count 0 where rows went away.
    using Shown = QList<QPair<int, int>>;

    explicit ScenarioDocument(QObject *parent = nullptr);
    ~ScenarioDocument() override;

    MotionListModel *Motions() const { return motions_; }
    ScenarioModel *Scenario() const { return scenario_; }
    QUndoStack *UndoStack() const { return undo_; }
    int RowCount() const { return scenario_->Count(); }
    const ScenarioRows &Clipboard() const { return clipboard_; }

    // `selected` is any set of scenario row indexes; out-of-range ones are ignored.
    // Nothing when the scenario is empty; otherwise the buffer becomes the selected rows, top to bottom.
    void Copy(const QList<int> &selected);
    // Copy, then the selected rows go. The first removed index, or -1 when nothing was removed.
    int Cut(const QList<int> &selected);
    // The buffer goes before the first selected row. At the last row, or into an empty scenario,
    // `appendAfterLast` is asked whether the rows go after the last row instead; with no row selected they go
    // to the end. The index of the first pasted row, or -1 when the buffer is empty.
    int Paste(const QList<int> &selected, const std::function<bool()> &appendAfterLast);
    int Delete(const QList<int> &selected);
    // With exactly one row selected, its texts change places with the row above or below. The row the entry
    // went to, or -1 when nothing moved.
    int Move(const QList<int> &selected, bool up);
    // Motion row `motion` dropped before scenario row `before` (out of range: at the end); the new row's
    // index, or -1 when there is no such motion row.
    int Drop(int motion, int before);
    // Only a slot that holds data can be renamed.
    bool CanRename(int motion) const;
    // The slot's DATA NAME, and every scenario row naming it follows.
    void RenameMotion(int motion, const QString &name);
    // Every scenario row goes; the motion list and the buffer stay.
    void New();

    // Whether a load replaces data worth a question: a full motion list and at least one row.
    bool HoldsData() const;
    // Whether a save has something to write: a full motion list and at least one row.
    bool CanSave() const { return HoldsData(); }
    // Both lists from the file when every check passed; otherwise they stay. The lists of the result are
    // taken.
    ScenarioFileLoad LoadFile(const QString &path);
    bool SaveFile(const QString &path, QString *error) const;

    // The motion list read from the boards; with `refreshNames` the scenario rows take the slots' names.
    void ReplaceMotions(const SlotList &motions, bool refreshNames);
    // The scenario read from the boards, or emptied by a clear of the slot or a read that found nothing.
    void ReplaceScenario(ScenarioRows rows);

    // False when there was nothing to take back or do again.
    bool Undo();
    bool Redo();

signals:
    // After an undo or a redo: the rows it touched, for the window to select.
    void StepShown(const orvane::ScenarioDocument::Shown &rows);

private:
    class Edit;
    friend class Edit;

    // One step of the rows, removed and inserted in runs, plus motion slots and names.
    void Push(Edit *edit);
    // The sorted, unique, in-range indexes of `selected`.
    QList<int> Valid(const QList<int> &selected) const;
    void Remove(const QList<int> &rows);
    void Insert(int at, const ScenarioRows &rows);

    MotionListModel *motions_;
    ScenarioModel *scenario_;
    QUndoStack *undo_;
    ScenarioRows clipboard_;
};

}  // namespace orvane
