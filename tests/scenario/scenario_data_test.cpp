// The two lists of the scenario editor as models: numbering after edits, names refreshed from the motion list.

#include "scenario/scenario_data.h"

#include <QMimeData>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace orvane;

QStringList Column(const ScenarioModel &model, int column)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out << model.data(model.index(r, column), Qt::DisplayRole).toString();
    return out;
}

TEST(ScenarioModel, EditsKeepTheNumbersEqualToPositions)
{
    ScenarioModel model;
    for (int r = 0; r < 6; ++r)
        model.Append({QStringLiteral("M%1").arg(r), QStringLiteral("n%1").arg(r)});
    EXPECT_EQ(model.Remove({4, 1, 1, 2, 99}), 1);
    EXPECT_EQ(Column(model, ScenarioModel::MotionColumn), (QStringList{"M0", "M3", "M5"}));
    EXPECT_EQ(Column(model, ScenarioModel::NumberColumn), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(model.Remove({}), -1);

    model.Insert(1, {{"M7", "a"}, {"M8", "b"}});
    EXPECT_EQ(Column(model, ScenarioModel::MotionColumn), (QStringList{"M0", "M7", "M8", "M3", "M5"}));
    EXPECT_EQ(Column(model, ScenarioModel::NumberColumn), (QStringList{"1", "2", "3", "4", "5"}));
    model.Insert(-1, {{"M9", "c"}});
    EXPECT_EQ(model.Row(5).motion, "M9");

    model.Exchange(0, 1);
    EXPECT_EQ(model.Row(0), (ScenarioRow{"M7", "a"}));
    EXPECT_EQ(model.Row(1), (ScenarioRow{"M0", "n0"}));
    EXPECT_EQ(model.Number(0), "1");
    model.Exchange(5, 6);  // no partner: nothing changes
    EXPECT_EQ(model.Row(5).motion, "M9");
}

TEST(ScenarioModel, NamesAreRefreshedFromTheSlotTheRowNames)
{
    SlotList motions = SlotList::Motions();
    for (int k = 0; k < 40; ++k)
        motions.Append({motions.LabelOf(k), QStringLiteral("slot%1").arg(k), "1"});
    ScenarioModel model;
    model.Replace({{"X7", "old"}, {"M40", "kept"}, {"M", "kept too"}, {"M39", "old"}});
    model.RefreshNames(motions);
    EXPECT_EQ(Column(model, ScenarioModel::NameColumn), (QStringList{"slot7", "kept", "kept too", "slot39"}));
    model.RefreshNames(SlotList::Motions());  // an empty motion list names nothing
    EXPECT_EQ(model.Row(0).name, "slot7");
}

TEST(ScenarioModel, MotionNumberIsTheTextAfterItsFirstCharacter)
{
    EXPECT_EQ(MotionNumberOf(u"M0"), 0);
    EXPECT_EQ(MotionNumberOf(u"X07"), 7);
    EXPECT_EQ(MotionNumberOf(u"M-1"), -1);
    EXPECT_EQ(MotionNumberOf(u"7"), std::nullopt);
    EXPECT_EQ(MotionNumberOf(u""), std::nullopt);
    EXPECT_EQ(MotionNumberOf(u"M 7"), std::nullopt);
    EXPECT_EQ(ScenarioCountText(0), "DATA > 0");
    EXPECT_EQ(ScenarioCountText(123), "DATA > 123");
}

TEST(ListModels, DragsNameTheListTheyComeFrom)
{
    MotionListModel motions;
    QList<SlotRow> rows;
    for (int k = 0; k < 40; ++k)
        rows.append({QStringLiteral("M%1").arg(k), "", "0"});
    motions.Replace(rows);
    ASSERT_EQ(motions.rowCount(), 40);
    EXPECT_EQ(motions.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "COUNT");
    std::unique_ptr<QMimeData> drag(motions.mimeData({motions.index(3, 0)}));
    EXPECT_TRUE(drag->hasFormat(kMotListMime));
    EXPECT_FALSE(drag->hasFormat(kFileListMime));

    ScenarioModel scenario;
    scenario.Replace({{"M1", "a"}, {"M2", "b"}});
    std::unique_ptr<QMimeData> own(scenario.mimeData({scenario.index(1, 0)}));
    EXPECT_TRUE(own->hasFormat(kFileListMime));
    EXPECT_FALSE(own->hasFormat(kMotListMime));
    EXPECT_FALSE(scenario.flags(scenario.index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(motions.flags(motions.index(0, 1)) & Qt::ItemIsEditable);
}

}  // namespace
