// The assignment document without a window: its editing rules and their undo and redo.

#include "transmitter/assignment_document.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace orvane;

namespace {

struct Snapshot {
    AssignmentTable table;
    QList<SlotRow> scenes;
    QList<SlotRow> motions;
    friend bool operator==(const Snapshot &, const Snapshot &) = default;
};

Snapshot Take(const AssignmentDocument &doc)
{
    return {doc.Assignment().Table(), doc.Assignment().Scenarios().Rows(), doc.Assignment().Motions().Rows()};
}

QList<SlotRow> ListRows(QChar prefix, int slotCount, const QString &base, int count)
{
    QList<SlotRow> rows;
    for (int k = 0; k < slotCount; ++k)
        rows.append({prefix + QString::number(k), base + QString::number(k), QString::number(k % 3 == 2 ? 0 : count)});
    return rows;
}

AssignmentFileLoad PassedLoad(int seed)
{
    AssignmentFileLoad load;
    load.scenarios = ListRows(QLatin1Char('S'), kScenarioSlotCount, QStringLiteral("file"), seed + 1);
    load.motions = ListRows(QLatin1Char('M'), kMotionSlotCount, QStringLiteral("file"), seed + 2);
    for (int e = 0; e < kAssignmentEntryCount; ++e)
        load.table[size_t(e)] = {std::uint8_t(e * seed), std::uint8_t(e % 40)};
    return load;
}

// A document with both lists and a few entries, its history empty.
void Fill(AssignmentDocument &doc)
{
    doc.ReplaceList(SlotListKind::Scenarios, ListRows(QLatin1Char('S'), kScenarioSlotCount, "dance", 12));
    doc.ReplaceList(SlotListKind::Motions, ListRows(QLatin1Char('M'), kMotionSlotCount, "walk", 8));
    doc.SetEntry(0, {3, 100});
    doc.SetEntry(1, {16, 0});
    doc.SetEntry(68, {5, 200});
    doc.UndoStack().clear();
}

}  // namespace

TEST(AssignmentDocument, EachChangeIsOneStepThatUndoRestoresExactlyAndRedoReapplies)
{
    AssignmentTable read{};
    read[7] = {1, 2};
    read[159] = {255, 103};
    const std::vector<std::pair<const char *, std::function<bool(AssignmentDocument &)>>> changes{
        {"pattern", [](AssignmentDocument &d) { return d.SetPattern(68, 130); }},
        {"scenario drop keeps the pattern",
         [](AssignmentDocument &d) { return d.DropSlot(68, SlotListKind::Scenarios, 2); }},
        {"motion drop on an empty entry",
         [](AssignmentDocument &d) { return d.DropSlot(159, SlotListKind::Motions, 39); }},
        {"delete", [](AssignmentDocument &d) { return d.EmptyEntry(0); }},
        {"rename", [](AssignmentDocument &d) { return d.Rename(SlotListKind::Motions, 4, "jump, high"); }},
        {"load", [](AssignmentDocument &d) { return d.Load(PassedLoad(3)); }},
        {"read table", [&read](AssignmentDocument &d) { return d.ReplaceTable(read); }},
        {"read list",
         [](AssignmentDocument &d) {
             return d.ReplaceList(SlotListKind::Scenarios, ListRows(QLatin1Char('S'), 4, "b", 1));
         }},
        {"clear", [](AssignmentDocument &d) { return d.EmptyAll(); }},
    };
    for (const auto &[name, change] : changes) {
        AssignmentDocument doc;
        Fill(doc);
        const Snapshot before = Take(doc);
        ASSERT_TRUE(change(doc)) << name;
        const Snapshot after = Take(doc);
        EXPECT_NE(after, before) << name;
        EXPECT_EQ(doc.UndoStack().count(), 1) << name;
        doc.UndoStack().undo();
        EXPECT_EQ(Take(doc), before) << name;
        doc.UndoStack().redo();
        EXPECT_EQ(Take(doc), after) << name;
    }
}

TEST(AssignmentDocument, EditingRulesAndRefusalsThatLeaveNoStep)
{
    AssignmentDocument doc;
    Fill(doc);
    doc.DropSlot(68, SlotListKind::Scenarios, 2);
    EXPECT_EQ(doc.Entry(68), (AssignmentEntry{5, 102}));
    doc.SetPattern(68, 9);
    EXPECT_EQ(doc.Entry(68), (AssignmentEntry{9, 102}));
    doc.DropSlot(3, SlotListKind::Motions, 7);
    EXPECT_EQ(doc.Assignment().CellText(3, KeyNamesOf(0)), QStringLiteral("[None:M7:walk7]"));
    const int steps = doc.UndoStack().count();
    const Snapshot now = Take(doc);

    EXPECT_FALSE(doc.SetPattern(68, 9));                                                           // the same pattern
    EXPECT_FALSE(doc.DropSlot(68, SlotListKind::Scenarios, 2));                                    // the same target
    EXPECT_FALSE(doc.DropSlot(5, SlotListKind::Scenarios, 4));                                     // no slot S4
    EXPECT_FALSE(doc.DropSlot(5, SlotListKind::Motions, 40));                                      // no slot M40
    EXPECT_FALSE(doc.EmptyEntry(100));                                                             // empty already
    EXPECT_FALSE(doc.SetEntry(160, {1, 1}));                                                       // no such entry
    EXPECT_FALSE(doc.Rename(SlotListKind::Scenarios, 2, "x"));                                     // COUNT 0
    EXPECT_FALSE(doc.Rename(SlotListKind::Motions, 40, "x"));                                      // no such row
    EXPECT_FALSE(doc.Rename(SlotListKind::Motions, 0, "walk0"));                                   // the same name
    EXPECT_FALSE(doc.ReplaceList(SlotListKind::Motions, ListRows(QLatin1Char('M'), 39, "m", 1)));  // not 40
    AssignmentFileLoad rejected = PassedLoad(1);
    rejected.error = AssignmentFileError::Target;
    EXPECT_FALSE(doc.Load(std::move(rejected)));
    EXPECT_EQ(doc.UndoStack().count(), steps);
    EXPECT_EQ(Take(doc), now);

    // A COUNT that is no number names no data.
    QList<SlotRow> motions = doc.Assignment().Motions().Rows();
    motions[5].count = QStringLiteral("x");
    doc.ReplaceList(SlotListKind::Motions, motions);
    EXPECT_FALSE(doc.CanRename(SlotListKind::Motions, 5));
    EXPECT_TRUE(doc.CanRename(SlotListKind::Motions, 4));
    // A list may be emptied by a read that began on it.
    EXPECT_TRUE(doc.ReplaceList(SlotListKind::Motions, {}));
    EXPECT_TRUE(doc.Assignment().Motions().IsEmpty());
}

