// The motion data's editing rules and their history, without any window: every change undone gives back
// the rows, names and captions exactly, redone gives the change again, and a step keeps only what it changed.

#include "motion/motion_document.h"
#include "motion/motion_file.h"

#include <QUndoStack>
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

using namespace orvane;

namespace {

struct Snapshot {
    QList<QStringList> rows;
    QStringList captions;
    bool operator==(const Snapshot &) const = default;
};

void PrintTo(const Snapshot &s, std::ostream *os)
{
    *os << s.rows.size() << " rows:";
    for (const QStringList &row : s.rows)
        *os << " " << row.mid(0, 4).join(u'|').toStdString();
}

Snapshot Take(const MotionDocument &doc)
{
    Snapshot s;
    for (int r = 0; r < doc.Count(); ++r)
        s.rows << doc.Model()->Fields(r);
    s.captions = doc.Captions();
    return s;
}

QStringList Column(const MotionDocument &doc, int column)
{
    QStringList out;
    for (int r = 0; r < doc.Count(); ++r)
        out << doc.Model()->Field(r, column);
    return out;
}

HomePositions Home()
{
    HomePositions home;
    home.fill(90);
    return home;
}

// A motion file's text: header with `ch5` as channel 5's name, one line per NO text, named "N" + index.
MotionFileLoad Parsed(const QString &ch5, const QStringList &numbers, const QString &lastLineExtra = {})
{
    QString text = QStringLiteral("NO,DATA_NAME,SPEED");
    for (int n = 1; n <= kChannelCount; ++n)
        text += QLatin1Char(',') + (n == 5 ? ch5 : QStringLiteral("CH%1").arg(n));
    text += QStringLiteral("\r\n");
    for (qsizetype i = 0; i < numbers.size(); ++i)
        text += numbers[i] + QStringLiteral(",N%1,%2").arg(i).arg(i % 8)
                + QStringLiteral(",%1").arg(i % 50).repeated(24) + QStringLiteral("\r\n");
    text += lastLineExtra;
    return ParseMotionText(text, Home());
}

QStringList ChannelNames()
{
    QStringList names;
    for (int n = 1; n <= kChannelCount; ++n)
        names << QStringLiteral("CH%1").arg(n);
    return names;
}

PositionTexts Pose(const QString &name, int speed, int value)
{
    return {name, QString::number(speed), QStringList(kChannelCount, QString::number(value))};
}

void LoadNumbers(MotionDocument &doc, const QStringList &numbers)
{
    ASSERT_TRUE(doc.Load(Parsed(QStringLiteral("CH5"), numbers), ChannelNames(), [] { return false; }));
    doc.UndoStack()->clear();
}

QList<int> Range(int from, int to)
{
    QList<int> out;
    for (int r = from; r < to; ++r)
        out << r;
    return out;
}

TEST(MotionDocumentHistory, EachChangeUndoneRestoresRowsNamesAndCaptionsExactlyAndRedoneComesBack)
{
    MotionDocument doc;
    // NO texts that are no position's number must come back as they were, not renumbered.
    LoadNumbers(doc, {"7", "x", "", "10", "20", "5"});
    doc.Copy({1, 4});

    const auto yes = [] { return true; };
    const auto no = [] { return false; };
    const std::vector<std::pair<const char *, std::function<void()>>> changes{
        {"append", [&] { doc.AppendPosition(Pose("added", 5, 77)); }},
        {"append rows",
         [&] {
             doc.AppendRows({Pose("r1", 1, 1), Pose("r2", 2, 2), Pose("r3", 3, 3)});
         }},
        {"overwrite",
         [&] {
             doc.OverwriteRows({3, 1}, Pose("over", 1, 33));
         }},
        {"cut",
         [&] {
             doc.Cut({0, 2});
         }},
        {"paste in the middle", [&] { doc.Paste(1, yes); }},
        {"paste before the last", [&] { doc.Paste(doc.Count() - 1, no); }},
        {"paste after the last", [&] { doc.Paste(doc.Count() - 1, yes); }},
        {"paste with nothing selected", [&] { doc.Paste(-1, no); }},
        {"insert", [&] { doc.Insert(2); }},
        {"insert with nothing selected", [&] { doc.Insert(-1); }},
        {"delete scattered",
         [&] {
             doc.Delete({4, 1, 6});
         }},
        {"rename", [&] { doc.Rename(3, QStringLiteral("renamed")); }},
        {"rename to empty", [&] { doc.Rename(0, QString()); }},
        {"speed",
         [&] {
             doc.SetSpeed({0, 1, 2}, 6);
         }},
        {"load renewing the labels",
         [&] {
             doc.Load(Parsed(QStringLiteral("Knee"), {"3", "y"}), ChannelNames(), [&] {
                 doc.SetChannelCaption(5, QStringLiteral("Knee"));  // what the main window's renaming does
                 return true;
             });
         }},
        {"read from the boards",
         [&] {
             MotionRows read;
             read.Append(QStringList{"1", "DATA", "4"} + QStringList(kChannelCount, "225"));
             doc.ReplaceFromBoard(std::move(read));
         }},
        {"new", [&] { doc.New(); }},
    };
    for (const auto &[name, change] : changes) {
        SCOPED_TRACE(name);
        const Snapshot before = Take(doc);
        const int steps = doc.UndoStack()->count();
        change();
        const Snapshot after = Take(doc);
        ASSERT_NE(before, after);
        ASSERT_EQ(doc.UndoStack()->count(), steps + 1) << "one change, one step";

        doc.Undo();
        EXPECT_EQ(Take(doc), before);
        doc.Redo();
        EXPECT_EQ(Take(doc), after);
    }
    EXPECT_EQ(doc.Count(), 0);
    EXPECT_EQ(doc.Captions()[7], QStringLiteral("Knee"));
    while (doc.UndoStack()->canUndo())
        doc.Undo();
    EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"7", "x", "", "10", "20", "5"}));
    EXPECT_EQ(doc.Captions()[7], QStringLiteral("CH5"));
}

