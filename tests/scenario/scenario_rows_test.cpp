// Scenario rows held as numbers into a pool of distinct pairs: rows that share a pair stay rows of their own,
// lists with pools of their own mix without losing a text, and history gives back exactly what was there.

#include "scenario/scenario_document.h"
#include "scenario/scenario_file.h"

#include <QTemporaryDir>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace {

using namespace orvane;

QList<SlotRow> Motions(const QString &prefix = QStringLiteral("m"))
{
    QList<SlotRow> rows;
    for (int k = 0; k < 40; ++k)
        rows.append({QStringLiteral("M%1").arg(k), prefix + QString::number(k), QStringLiteral("1")});
    return rows;
}

QStringList Texts(const ScenarioRows &rows)
{
    QStringList out;
    for (const ScenarioRow &row : rows)
        out << row.motion + u'|' + row.name;
    return out;
}

TEST(ScenarioRows, RowsSharingAPairChangeAlone)
{
    ScenarioModel model;
    model.Replace({{"M1", "walk"}, {"M1", "walk"}, {"M2", "turn"}, {"M1", "walk"}});
    ASSERT_EQ(model.Rows().PairCount(), 2);

    model.SetName(1, QStringLiteral("own"));
    model.Exchange(2, 3);
    EXPECT_EQ(Texts(model.Rows()), (QStringList{"M1|walk", "M1|own", "M1|walk", "M2|turn"}));

    // A rename through the document: each row takes the name of its slot, whatever it shared before.
    ScenarioDocument doc;
    doc.Motions()->Replace(Motions());
    doc.ReplaceScenario({{"M1", "m1"}, {"X1", "m1"}, {"M2", "m1"}, {"M1", "m1"}, {"M40", "m1"}});
    doc.RenameMotion(1, QStringLiteral("走る"));
    EXPECT_EQ(Texts(doc.Scenario()->Rows()), (QStringList{"M1|走る", "X1|走る", "M2|m2", "M1|走る", "M40|m1"}));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Texts(doc.Scenario()->Rows()), (QStringList{"M1|m1", "X1|m1", "M2|m1", "M1|m1", "M40|m1"}));
}

TEST(ScenarioRows, ListsWithPoolsOfTheirOwnMixByTheirTexts)
{
    // A large pool lending few rows, and a small one lending many: both ways of taking rows over.
    ScenarioRows many;
    for (int i = 0; i < 1000; ++i)
        many.Append({QStringLiteral("M%1").arg(i % 40), QStringLiteral("n%1").arg(i)});
    ScenarioRows target{{"M3", "n3"}, {"M9", "x"}};
    target.Insert(1, many.Pick({3, 999, 3}));
    EXPECT_EQ(Texts(target), (QStringList{"M3|n3", "M3|n3", "M39|n999", "M3|n3", "M9|x"}));
    EXPECT_EQ(target.PairCount(), 3) << "a pair the list already held is not held twice";

    ScenarioRows few{{"M5", "a"}, {"M6", ""}};
    ScenarioRows repeated;
    for (int i = 0; i < 50; ++i)
        repeated.Append(few[i % 2]);
    many.Overwrite(10, repeated);
    EXPECT_EQ(many[10], (ScenarioRow{"M5", "a"}));
    EXPECT_EQ(many[59], (ScenarioRow{"M6", ""}));
    EXPECT_EQ(many[60], (ScenarioRow{"M20", "n60"}));

    EXPECT_EQ(ScenarioRows(few.ToList()), few);
    EXPECT_FALSE(ScenarioRows({{"M5", "a"}, {"M6", " "}}) == few);
    EXPECT_EQ(few.Find(u"M6", u""), few.PairOf(1));
    EXPECT_EQ(few.Find(u"M6", u" "), ScenarioRows::kNoPair);
}

// Rows copied before a load replaced the whole list, pasted after it and taken back, step by step.
TEST(ScenarioRows, HistoryAcrossALoadGivesTheExactRowsBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("s.csv"));
    ASSERT_TRUE(SaveScenarioFile(path, Motions(QStringLiteral("f")), {{"M3", "f3"}, {"M4", "own"}}, nullptr));

    ScenarioDocument doc;
    doc.Motions()->Replace(Motions());
    doc.ReplaceScenario({{"M0", "m0"}, {"M1", "m1"}, {"M0", "m0"}});
    std::vector<QStringList> states{Texts(doc.Scenario()->Rows())};
    const auto step = [&] { states.push_back(Texts(doc.Scenario()->Rows())); };

    doc.Copy({0, 1});
    ASSERT_TRUE(doc.LoadFile(path).ok());
    step();
    ASSERT_EQ(doc.Paste({1}, [] { return false; }), 1);
    step();
    doc.RenameMotion(0, QStringLiteral("zero"));
    step();
    ASSERT_EQ(doc.Move({0}, false), 1);
    step();
    doc.Delete({2, 3});
    step();
    EXPECT_EQ(states.back(), (QStringList{"M0|zero", "M3|f3"}));

    for (size_t k = states.size() - 1; k > 0; --k) {
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(Texts(doc.Scenario()->Rows()), states[k - 1]) << "undo to state " << k - 1;
    }
    for (size_t k = 1; k < states.size(); ++k) {
        ASSERT_TRUE(doc.Redo());
        EXPECT_EQ(Texts(doc.Scenario()->Rows()), states[k]) << "redo to state " << k;
    }
}

// Every row brings a pair of its own: nothing is shared, and every text comes back as it went.
TEST(ScenarioRows, AFileOfDistinctPairsSurvivesASaveAndALoad)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("s.csv"));
    QList<ScenarioRow> rows;
    for (int i = 0; i < 20'000; ++i)
        rows.append(
            {(i % 3 == 0 ? QStringLiteral("M%1") : QStringLiteral("X0%1")).arg(i % 40), QStringLiteral("歩%1").arg(i)});
    const ScenarioRow again = rows.first();
    rows.append(again);
    ASSERT_TRUE(SaveScenarioFile(path, Motions(), rows, nullptr));

    ScenarioDocument doc;
    ASSERT_TRUE(doc.LoadFile(path).ok());
    EXPECT_EQ(doc.Scenario()->Rows(), rows);
    EXPECT_EQ(doc.Scenario()->Rows().PairCount(), 20'000);
    QString error;
    ASSERT_TRUE(doc.SaveFile(path + QStringLiteral("2"), &error)) << error.toStdString();
    QFile first(path), second(path + QStringLiteral("2"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), second.readAll());

    doc.Delete({5});
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.Scenario()->Rows(), rows);
}

}  // namespace