TEST(AssignmentDocument, GroupedChangesAreOneStepAndAnEmptyGroupLeavesNone)
{
    AssignmentDocument doc;
    Fill(doc);
    const Snapshot before = Take(doc);
    doc.BeginGroup();
    doc.EndGroup();
    EXPECT_EQ(doc.UndoStack().count(), 0);

    doc.BeginGroup();
    AssignmentTable table{};
    table[2] = {8, 39};
    doc.ReplaceTable(table);
    doc.ReplaceList(SlotListKind::Motions, ListRows(QLatin1Char('M'), 40, "read", 4));
    EXPECT_FALSE(doc.UndoStack().canUndo());  // nothing can be undone while the group is open
    doc.EndGroup();
    EXPECT_EQ(doc.UndoStack().count(), 1);
    const Snapshot after = Take(doc);
    doc.UndoStack().undo();
    EXPECT_EQ(Take(doc), before);
    doc.UndoStack().redo();
    EXPECT_EQ(Take(doc), after);
    // A load is one step too.
    doc.Load(PassedLoad(7));
    EXPECT_EQ(doc.UndoStack().count(), 2);
}

TEST(AssignmentDocument, SignalsSayWhatToRedraw)
{
    AssignmentDocument doc;
    Fill(doc);
    QList<int> entries;
    int tables = 0;
    int lists = 0;
    QObject::connect(&doc, &AssignmentDocument::EntryChanged, [&](int e) { entries << e; });
    QObject::connect(&doc, &AssignmentDocument::TableChanged, [&] { ++tables; });
    QObject::connect(&doc, &AssignmentDocument::ListsChanged, [&] { ++lists; });
    doc.SetPattern(40, 1);
    doc.UndoStack().undo();
    EXPECT_EQ(entries, (QList<int>{40, 40}));
    doc.EmptyAll();
    EXPECT_EQ(tables, 1);
    doc.Rename(SlotListKind::Scenarios, 0, "new");
    doc.UndoStack().undo();
    EXPECT_EQ(lists, 2);
}

TEST(AssignmentDocument, LongRandomSequenceUndoneToTheStartGivesTheOriginalBack)
{
    AssignmentDocument doc;
    Fill(doc);
    const Snapshot original = Take(doc);
    std::mt19937 random(20240611);
    const auto pick = [&random](int n) { return int(random() % unsigned(n)); };
    for (int i = 0; i < 3000; ++i) {
        const int e = pick(kAssignmentEntryCount);
        switch (pick(11)) {
        case 0: doc.SetPattern(e, std::uint8_t(pick(256))); break;
        case 1: doc.DropSlot(e, SlotListKind::Scenarios, pick(5)); break;
        case 2: doc.DropSlot(e, SlotListKind::Motions, pick(41)); break;
        case 3: doc.EmptyEntry(e); break;
        case 4:
            doc.Rename(pick(2) ? SlotListKind::Scenarios : SlotListKind::Motions, pick(40),
                       QStringLiteral("n%1").arg(pick(50)));
            break;
        case 5:
            if (pick(20) == 0)
                doc.Load(PassedLoad(pick(5)));
            break;
        case 6: {
            AssignmentTable table = doc.Assignment().Table();
            table[size_t(e)] = {std::uint8_t(pick(256)), std::uint8_t(pick(40))};
            table[size_t(pick(kAssignmentEntryCount))] = {};
            doc.ReplaceTable(table);
            break;
        }
        case 7:
            doc.ReplaceList(SlotListKind::Motions,
                            pick(8) == 0 ? QList<SlotRow>{} : ListRows(QLatin1Char('M'), 40, "r", pick(4)));
            break;
        case 8:
            if (pick(30) == 0)
                doc.EmptyAll();
            break;
        case 9: doc.UndoStack().undo(); break;
        case 10: doc.UndoStack().redo(); break;
        }
    }
    const Snapshot end = Take(doc);
    ASSERT_GT(doc.UndoStack().index(), 100);
    while (doc.UndoStack().canUndo())
        doc.UndoStack().undo();
    EXPECT_EQ(Take(doc), original);
    while (doc.UndoStack().canRedo())
        doc.UndoStack().redo();
    EXPECT_EQ(Take(doc), end);
}