TEST(MotionDocumentHistory, NumbersThatAreNoPositionsSurviveADeleteAndItsUndoAndOnlyTheyAreKept)
{
    MotionDocument doc;
    LoadNumbers(doc, {"7", "x", "", "4", "5", "9"});
    const Snapshot loaded = Take(doc);

    EXPECT_EQ(doc.Delete({1}), 1);
    EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"7", "2", "3", "4", "5"}));
    // The deleted row, and of the renumbered rows the NO texts "" and "9": "4" and "5" were their positions'.
    EXPECT_EQ(doc.CostOfStep(0), (StepCost{1, 2}));
    doc.Undo();
    EXPECT_EQ(Take(doc), loaded);
    doc.Redo();
    EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"7", "2", "3", "4", "5"}));

    // Now every number from row 1 on is its position's: the next delete keeps its row and nothing else.
    doc.Delete({2});
    EXPECT_EQ(doc.CostOfStep(1), (StepCost{1, 0}));
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(Take(doc), loaded);
}

TEST(MotionDocumentHistory, AStepKeepsTheRowsItChangedNotTheRowsItRenumbered)
{
    MotionDocument doc;
    QList<PositionTexts> poses;
    for (int r = 0; r < 10000; ++r)
        poses << Pose(QStringLiteral("R%1").arg(r), r % 8, r % 181);
    doc.AppendRows(poses);
    doc.Copy({5, 6, 7});
    doc.UndoStack()->clear();

    doc.Delete({1});
    doc.Cut({0, 5000});
    doc.Insert(3);
    doc.Paste(2, [] { return false; });
    doc.SetSpeed({10, 11}, 0);
    doc.Rename(9, QStringLiteral("x"));
    doc.OverwriteRows({20}, Pose("o", 1, 2));
    doc.AppendPosition(Pose("a", 1, 2));
    doc.Delete(Range(0, doc.Count()));
    const std::vector<StepCost> costs{{1, 0}, {2, 0}, {1, 0}, {2, 0}, {2, 0}, {1, 0}, {1, 0}, {1, 0}, {10001, 0}};
    ASSERT_EQ(doc.UndoStack()->count(), int(costs.size()));
    for (int i = 0; i < int(costs.size()); ++i)
        EXPECT_EQ(doc.CostOfStep(i), costs[size_t(i)]) << "step " << i;
    EXPECT_EQ(doc.ClipboardRows().size(), 2) << "the cut replaced the copy";

    while (doc.UndoStack()->canUndo())
        doc.Undo();
    ASSERT_EQ(doc.Count(), 10000);
    EXPECT_EQ(doc.Model()->Fields(9999), (QStringList{"10000", "R9999", "7"} + QStringList(kChannelCount, "44")));
}

