#include "motion/motion_data.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

QStringList Row(const QString &no, const QString &name, const QString &speed = u"7"_qs, const QString &value = u"90"_qs)
{
    QStringList fields{no, name, speed};
    for (int n = 0; n < kChannelCount; ++n)
        fields.append(value);
    return fields;
}

QStringList Column(const MotionData &data, int column)
{
    QStringList out;
    for (int r = 0; r < data.Count(); ++r)
        out.append(data.Field(r, column));
    return out;
}

void Fill(MotionData &data, const QStringList &numbers)
{
    for (const QString &no : numbers)
        data.AppendRowFields(Row(no, u"R"_qs + no));
}

}  // namespace

TEST(DecimalField, AcceptsSignedDigitsOnly)
{
    EXPECT_EQ(ParseDecimal(u"07"), 7);
    EXPECT_EQ(ParseDecimal(u"-45"), -45);
    EXPECT_EQ(ParseDecimal(u"+3"), 3);
    EXPECT_EQ(ParseDecimal(u"000000000000000221"), 221);
    EXPECT_EQ(ParseDecimal(u"-2147483648"), INT_MIN);
    EXPECT_FALSE(ParseDecimal(u""));
    EXPECT_FALSE(ParseDecimal(u"-"));
    EXPECT_FALSE(ParseDecimal(u" 7"));
    EXPECT_FALSE(ParseDecimal(u"7 "));
    EXPECT_FALSE(ParseDecimal(u"1e2"));
    EXPECT_FALSE(ParseDecimal(u"０"));  // full-width digit
    EXPECT_FALSE(ParseDecimal(u"2147483648"));
    EXPECT_FALSE(ParseDecimal(u"99999999999999999999999"));
}

TEST(MotionModel, CaptionsStartAsColumnNamesAndFollowChannelNames)
{
    MotionData data;
    ASSERT_EQ(data.columnCount(), 27);
    EXPECT_EQ(data.headerData(0, Qt::Horizontal).toString(), u"NO"_qs);
    EXPECT_EQ(data.headerData(1, Qt::Horizontal).toString(), u"DATA_NAME"_qs);
    EXPECT_EQ(data.headerData(2, Qt::Horizontal).toString(), u"SPEED"_qs);
    EXPECT_EQ(data.headerData(26, Qt::Horizontal).toString(), u"CH24"_qs);

    int changed = -1;
    QObject::connect(&data, &QAbstractItemModel::headerDataChanged,
                     [&](Qt::Orientation, int first, int) { changed = first; });
    data.SetChannelCaption(5, u"右腕"_qs);
    EXPECT_EQ(data.Captions()[7], u"右腕"_qs);
    EXPECT_EQ(changed, 7);
    data.SetChannelCaption(25, u"x"_qs);  // no such channel
    EXPECT_EQ(data.Captions().size(), 27);
}

