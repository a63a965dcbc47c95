// The scenario document without any window: each change taken back gives back the lists exactly, done again
// gives the change again, and a long run of changes taken back to the start gives the first data back.

#include "file_helpers.h"
#include "scenario/scenario_document.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using namespace orvane;

// Everything a view shows of the document: motion rows, and scenario rows with their NUMBER texts.
struct Picture {
    QList<SlotRow> motions;
    QStringList scenario;
    friend bool operator==(const Picture &, const Picture &) = default;
};

Picture PictureOf(const ScenarioDocument &doc)
{
    Picture p{doc.Motions()->List().Rows(), {}};
    const ScenarioModel &model = *doc.Scenario();
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < ScenarioModel::ColumnCount; ++c)
            cells << model.data(model.index(r, c), Qt::DisplayRole).toString();
        p.scenario << cells.join(u'|');
    }
    return p;
}

void PrintTo(const Picture &p, std::ostream *os)
{
    *os << p.motions.size() << " motions; " << p.scenario.join(QStringLiteral(", ")).toStdString();
}

// Slot k named "m<k>" holding k % 3 positions.
QList<SlotRow> Motions(const QString &prefix = QStringLiteral("m"))
{
    QList<SlotRow> rows;
    for (int k = 0; k < 40; ++k)
        rows.append({QStringLiteral("M%1").arg(k), prefix + QString::number(k), QString::number(k % 3)});
    return rows;
}

QList<ScenarioRow> Rows(std::initializer_list<int> motions)
{
    QList<ScenarioRow> rows;
    for (int m : motions)
        rows.append({QStringLiteral("M%1").arg(m), QStringLiteral("m%1").arg(m)});
    return rows;
}

class Document : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.Motions()->Replace(Motions());
        doc.Scenario()->Replace(Rows({0, 1, 2, 3, 4, 5}));
        doc.Scenario()->SetName(2, QStringLiteral("own"));  // a name of its own, as a file may bring
    }
    QStringList MotionTexts() const
    {
        QStringList out;
        for (const ScenarioRow &row : doc.Scenario()->Rows())
            out << row.motion;
        return out;
    }

    ScenarioDocument doc;
};

TEST_F(Document, EachChangeUndoneGivesTheListsBackAndRedoneGivesTheChangeAgain)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("other.csv");
    {
        ScenarioDocument other;
        other.Motions()->Replace(Motions(QStringLiteral("x")));
        other.Scenario()->Replace(Rows({9, 9, 1}));
        ASSERT_TRUE(other.SaveFile(file, nullptr));
    }
    SlotList read = SlotList::Motions();
    read.Assign(Motions(QStringLiteral("walk")));

    // Each change starts from the document of SetUp, after `prepare` where one is given.
    struct Change {
        const char *name;
        std::function<void()> change;
        std::function<void()> prepare = {};
    };
    const std::vector<Change> changes{
        {"cut of rows apart",
         [&] {
             EXPECT_EQ(doc.Cut({4, 1, 2}), 1);
         }},
        {"delete of the last row", [&] { EXPECT_EQ(doc.Delete({5}), 5); }},
        {"paste before a middle row", [&] { EXPECT_EQ(doc.Paste({3}, [] { return true; }), 3); },
         [&] {
             doc.Copy({0, 5});
         }},
        {"paste after the last row", [&] { EXPECT_EQ(doc.Paste({5}, [] { return true; }), 6); },
         [&] { doc.Copy({1}); }},
        {"paste before the last row", [&] { EXPECT_EQ(doc.Paste({5}, [] { return false; }), 5); },
         [&] {
             doc.Copy({1, 2});
         }},
        {"move down", [&] { EXPECT_EQ(doc.Move({2}, false), 3); }},
        {"move up", [&] { EXPECT_EQ(doc.Move({5}, true), 4); }},
        {"drop in the middle", [&] { EXPECT_EQ(doc.Drop(7, 1), 1); }},
        {"drop at the end", [&] { EXPECT_EQ(doc.Drop(8, -1), 6); }},
        {"rename of a slot", [&] { doc.RenameMotion(1, QStringLiteral("turn right")); }},
        {"new", [&] { doc.New(); }},
        {"load from a file", [&] { EXPECT_TRUE(doc.LoadFile(file).ok()); }},
        {"motion list read with names", [&] { doc.ReplaceMotions(read, true); }},
        {"motion list read keeping names", [&] { doc.ReplaceMotions(read, false); }},
        {"motion list read into an empty list", [&] { doc.ReplaceMotions(read, true); },
         [&] { doc.Motions()->Clear(); }},
        {"scenario read",
         [&] {
             doc.ReplaceScenario(Rows({3, 3}));
         }},
        {"emptied after a clear", [&] { doc.ReplaceScenario({}); }},
    };
    for (const Change &c : changes) {
        SCOPED_TRACE(c.name);
        SetUp();
        if (c.prepare)
            c.prepare();
        doc.UndoStack()->clear();
        const Picture before = PictureOf(doc);
        c.change();
        const Picture after = PictureOf(doc);
        EXPECT_NE(after, before);
        ASSERT_EQ(doc.UndoStack()->count(), 1);
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(PictureOf(doc), before);
        ASSERT_TRUE(doc.Redo());
        EXPECT_EQ(PictureOf(doc), after);
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(PictureOf(doc), before);
    }
}