TEST(MotionDocumentHistory, ALongRandomSequenceUndoneGivesTheOriginalAndRedoneGivesTheEnd)
{
    MotionDocument doc;
    LoadNumbers(doc, {"7", "x", "", "3", "10", "b", "7", "8", "", "0", "11", "12"});
    std::mt19937 random(16);
    const auto pick = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
    const auto someRows = [&] {
        QList<int> rows;
        const int n = pick(4);
        for (int i = 0; i < n; ++i)
            rows << pick(doc.Count() + 1) - 1;  // -1 and repeats included
        return rows;
    };
    // states[i]: the data at undo index i.
    std::vector<Snapshot> states{Take(doc)};
    int changes = 0;
    for (int round = 0; round < 400; ++round) {
        const int at = doc.UndoStack()->index();
        switch (pick(12)) {
        case 0: doc.AppendPosition(Pose(QStringLiteral("A%1").arg(round), pick(8), pick(181))); break;
        case 1: doc.AppendRows({Pose("p", 1, pick(181)), Pose("q", 2, pick(181))}); break;
        case 2: doc.OverwriteRows(someRows(), Pose(QStringLiteral("O%1").arg(round), pick(8), pick(181))); break;
        case 3: doc.Copy(someRows()); break;
        case 4: doc.Cut(someRows()); break;
        case 5: doc.Paste(pick(doc.Count() + 1) - 1, [&] { return pick(2) == 0; }); break;
        case 6: doc.Insert(pick(doc.Count() + 1) - 1); break;
        case 7: doc.Delete(someRows()); break;
        case 8: doc.Rename(pick(doc.Count()), QStringLiteral("n%1").arg(pick(3))); break;
        case 9: doc.SetSpeed(someRows(), pick(8)); break;
        case 10:
            if (pick(10) == 0)
                doc.New();
            else
                doc.Delete(Range(pick(doc.Count()), doc.Count()));
            break;
        case 11:
            if (pick(3) == 0)
                doc.Load(Parsed(QStringLiteral("CH5"), {"9", "", "q"}), ChannelNames(), [] { return false; });
            else
                doc.Undo();  // undone part way: the next change drops what could be redone
            break;
        }
        const int now = doc.UndoStack()->index();
        if (now == at + 1) {
            states.resize(size_t(at + 1));
            states.push_back(Take(doc));
            ++changes;
        } else {
            ASSERT_LE(now, at) << "round " << round;
            ASSERT_EQ(Take(doc), states[size_t(now)]) << "round " << round << ": no step, yet a change";
        }
    }
    ASSERT_GT(changes, 250);
    ASSERT_EQ(size_t(doc.UndoStack()->count()) + 1, states.size());
    for (int i = doc.UndoStack()->index(); i > 0; --i) {
        doc.Undo();
        ASSERT_EQ(Take(doc), states[size_t(i - 1)]) << "undone to step " << i - 1;
    }
    for (size_t i = 1; i < states.size(); ++i) {
        doc.Redo();
        ASSERT_EQ(Take(doc), states[i]) << "redone to step " << i;
    }
}

