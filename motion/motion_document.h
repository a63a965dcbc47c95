#pragma once
// The motion data with every rule that edits it: the rows and captions (as the model the editor's list
// shows), the editor's copy buffer and the history of changes. Free of widgets: the editor asks its
// questions and passes the answers in, here as callbacks that are called only when the question is due.
//
// Every change is one step of the undo stack, and a change that changes nothing makes none. A step keeps
// only what it changed: the rows it removed or rewrote, the rows it added, and of the rows a renumbering
// touched only the NO texts that were not their position's number (a loaded file may bring such); the
// renumbering itself is done again, not copied. So a delete of one row costs about one row.

#include "motion/motion_data.h"
#include "motion/motion_file.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QUndoStack;

namespace orvane {

// A pose as the main window (or a recording) hands it over: DATA NAME, SPEED and the texts of CH1 to CH24.
struct PositionTexts {
    QString name;
    QString speed;
    QStringList values;
};

// What one step of the history holds: whole rows, and NO texts kept apart from them.
struct StepCost {
    qsizetype rows = 0;
    qsizetype numbers = 0;
    bool operator==(const StepCost &) const = default;
};

class MotionDocument : public QObject {
    Q_OBJECT
public:
    explicit MotionDocument(QObject *parent = nullptr);
    ~MotionDocument() override;

    // The model the editor's list and the graph show. Changing it directly bypasses the history.
    MotionData *Model() const { return data_; }
    const MotionRows &Rows() const { return data_->Rows(); }
    int Count() const { return data_->Count(); }
    const QStringList &Captions() const { return data_->Captions(); }
    QUndoStack *UndoStack() const { return undo_; }
    // Rows of 26 texts (DATA NAME, SPEED, CH1 to CH24); not the system clipboard.
    const QList<QStringList> &ClipboardRows() const { return clipboard_; }

    // Caption 3 + n follows the name of channel n (1 to 24): the main window's, not a change of the data.
    void SetChannelCaption(int channel, const QString &name) { data_->SetChannelCaption(channel, name); }

    // A row numbered with the new row count at the end.
    void AppendPosition(const PositionTexts &row);
    // Several rows at the end as one step, each numbered as AppendPosition would number it.
    void AppendRows(const QList<PositionTexts> &rows);
    // Fields 2 to 27 of each listed row; the NO stays.
    void OverwriteRows(QList<int> rows, const PositionTexts &row);

    // The commands on the selected rows (any order). Copy and cut act only when the list has rows and fill
    // the copy buffer with the selected rows in list order (empty when none is selected). Copy: false when
    // it did not act. Cut then deletes them: the lowest deleted position, or -1 when none was.
    bool Copy(QList<int> selected);
    int Cut(QList<int> selected);
    // The copy buffer before the first selected row (-1: none). When that is the last row (or the list is
    // empty and nothing is selected) `pasteAfterLast` is asked, and true puts the rows after it. Renumbers
    // from the paste position (from 0 when appended with nothing selected). False when the buffer is empty.
    bool Paste(int firstSelected, const std::function<bool()> &pasteAfterLast);
    // Row "DATA", speed "7", 225 on every channel before the first selected row (appended when -1), then
    // renumbered from there (from 0 when appended).
    void Insert(int firstSelected);
    // Returns the lowest deleted position, or -1 when nothing was selected.
    int Delete(QList<int> selected);
    void Rename(int row, const QString &name);
    // Sets the speed (0 to 7) of each listed row.
    void SetSpeed(QList<int> rows, int speed);
    // Clears the rows; the captions stay.
    void New();

    // Takes over a parsed file with the captions the label question gives. `renewLabels` is asked when the
    // header's channel names differ from `channelNames` (even if a later line rejects the file); true renews
    // them. A rejected file changes nothing here (captions included) and gives false.
    bool Load(MotionFileLoad &&load, const QStringList &channelNames, const std::function<bool()> &renewLabels);
    // The rows read from a motion slot replace every row; the captions stay.
    void ReplaceFromBoard(MotionRows rows);

    void Undo();
    void Redo();
    // What step `index` of the undo stack keeps.
    StepCost CostOfStep(int index) const;

signals:
    // After a change made through the operations above: rows from `from` on changed (count: how many now
    // stand there for it). The editor refreshes for changes it did not start itself.
    void Edited(int from, int count);
    // After an undo or redo: rows [from, from + count) are the ones it put in place.
    void HistoryApplied(int from, int count);

private:
    class Step;
    class InsertStep;
    class DeleteStep;
    class RewriteStep;
    class ReplaceStep;

    void InsertRows(int pos, MotionRows rows, int renumberFrom);
    void Rewrite(QList<int> rows, int firstColumn, const QStringList &texts);
    void ReplaceAll(MotionRows rows, const QStringList &captions, const QStringList &captionsBefore);
    // NO texts of rows from `from` on that are not their position's number; rows in `skip` left out.
    NumberTexts IrregularNumbers(int from, const QList<int> &skip = {}) const;
    QList<int> ValidRows(QList<int> rows) const;

    MotionData *data_;
    QUndoStack *undo_;
    QList<QStringList> clipboard_;
};

}  // namespace orvane
