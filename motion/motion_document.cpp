#include "motion/motion_document.h"

#include <QUndoCommand>
#include <QUndoStack>

#include <algorithm>
#include <utility>

namespace orvane {

namespace {

QStringList FieldsFromName(const PositionTexts &row)
{
    QStringList texts{row.name, row.speed};
    texts += row.values.mid(0, kChannelCount);
    return texts;
}

// Rows [from, from + count) as the editor shows a step.
using Span = std::pair<int, int>;

}  // namespace

// One change of the document. The first redo is the change itself (Edited); later ones and every undo come
// from the history (HistoryApplied).
class MotionDocument::Step : public QUndoCommand {
public:
    explicit Step(MotionDocument &doc) : doc_(doc) {}

    void redo() final
    {
        const Span span = Do();
        if (pushed_) {
            emit doc_.HistoryApplied(span.first, span.second);
        } else {
            pushed_ = true;
            emit doc_.Edited(span.first, span.second);
        }
    }
    void undo() final
    {
        const Span span = Revert();
        emit doc_.HistoryApplied(span.first, span.second);
    }
    virtual StepCost Cost() const = 0;

protected:
    virtual Span Do() = 0;
    virtual Span Revert() = 0;
    MotionData &Data() { return *doc_.data_; }
    Span FromOn(int from) { return {from, std::max(Data().Count() - from, 0)}; }

private:
    MotionDocument &doc_;
    bool pushed_ = false;
};

// Rows added at `pos`, then (when renumberFrom >= 0) every row from renumberFrom on numbered by position.
// Keeps the added rows and the NO texts the renumbering overwrote that were not their position's number.
class MotionDocument::InsertStep : public Step {
public:
    InsertStep(MotionDocument &doc, int pos, MotionRows rows, int renumberFrom, NumberTexts irregular)
        : Step(doc), pos_(pos), rows_(std::move(rows)), renumberFrom_(renumberFrom), irregular_(std::move(irregular))
    {}

    StepCost Cost() const override { return {rows_.Size(), qsizetype(irregular_.size())}; }

protected:
    Span Do() override
    {
        Data().InsertRows(pos_, rows_);
        if (renumberFrom_ < 0)
            return {pos_, int(rows_.Size())};
        Data().RenumberFrom(renumberFrom_);
        return FromOn(renumberFrom_);
    }
    Span Revert() override
    {
        Data().ReplaceRows(pos_, int(rows_.Size()), MotionRows());
        if (renumberFrom_ < 0)
            return {pos_, 0};
        Data().RenumberFrom(renumberFrom_, {}, irregular_);
        return FromOn(renumberFrom_);
    }

private:
    int pos_;
    MotionRows rows_;
    int renumberFrom_;
    NumberTexts irregular_;
};

// Rows removed from the given positions, then every row from the first of them on numbered by position.
// Keeps the removed rows and the overwritten NO texts that were not their position's number.
class MotionDocument::DeleteStep : public Step {
public:
    DeleteStep(MotionDocument &doc, QList<int> positions, MotionRows removed, NumberTexts irregular)
        : Step(doc), positions_(std::move(positions)), removed_(std::move(removed)), irregular_(std::move(irregular))
    {}
    StepCost Cost() const override { return {removed_.Size(), qsizetype(irregular_.size())}; }

protected:
    Span Do() override
    {
        Data().DeleteRows(positions_);
        Data().RenumberFrom(positions_.front());
        return FromOn(positions_.front());
    }
    Span Revert() override
    {
        Data().RestoreRows(positions_, removed_);
        Data().RenumberFrom(positions_.front(), positions_, irregular_);
        return FromOn(positions_.front());
    }

private:
    QList<int> positions_;
    MotionRows removed_;
    NumberTexts irregular_;
};

// Columns from `firstColumn` on of the listed rows become `texts`. Keeps those rows as they were.
class MotionDocument::RewriteStep : public Step {
public:
    RewriteStep(MotionDocument &doc, QList<int> rows, int firstColumn, QStringList texts, MotionRows before)
        : Step(doc), rows_(std::move(rows)), firstColumn_(firstColumn), texts_(std::move(texts)),
          before_(std::move(before))
    {}
    StepCost Cost() const override { return {before_.Size(), 0}; }

protected:
    Span Do() override
    {
        Data().SetFieldsOfRows(rows_, firstColumn_, texts_);
        return Rows();
    }
    Span Revert() override
    {
        Data().PutRows(rows_, before_);
        return Rows();
    }

private:
    Span Rows() const { return {rows_.front(), rows_.back() - rows_.front() + 1}; }