// Past a few dozen runs the rows go and come back in one pass instead of one model signal per run.
TEST(MotionDocumentHistory, ADeleteOfManyScatteredRowsGoesBackExactly)
{
    MotionDocument doc;
    QStringList numbers;
    for (int r = 0; r < 300; ++r)
        numbers << (r % 7 == 0 ? QStringLiteral("n%1").arg(r) : QString::number(r + 1));
    LoadNumbers(doc, numbers);
    const Snapshot before = Take(doc);
    QList<int> everyOther;
    for (int r = 1; r < 300; r += 2)
        everyOther << r;
    EXPECT_EQ(doc.Delete(everyOther), 1);
    const Snapshot after = Take(doc);
    ASSERT_EQ(after.rows.size(), 150);
    EXPECT_EQ(after.rows[149][kNameColumn], QStringLiteral("N298"));
    EXPECT_EQ(after.rows[149][kNoColumn], QStringLiteral("150"));
    // Of the rows left from row 1 on, those whose number was no position's: rows 14, 28, ... 294.
    EXPECT_EQ(doc.CostOfStep(0), (StepCost{150, 21}));
    doc.Undo();
    EXPECT_EQ(Take(doc), before);
    doc.Redo();
    EXPECT_EQ(Take(doc), after);
}

TEST(MotionDocumentRules, PasteAsksOnlyAtTheLastRowOrAnEmptyListAndNumbersFromWhereItWent)
{
    MotionDocument doc;
    int asked = 0;
    const auto answer = [&](bool yes) {
        return [&asked, yes] {
            ++asked;
            return yes;
        };
    };
    EXPECT_FALSE(doc.Paste(-1, answer(true))) << "nothing copied";
    EXPECT_FALSE(doc.Copy({}));
    doc.AppendRows({Pose("a", 1, 1), Pose("b", 2, 2), Pose("c", 3, 3)});
    ASSERT_TRUE(doc.Copy({2, 0}));
    EXPECT_EQ(doc.ClipboardRows(), (QList<QStringList>{QStringList{"a", "1"} + QStringList(kChannelCount, "1"),
                                                       QStringList{"c", "3"} + QStringList(kChannelCount, "3")}));

    doc.Paste(-1, answer(true));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(Column(doc, kNameColumn), (QStringList{"a", "b", "c", "a", "c"}));
    EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"1", "2", "3", "4", "5"}));
    doc.Paste(4, answer(false));
    EXPECT_EQ(Column(doc, kNameColumn), (QStringList{"a", "b", "c", "a", "a", "c", "c"}));
    doc.Paste(6, answer(true));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Column(doc, kNameColumn).mid(5), (QStringList{"c", "c", "a", "c"}));
    EXPECT_EQ(Column(doc, kNoColumn).last(), QStringLiteral("9"));
    EXPECT_EQ(doc.ClipboardRows().size(), 2) << "paste leaves the copy buffer";

    // An empty list asks, and both answers give the same list.
    for (bool yes : {true, false}) {
        doc.New();
        doc.Paste(-1, answer(yes));
        EXPECT_EQ(Column(doc, kNameColumn), (QStringList{"a", "c"}));
        EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"1", "2"}));
    }
    EXPECT_EQ(asked, 4);

    // With nothing selected copy and cut empty the buffer and change nothing else.
    EXPECT_EQ(doc.Cut({}), -1);
    EXPECT_TRUE(doc.ClipboardRows().isEmpty());
    EXPECT_FALSE(doc.Paste(0, answer(true)));
}

TEST(MotionDocumentRules, AChangeThatChangesNothingMakesNoStep)
{
    MotionDocument doc;
    doc.New();
    doc.AppendRows({});
    doc.Delete({0, -1});
    EXPECT_EQ(doc.UndoStack()->count(), 0);
    doc.AppendRows({Pose("a", 3, 9), Pose("b", 3, 9)});
    doc.Rename(0, QStringLiteral("a"));
    doc.SetSpeed({0, 1}, 3);
    doc.OverwriteRows({1}, Pose("b", 3, 9));
    doc.Copy({0});
    MotionRows same = doc.Rows().Slice(0, 2);
    doc.ReplaceFromBoard(same);
    EXPECT_EQ(doc.UndoStack()->count(), 1);
    doc.SetSpeed({0, 1}, 4);
    EXPECT_EQ(doc.CostOfStep(1), (StepCost{2, 0}));
}