TEST_F(Document, ChangesThatChangeNothingLeaveNoStep)
{
    doc.Scenario()->SetName(2, QStringLiteral("m2"));  // else a rename would refresh it
    doc.Delete({});
    doc.Delete({-1, 6});
    doc.Cut({});
    doc.Move({0}, true);
    doc.Move({5}, false);
    doc.Move({1, 2}, false);
    doc.Paste({1}, [] { return true; });  // the buffer is empty
    doc.Drop(40, 0);
    doc.ReplaceScenario(doc.Scenario()->Rows());
    doc.ReplaceMotions(doc.Motions()->List(), false);
    doc.RenameMotion(4, QStringLiteral("m4"));
    EXPECT_EQ(doc.UndoStack()->count(), 0);
    EXPECT_FALSE(doc.Undo());
    EXPECT_FALSE(doc.Redo());

    // A rejected file changes neither list and leaves no step.
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.csv");
    WriteAll(bad, "\"MOTION_NAME\",\"COUNT\"\r\n");
    const Picture before = PictureOf(doc);
    EXPECT_EQ(doc.LoadFile(bad).error, ScenarioFileError::TooFewLines);
    EXPECT_EQ(PictureOf(doc), before);
    EXPECT_EQ(doc.UndoStack()->count(), 0);
}

TEST_F(Document, RulesOfTheEditingCommands)
{
    // Paste asks only at the last row or into an empty scenario; with no row selected it goes to the end.
    int asked = 0;
    auto no = [&] {
        ++asked;
        return false;
    };
    doc.Copy({0});
    doc.Paste({2}, no);
    doc.Paste({}, no);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(MotionTexts(), (QStringList{"M0", "M1", "M0", "M2", "M3", "M4", "M5", "M0"}));
    doc.Paste({7}, no);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(MotionTexts().mid(6), (QStringList{"M5", "M0", "M0"}));

    // Copy of an empty scenario keeps the buffer; copy with nothing selected empties it.
    doc.Copy({});
    EXPECT_TRUE(doc.Clipboard().isEmpty());
    doc.Copy({3, 1});
    EXPECT_EQ(doc.Clipboard(), (QList<ScenarioRow>{{"M1", "m1"}, {"M2", "own"}}));
    doc.New();
    doc.Copy({});
    EXPECT_EQ(doc.Clipboard().size(), 2);
    doc.Paste({}, no);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(MotionTexts(), (QStringList{"M1", "M2"}));

    // A rename reaches only slots that hold data, and refreshes every row that names a slot.
    EXPECT_FALSE(doc.CanRename(0));  // COUNT 0
    EXPECT_TRUE(doc.CanRename(1));
    EXPECT_FALSE(doc.CanRename(40));
    doc.RenameMotion(1, QString());
    EXPECT_EQ(doc.Scenario()->Rows(), (QList<ScenarioRow>{{"M1", ""}, {"M2", "m2"}}));
    EXPECT_EQ(doc.Motions()->Row(1).name, "");
}