TEST(MotionModel, CellsShowTextsAndCentreSpeedAndChannels)
{
    MotionData data;
    data.AppendRowFields(Row(u"1"_qs, u"stand up"_qs, u"07"_qs, u"225"_qs));
    EXPECT_EQ(data.data(data.index(0, 1)).toString(), u"stand up"_qs);
    EXPECT_EQ(data.data(data.index(0, 2)).toString(), u"07"_qs);
    EXPECT_EQ(data.data(data.index(0, 26)).toString(), u"225"_qs);
    EXPECT_EQ(data.data(data.index(0, 2), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_NE(data.data(data.index(0, 1), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_FALSE(data.flags(data.index(0, 1)) & Qt::ItemIsEditable);
}

TEST(MotionModel, InsertGoesBeforeTheRowAndAppendsForMinusOneOrPastTheEnd)
{
    MotionData data;
    Fill(data, {u"1"_qs, u"2"_qs});
    data.InsertRowFields(1, Row(QString(), u"mid"_qs));
    data.InsertRowFields(-1, Row(QString(), u"end"_qs));
    data.InsertRowFields(99, Row(QString(), u"past"_qs));
    data.InsertRowsFields(0, {Row(QString(), u"p1"_qs), Row(QString(), u"p2"_qs)});
    data.InsertRowsFields(-1, {Row(QString(), u"q1"_qs), Row(QString(), u"q2"_qs)});
    EXPECT_EQ(Column(data, 1), (QStringList{u"p1"_qs, u"p2"_qs, u"R1"_qs, u"mid"_qs, u"R2"_qs, u"end"_qs, u"past"_qs,
                                            u"q1"_qs, u"q2"_qs}));
}

TEST(MotionModel, DeletingRowsTwoAndFourOfFiveAndRenumberingGivesOneTwoThree)
{
    MotionData data;
    Fill(data, {u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs});
    int removals = 0;
    QObject::connect(&data, &QAbstractItemModel::rowsRemoved, [&] { ++removals; });
    const int first = data.DeleteRows({3, 1, 3, 17, -2});
    EXPECT_EQ(first, 1);
    EXPECT_EQ(removals, 2);
    data.RenumberFrom(first);
    EXPECT_EQ(Column(data, 0), (QStringList{u"1"_qs, u"2"_qs, u"3"_qs}));
    EXPECT_EQ(Column(data, 1), (QStringList{u"R1"_qs, u"R3"_qs, u"R5"_qs}));
    EXPECT_EQ(data.DeleteRows({}), -1);
}

TEST(MotionModel, InsertAfterLoadedNumbersRenumbersOnlyFromTheInsertedRow)
{
    MotionData data;
    Fill(data, {u"10"_qs, u"20"_qs, u"30"_qs});
    data.InsertRowFields(1, Row(QString(), u"DATA"_qs, u"7"_qs, u"225"_qs));
    data.RenumberFrom(1);
    EXPECT_EQ(Column(data, 0), (QStringList{u"10"_qs, u"2"_qs, u"3"_qs, u"4"_qs}));
    EXPECT_EQ(data.Field(1, 26), u"225"_qs);
    data.RenumberFrom(-1);  // a paste with nothing selected renumbers from the top
    EXPECT_EQ(Column(data, 0), (QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs}));
}

TEST(MotionModel, OverwriteAndSetFieldKeepTheOtherFields)
{
    MotionData data;
    Fill(data, {u"1"_qs, u"2"_qs});
    QStringList fromName = Row(QString(), u"wave"_qs, u"3"_qs, u"120"_qs).mid(1);
    fromName[25] = u"221"_qs;  // CH24
    data.OverwriteRow(1, fromName);
    EXPECT_EQ(data.Fields(1)[0], u"2"_qs);
    EXPECT_EQ(data.Fields(1).mid(1), fromName);
    EXPECT_EQ(data.Fields(0), Row(u"1"_qs, u"R1"_qs));

    data.SetField(1, 1, QString());  // renamed to an empty text
    data.SetField(1, 2, u"0"_qs);
    data.SetField(1, 3, u"a much longer text than before"_qs);
    EXPECT_EQ(data.Field(1, 1), QString());
    EXPECT_EQ(data.Field(1, 2), u"0"_qs);
    EXPECT_EQ(data.Field(1, 3), u"a much longer text than before"_qs);
    EXPECT_EQ(data.Field(1, 4), u"120"_qs);
    EXPECT_EQ(data.Field(1, 26), u"221"_qs);
    EXPECT_EQ(data.Field(5, 1), QString());  // no such row
}

TEST(MotionModel, ScatteredDeleteOfManyRowsKeepsTheRightOnes)
{
    MotionData data;
    for (int i = 0; i < 1000; ++i)
        data.AppendRowFields(Row(QString::number(i + 1), u"R"_qs + QString::number(i)));
    QList<int> odd;
    for (int i = 1; i < 1000; i += 2)
        odd.append(i);
    EXPECT_EQ(data.DeleteRows(odd), 1);
    ASSERT_EQ(data.Count(), 500);
    for (int r = 0; r < 500; ++r)
        ASSERT_EQ(data.Field(r, 1), u"R"_qs + QString::number(2 * r));
    data.RenumberFrom(1);
    EXPECT_EQ(data.Field(499, 0), u"500"_qs);
}

TEST(MotionModel, ClearAndReplaceAllResetTheModel)
{
    MotionData data;
    Fill(data, {u"1"_qs, u"2"_qs});
    int resets = 0;
    QObject::connect(&data, &QAbstractItemModel::modelReset, [&] { ++resets; });
    MotionRows rows;
    rows.Append(Row(u"7"_qs, u"loaded"_qs));
    QStringList captions = DefaultMotionCaptions();
    captions[3] = u"HEAD"_qs;
    data.ReplaceAll(captions, std::move(rows));
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(data.Count(), 1);
    EXPECT_EQ(data.Field(0, 1), u"loaded"_qs);
    EXPECT_EQ(data.headerData(3, Qt::Horizontal).toString(), u"HEAD"_qs);
    data.ClearRows();
    EXPECT_EQ(data.Count(), 0);
    EXPECT_EQ(data.Captions()[3], u"HEAD"_qs);  // captions stay on clear
}

TEST(MotionRowsText, RowNumbersAreRecognisedOnlyInTheFormTheEditorWritesThem)
{
    EXPECT_TRUE(IsRowNumber(u"1", 1));
    EXPECT_TRUE(IsRowNumber(u"100000", 100000));
    EXPECT_FALSE(IsRowNumber(u"01", 1));
    EXPECT_FALSE(IsRowNumber(u"+1", 1));
    EXPECT_FALSE(IsRowNumber(u"", 1));
    EXPECT_FALSE(IsRowNumber(u"10", 1));
    EXPECT_FALSE(IsRowNumber(u"1", 10));
    EXPECT_FALSE(IsRowNumber(u"1 ", 1));
}

// Rows kept elsewhere (an undo step) share their texts; writing a field in place must not reach them.
TEST(MotionRowsText, AFieldWrittenInPlaceLeavesRowsThatSharedItsTextAlone)
{
    MotionRows rows;
    rows.Append(Row(u"12"_qs, u"A"_qs));
    const MotionRows kept = rows.Slice(0, 1);
    rows.SetField(0, kNoColumn, u"34");
    rows.SetFields(0, kSpeedColumn, {u"5"_qs});
    EXPECT_EQ(rows.Field(0, kNoColumn), u"34"_qs);
    EXPECT_EQ(rows.Field(0, kSpeedColumn), u"5"_qs);
    EXPECT_EQ(kept.Fields(0), Row(u"12"_qs, u"A"_qs));

    MotionRows merged;
    for (const char *name : {"b", "d"})
        merged.Append(Row(u"0"_qs, QString::fromLatin1(name)));
    MotionRows back;
    for (const char *name : {"a", "c", "e"})
        back.Append(Row(u"0"_qs, QString::fromLatin1(name)));
    merged.InsertSorted({0, 2, 4}, back);
    QStringList names;
    for (qsizetype r = 0; r < merged.Size(); ++r)
        names << merged.Field(r, kNameColumn);
    EXPECT_EQ(names, (QStringList{"a", "b", "c", "d", "e"}));
}

// Field ends take one, two or four bytes as the row's length needs: rows on both sides of 255 and 65,535
// characters, and edits that carry a row across them, keep every field.
TEST(MotionRowsText, RowsOfEveryLengthKeepEveryFieldThroughEdits)
{
    const QString longName(70'000, u'名');
    const QString edgeName(65'535 - 2 - 2 * kChannelCount, u'x');  // the whole row exactly 65,535 characters
    const QList<QStringList> made{Row(u""_qs, u""_qs, u""_qs, u""_qs), Row(u"1"_qs, u"A"_qs),
                                  Row(u"2"_qs, QString(300, u'b')),    Row(u"3"_qs, edgeName),
                                  Row(u"4"_qs, edgeName + u"y"_qs),    Row(u"5"_qs, longName, u"6"_qs, u"180"_qs)};
    MotionRows rows;
    for (const QStringList &fields : made)
        rows.Append(fields);
    MotionRows built;  // the same rows as a file reader builds them
    for (const QStringList &fields : made) {
        MotionRows::RowText row;
        for (const QString &field : fields)
            row.Add(field);
        built.Append(std::move(row));
    }
    ASSERT_EQ(rows.Size(), made.size());
    for (qsizetype r = 0; r < rows.Size(); ++r) {
        EXPECT_EQ(rows.Fields(r), made[r]) << r;
        EXPECT_EQ(built.Fields(r), made[r]) << r;
        EXPECT_TRUE(rows.SameRow(r, built, r)) << r;
    }
    EXPECT_FALSE(rows.SameRow(3, rows, 4));
    EXPECT_EQ(rows.FieldView(5, kMotionFieldCount - 1), u"180");

    // The last channel of the long row, past 65,535, then the row made short and long again.
    const MotionRows before = rows.Slice(0, rows.Size());
    rows.SetField(5, kMotionFieldCount - 1, u"-7");
    QStringList expected = made[5];
    expected[kMotionFieldCount - 1] = u"-7"_qs;
    EXPECT_EQ(rows.Fields(5), expected);
    rows.SetField(5, kNameColumn, u"short");
    expected[kNameColumn] = u"short"_qs;
    EXPECT_EQ(rows.Fields(5), expected);
    rows.SetField(1, kNameColumn, longName);
    rows.SetFields(0, kSpeedColumn, {u"3"_qs, u"221"_qs});
    QStringList grown = made[1];
    grown[kNameColumn] = longName;
    EXPECT_EQ(rows.Fields(1), grown);
    QStringList filled = made[0];
    filled[kSpeedColumn] = u"3"_qs;
    filled[kFirstChannelColumn] = u"221"_qs;
    EXPECT_EQ(rows.Fields(0), filled);
    // Emptied field by field, a row reads as empty again.
    for (int c = 0; c < kMotionFieldCount; ++c)
        rows.SetField(0, c, u"");
    EXPECT_EQ(rows.Fields(0), made[0]);
    EXPECT_TRUE(rows.SameRow(0, before, 0));
    // The rows taken before the edits are untouched by them.
    for (qsizetype r = 0; r < before.Size(); ++r)
        EXPECT_EQ(before.Fields(r), made[r]) << r;
}