TEST(MotionDocumentRules, AppendedRowsAreNumberedByTheNewCountAndGoAsOneStep)
{
    MotionDocument doc;
    LoadNumbers(doc, {"10", "20"});
    doc.AppendPosition(Pose("one", 1, 5));
    doc.AppendRows({Pose("two", 2, 6), Pose("three", 3, 7)});
    EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"10", "20", "3", "4", "5"}));
    EXPECT_EQ(doc.Model()->Fields(4), (QStringList{"5", "three", "3"} + QStringList(kChannelCount, "7")));
    EXPECT_EQ(doc.UndoStack()->count(), 2);
    doc.Undo();
    EXPECT_EQ(doc.Count(), 3);
}

TEST(MotionDocumentRules, ARejectedLoadLeavesRowsAndCaptionsAndMakesNoStepAfterAskingAboutTheLabels)
{
    MotionDocument doc;
    LoadNumbers(doc, {"1"});
    const Snapshot before = Take(doc);
    bool asked = false;
    const bool loaded =
        doc.Load(Parsed(QStringLiteral("Hip"), {"1"}, QStringLiteral("2,bad,9\r\n")), ChannelNames(), [&] {
            asked = true;
            doc.SetChannelCaption(5, QStringLiteral("Hip"));
            return true;
        });
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Take(doc), before);
    EXPECT_EQ(doc.UndoStack()->count(), 0);

    // Names that match ask nothing; captions take header fields 1 to 3 and the channel names.
    QStringList names = ChannelNames();
    names[4] = QStringLiteral("Hip");
    EXPECT_TRUE(doc.Load(Parsed(QStringLiteral("Hip"), {"4"}), names, [] {
        ADD_FAILURE() << "asked although the names match";
        return false;
    }));
    EXPECT_EQ(doc.Captions()[7], QStringLiteral("Hip"));
}

TEST(MotionDocumentSignals, AChangeSaysWhatItEditedAndUndoAndRedoSayWhatTheyPutBack)
{
    MotionDocument doc;
    doc.AppendRows({Pose("a", 1, 1), Pose("b", 1, 1), Pose("c", 1, 1), Pose("d", 1, 1)});
    std::vector<std::pair<int, int>> edited, applied;
    QObject::connect(&doc, &MotionDocument::Edited, [&](int from, int count) { edited.emplace_back(from, count); });
    QObject::connect(&doc, &MotionDocument::HistoryApplied,
                     [&](int from, int count) { applied.emplace_back(from, count); });
    doc.Delete({1, 2});
    doc.Rename(0, QStringLiteral("z"));
    doc.Undo();
    doc.Undo();
    doc.Redo();
    EXPECT_EQ(edited, (std::vector<std::pair<int, int>>{{1, 1}, {0, 1}}));
    EXPECT_EQ(applied, (std::vector<std::pair<int, int>>{{0, 1}, {1, 3}, {1, 1}}));
}

}  // namespace

// A load's step and the list share the loaded rows, and the step keeps the rows from before (long ones
// among them) while later edits go on over the loaded ones.
TEST(MotionDocumentHistory, AnUndoneLoadGivesBackThePreviousRowsAndItsRedoTheFileAsRead)
{
    MotionDocument doc;
    LoadNumbers(doc, {"1", "2", "3", "4"});
    doc.Rename(1, QString(70'000, u'長'));
    doc.Rename(2, QString(300, u'm'));
    const Snapshot before = Take(doc);

    ASSERT_TRUE(doc.Load(Parsed(QStringLiteral("CH5"), {"9", "8", "7"}), ChannelNames(), [] { return false; }));
    const Snapshot loaded = Take(doc);
    ASSERT_EQ(Column(doc, kNoColumn), (QStringList{"9", "8", "7"}));
    ASSERT_GE(doc.Delete({0}), 0);
    EXPECT_EQ(Column(doc, kNoColumn), (QStringList{"1", "2"}));
    const Snapshot deleted = Take(doc);

    doc.Undo();
    EXPECT_EQ(Take(doc), loaded);
    doc.Undo();
    EXPECT_EQ(Take(doc), before);
    doc.Redo();
    EXPECT_EQ(Take(doc), loaded);
    doc.Redo();
    EXPECT_EQ(Take(doc), deleted);
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(Take(doc), before);
}