    QList<int> rows_;
    int firstColumn_;
    QStringList texts_;
    MotionRows before_;
};

// Every row (and the captions) replaced: new, a loaded file, a read from the boards.
class MotionDocument::ReplaceStep : public Step {
public:
    ReplaceStep(MotionDocument &doc, MotionRows before, QStringList captionsBefore, MotionRows after,
                QStringList captionsAfter)
        : Step(doc), before_(std::move(before)), after_(std::move(after)), captionsBefore_(std::move(captionsBefore)),
          captionsAfter_(std::move(captionsAfter))
    {}
    StepCost Cost() const override { return {before_.Size() + after_.Size(), 0}; }

protected:
    Span Do() override
    {
        Data().ReplaceAll(captionsAfter_, after_);
        return FromOn(0);
    }
    Span Revert() override
    {
        Data().ReplaceAll(captionsBefore_, before_);
        return FromOn(0);
    }

private:
    MotionRows before_;
    MotionRows after_;
    QStringList captionsBefore_;
    QStringList captionsAfter_;
};

MotionDocument::MotionDocument(QObject *parent)
    : QObject(parent), data_(new MotionData(this)), undo_(new QUndoStack(this))
{}

MotionDocument::~MotionDocument() = default;

QList<int> MotionDocument::ValidRows(QList<int> rows) const
{
    const int n = Count();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [n](int r) { return r < 0 || r >= n; }), rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

NumberTexts MotionDocument::IrregularNumbers(int from, const QList<int> &skip) const
{
    NumberTexts out;
    qsizetype k = 0;
    for (int r = std::max(from, 0); r < Count(); ++r) {
        while (k < skip.size() && skip[k] < r)
            ++k;
        if (k < skip.size() && skip[k] == r)
            continue;
        const QStringView no = Rows().FieldView(r, kNoColumn);
        if (!IsRowNumber(no, r + 1))
            out.emplace_back(r, no.toString());
    }
    return out;
}

void MotionDocument::InsertRows(int pos, MotionRows rows, int renumberFrom)
{
    if (rows.Empty())
        return;
    NumberTexts irregular = renumberFrom >= 0 ? IrregularNumbers(renumberFrom) : NumberTexts();
    undo_->push(new InsertStep(*this, pos, std::move(rows), renumberFrom, std::move(irregular)));
}

void MotionDocument::AppendPosition(const PositionTexts &row) { AppendRows({row}); }

void MotionDocument::AppendRows(const QList<PositionTexts> &rows)
{
    MotionRows added;
    added.Reserve(rows.size());
    for (const PositionTexts &row : rows)
        added.Append(QStringList{QString::number(Count() + added.Size() + 1)} + FieldsFromName(row));
    InsertRows(Count(), std::move(added), -1);
}

void MotionDocument::OverwriteRows(QList<int> rows, const PositionTexts &row)
{
    Rewrite(std::move(rows), kNameColumn, FieldsFromName(row));
}

void MotionDocument::Rewrite(QList<int> rows, int firstColumn, const QStringList &texts)
{
    QList<int> changed;
    for (int r : ValidRows(std::move(rows))) {
        for (qsizetype i = 0; i < texts.size() && firstColumn + i < kMotionFieldCount; ++i) {
            if (Rows().FieldView(r, int(firstColumn + i)) != texts[i]) {
                changed.append(r);
                break;
            }
        }
    }
    if (changed.isEmpty())
        return;
    MotionRows before = Rows().Pick(changed);
    undo_->push(new RewriteStep(*this, std::move(changed), firstColumn, texts, std::move(before)));
}

bool MotionDocument::Copy(QList<int> selected)
{
    if (Count() == 0)
        return false;
    clipboard_.clear();
    for (int r : ValidRows(std::move(selected)))
        clipboard_.append(data_->Fields(r).mid(kNameColumn));
    return true;
}

int MotionDocument::Cut(QList<int> selected)
{
    if (!Copy(selected))
        return -1;
    return Delete(std::move(selected));
}

bool MotionDocument::Paste(int firstSelected, const std::function<bool()> &pasteAfterLast)
{
    if (clipboard_.isEmpty())
        return false;
    int p = firstSelected >= 0 && firstSelected < Count() ? firstSelected : -1;
    if (p == Count() - 1 && pasteAfterLast && pasteAfterLast())
        ++p;
    MotionRows rows;
    rows.Reserve(clipboard_.size());
    for (const QStringList &clip : clipboard_)
        rows.Append(QStringList{QString()} + clip);
    InsertRows(p < 0 ? Count() : p, std::move(rows), std::max(p, 0));
    return true;
}

void MotionDocument::Insert(int firstSelected)
{
    const int p = firstSelected >= 0 && firstSelected < Count() ? firstSelected : -1;
    QStringList row{QString(), QStringLiteral("DATA"), QStringLiteral("7")};
    for (int n = 0; n < kChannelCount; ++n)
        row << QString::number(kValueLow);
    MotionRows rows;
    rows.Append(row);
    InsertRows(p < 0 ? Count() : p, std::move(rows), std::max(p, 0));
}

int MotionDocument::Delete(QList<int> selected)
{
    QList<int> rows = ValidRows(std::move(selected));
    if (rows.isEmpty())
        return -1;
    const int first = rows.front();
    MotionRows removed = Rows().Pick(rows);
    NumberTexts irregular = IrregularNumbers(first, rows);
    undo_->push(new DeleteStep(*this, std::move(rows), std::move(removed), std::move(irregular)));
    return first;
}

void MotionDocument::Rename(int row, const QString &name) { Rewrite({row}, kNameColumn, {name}); }

void MotionDocument::SetSpeed(QList<int> rows, int speed)
{
    Rewrite(std::move(rows), kSpeedColumn, {QString::number(speed)});
}

void MotionDocument::New()
{
    if (Count() > 0)
        ReplaceAll(MotionRows(), Captions(), Captions());
}

void MotionDocument::ReplaceAll(MotionRows rows, const QStringList &captions, const QStringList &captionsBefore)
{
    bool same = rows.Size() == Rows().Size() && captions == captionsBefore && captions == Captions();
    for (qsizetype r = 0; same && r < rows.Size(); ++r)
        same = rows.SameRow(r, Rows(), r);
    if (same)
        return;
    undo_->push(new ReplaceStep(*this, Rows().Slice(0, Count()), captionsBefore, std::move(rows), captions));
}

bool MotionDocument::Load(MotionFileLoad &&load, const QStringList &channelNames,
                          const std::function<bool()> &renewLabels)
{
    // Renewing the labels renames the channels at once, which reaches the captions here; a rejected file
    // must still leave them as they were, and an undone load gives back the ones from before the question.
    const QStringList captionsBefore = Captions();
    QStringList captions;
    if (load.headerValid()) {
        const bool renew = ChannelNamesDiffer(load.header, channelNames) && renewLabels && renewLabels();
        captions = CaptionsAfterLoad(load.header, channelNames, renew);
    }
    if (!load.ok()) {
        if (Captions() != captionsBefore)
            data_->SetCaptions(captionsBefore);
        return false;
    }
    ReplaceAll(std::move(load.rows), captions, captionsBefore);
    return true;
}

void MotionDocument::ReplaceFromBoard(MotionRows rows) { ReplaceAll(std::move(rows), Captions(), Captions()); }

StepCost MotionDocument::CostOfStep(int index) const
{
    const auto *step = dynamic_cast<const Step *>(undo_->command(index));
    return step ? step->Cost() : StepCost{};
}

void MotionDocument::Undo() { undo_->undo(); }

void MotionDocument::Redo() { undo_->redo(); }

}  // namespace orvane