TEST_F(Document, UndoAndRedoTellWhichRowsTheyTouched)
{
    QSignalSpy shown(&doc, &ScenarioDocument::StepShown);
    doc.Delete({1, 3, 4});  // the step itself tells nothing: the window keeps its own selection
    EXPECT_EQ(shown.count(), 0);
    doc.Undo();
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown[0][0].value<ScenarioDocument::Shown>(), (ScenarioDocument::Shown{{1, 1}, {3, 2}}));
    doc.Redo();
    EXPECT_EQ(shown[1][0].value<ScenarioDocument::Shown>(), (ScenarioDocument::Shown{{1, 0}, {2, 0}}));
    doc.Undo();
    doc.Copy({0, 1});
    doc.Paste({4}, [] { return false; });
    doc.Undo();
    EXPECT_EQ(shown.last()[0].value<ScenarioDocument::Shown>(), (ScenarioDocument::Shown{{4, 0}}));
    doc.Redo();
    EXPECT_EQ(shown.last()[0].value<ScenarioDocument::Shown>(), (ScenarioDocument::Shown{{4, 2}}));
}

TEST_F(Document, ALongRandomRunUndoneStepByStepGivesEveryEarlierStateBack)
{
    std::mt19937 random(16);
    auto pick = [&](int n) { return n <= 0 ? 0 : int(random() % unsigned(n)); };
    auto selection = [&] {
        QList<int> rows;
        const int n = pick(4);
        for (int k = 0; k < n; ++k)
            rows << pick(doc.RowCount() + 1) - (pick(10) == 0 ? 1 : 0);  // now and then one out of range
        return rows;
    };
    SlotList read = SlotList::Motions();

    std::vector<Picture> states{PictureOf(doc)};
    for (int step = 0; step < 3000; ++step) {
        const int stepsBefore = doc.UndoStack()->count();
        switch (pick(12)) {
        case 0: doc.Cut(selection()); break;
        case 1: doc.Copy(selection()); break;
        case 2:
        case 3: doc.Paste(selection(), [&] { return pick(2) == 0; }); break;
        case 4: doc.Delete(selection()); break;
        case 5: doc.Move({pick(doc.RowCount())}, pick(2) == 0); break;
        case 6:
        case 7: doc.Drop(pick(40), pick(doc.RowCount() + 2) - 1); break;
        case 8: doc.RenameMotion(pick(40), QStringLiteral("n%1").arg(pick(5))); break;
        case 9:
            read.Assign(Motions(QStringLiteral("r%1_").arg(pick(3))));
            doc.ReplaceMotions(read, pick(2) == 0);
            break;
        case 10: {
            QList<ScenarioRow> rows;
            for (int i = pick(8); i > 0; --i)
                rows.append({QStringLiteral("M%1").arg(pick(40)), QStringLiteral("b%1").arg(pick(3))});
            doc.ReplaceScenario(rows);
            break;
        }
        case 11:
            if (pick(8) == 0)
                doc.New();
            break;
        }
        if (doc.UndoStack()->count() > stepsBefore)
            states.push_back(PictureOf(doc));
        else
            ASSERT_EQ(PictureOf(doc), states.back()) << "a change that left no step at " << step;
    }
    ASSERT_GT(states.size(), 1500u);
    for (size_t k = states.size() - 1; k > 0; --k) {
        ASSERT_TRUE(doc.Undo());
        ASSERT_EQ(PictureOf(doc), states[k - 1]) << "undo to state " << k - 1;
    }
    EXPECT_FALSE(doc.Undo());
    for (size_t k = 1; k < states.size(); ++k) {
        ASSERT_TRUE(doc.Redo());
        ASSERT_EQ(PictureOf(doc), states[k]) << "redo to state " << k;
    }
}

}  // namespace
