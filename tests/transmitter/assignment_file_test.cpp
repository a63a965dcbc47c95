// The control assignment file, its rejection rules and the cell texts.

#include "file_helpers.h"
#include "textfile/code_page.h"
#include "transmitter/assignment_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvane;

namespace orvane {
void PrintTo(const SlotRow &row, std::ostream *os)
{
    *os << (row.label + u',' + row.name + u',' + row.count).toStdString();
}
}  // namespace orvane

namespace {

// Both lists read with base names dance and walk, slot 0 of each holding data.
ControlAssignment WorkedExample()
{
    ControlAssignment a;
    for (int k = 0; k < kScenarioSlotCount; ++k)
        a.Scenarios().Append(k == 0 ? SlotRow{"S0", "dance0", "12"} : SlotRow{"S" + QString::number(k), "None", "0"});
    for (int k = 0; k < kMotionSlotCount; ++k)
        a.Motions().Append(k == 0 ? SlotRow{"M0", "walk0", "8"} : SlotRow{"M" + QString::number(k), "None", "0"});
    a.SetEntry(0, {3, 100});
    a.SetEntry(1, {16, 0});
    a.SetEntry(32, {128, 0});
    return a;
}

QByteArray WorkedExampleBytes()
{
    QByteArray b = "INDEX,SCENARIO,COUNT\r\nS0,dance0,12\r\n";
    for (int k = 1; k < 4; ++k)
        b += "S" + QByteArray::number(k) + ",None,0\r\n";
    b += "INDEX,MOTION,COUNT\r\nM0,walk0,8\r\n";
    for (int k = 1; k < 40; ++k)
        b += "M" + QByteArray::number(k) + ",None,0\r\n";
    b += "INDEX,KEY,MOTION\r\n0,3,100\r\n1,16,0\r\n";
    for (int e = 2; e < 160; ++e)
        b += QByteArray::number(e) + (e == 32 ? ",128,0\r\n" : ",0,200\r\n");
    return b;
}

// The worked example's lines with line `line` (1-based) replaced.
QString WithLine(int line, const QString &text)
{
    QStringList lines = QString::fromUtf8(WorkedExampleBytes()).split(QStringLiteral("\r\n"));
    lines.removeLast();
    lines[line - 1] = text;
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

AssignmentFileError ErrorOf(const QString &text) { return ParseAssignmentText(text).error; }

}  // namespace

TEST(AssignmentFile, WorkedExampleIsWrittenByteForByteAndReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.csv"));
    const ControlAssignment example = WorkedExample();
    QString error;
    ASSERT_TRUE(SaveAssignmentFile(path, example, &error)) << error.toStdString();
    const QByteArray bytes = ReadAll(path);
    EXPECT_EQ(bytes, WorkedExampleBytes());
    EXPECT_EQ(bytes.count("\r\n"), 207);

    ControlAssignment loaded;
    ASSERT_TRUE(ApplyAssignmentLoad(loaded, LoadAssignmentFile(path)));
    EXPECT_EQ(loaded.Table(), example.Table());
    EXPECT_EQ(loaded.Scenarios().Rows(), example.Scenarios().Rows());
    EXPECT_EQ(loaded.Motions().Rows(), example.Motions().Rows());
}

TEST(AssignmentFile, NamesWithCommasSpacesAndJapaneseSurviveAndCountsStayAsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.csv"));
    ControlAssignment a = WorkedExample();
    a.Scenarios().SetName(1, QStringLiteral("a, \"b\" c"));
    a.Motions().SetName(2, QStringLiteral("歩く"));
    ASSERT_TRUE(SaveAssignmentFile(path, a, nullptr));
    EXPECT_TRUE(ReadAll(path).contains("S1,\"a, \"\"b\"\" c\",0\r\n"));
    // The Japanese name goes out in CP932.
    EXPECT_TRUE(ReadAll(path).contains("M2,\x95\xe0\x82\xad,0\r\n"));

    // A COUNT written "07" and a file ending in LF alone load as they stand.
    QString text = WithLine(7, QStringLiteral("M0,walk0,07"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    ControlAssignment loaded;
    ASSERT_TRUE(ApplyAssignmentLoad(loaded, ParseAssignmentText(text)));
    EXPECT_EQ(loaded.Motions().Row(0).count, QStringLiteral("07"));

    ASSERT_TRUE(ApplyAssignmentLoad(loaded, LoadAssignmentFile(path)));
    EXPECT_EQ(loaded.Scenarios().Row(1).name, QStringLiteral("a, \"b\" c"));
    EXPECT_EQ(loaded.Motions().Row(2).name, QStringLiteral("歩く"));
}

TEST(AssignmentFile, LineCountAndHeadersAreCheckedAsWholeLines)
{
    const QString good = QString::fromUtf8(WorkedExampleBytes());
    EXPECT_EQ(ErrorOf(good), AssignmentFileError::None);
    EXPECT_EQ(ErrorOf(good + QStringLiteral("\r\n")), AssignmentFileError::LineCount);  // 208th line empty
    EXPECT_EQ(ErrorOf(good.left(good.lastIndexOf(QStringLiteral("159,0,200")))), AssignmentFileError::LineCount);
    EXPECT_EQ(ErrorOf(QString()), AssignmentFileError::LineCount);
    EXPECT_EQ(ErrorOf(WithLine(1, QStringLiteral("INDEX, SCENARIO, COUNT"))), AssignmentFileError::Header);
    EXPECT_EQ(ErrorOf(WithLine(1, QStringLiteral("\"INDEX\",\"SCENARIO\",\"COUNT\""))), AssignmentFileError::Header);
    EXPECT_EQ(ErrorOf(WithLine(6, QStringLiteral("index,motion,count"))), AssignmentFileError::Header);
    EXPECT_EQ(ErrorOf(WithLine(47, QStringLiteral("INDEX,KEY,MOTION,"))), AssignmentFileError::Header);
}

TEST(AssignmentFile, SlotLinesNeedTheirLabelAndACountInRange)
{
    EXPECT_EQ(ErrorOf(WithLine(2, QStringLiteral("s0,dance0,12"))), AssignmentFileError::SlotLabel);
    EXPECT_EQ(ErrorOf(WithLine(3, QStringLiteral("S2,x,1"))), AssignmentFileError::SlotLabel);
    EXPECT_EQ(ErrorOf(WithLine(46, QStringLiteral("M38,x,1"))), AssignmentFileError::SlotLabel);
    EXPECT_EQ(ErrorOf(WithLine(2, QStringLiteral("S0,dance0,200"))), AssignmentFileError::None);
    EXPECT_EQ(ErrorOf(WithLine(2, QStringLiteral("S0,dance0,201"))), AssignmentFileError::Count);
    EXPECT_EQ(ErrorOf(WithLine(7, QStringLiteral("M0,walk0,100"))), AssignmentFileError::None);
    EXPECT_EQ(ErrorOf(WithLine(7, QStringLiteral("M0,walk0,101"))), AssignmentFileError::Count);
    EXPECT_EQ(ErrorOf(WithLine(7, QStringLiteral("M0,walk0,-1"))), AssignmentFileError::Count);
    EXPECT_EQ(ErrorOf(WithLine(7, QStringLiteral("M0,walk0,eight"))), AssignmentFileError::Count);
    EXPECT_EQ(ErrorOf(WithLine(7, QStringLiteral("M0,walk0"))), AssignmentFileError::ShortLine);
}

TEST(AssignmentFile, EntryLinesNeedANumberUpTo200AndAValidTarget)
{
    for (int target : {40, 104, 199, 99, 201, -1})
        EXPECT_EQ(ErrorOf(WithLine(60, QStringLiteral("12,0,%1").arg(target))), AssignmentFileError::Target) << target;
    EXPECT_EQ(ErrorOf(WithLine(60, QStringLiteral("12,0,x"))), AssignmentFileError::Target);
    EXPECT_EQ(ErrorOf(WithLine(60, QStringLiteral("12,0"))), AssignmentFileError::ShortLine);
    for (int target : {39, 100, 103, 200, 0})
        EXPECT_EQ(ErrorOf(WithLine(60, QStringLiteral("12,0,%1").arg(target))), AssignmentFileError::None) << target;
    EXPECT_EQ(ErrorOf(WithLine(60, QStringLiteral("201,0,200"))), AssignmentFileError::EntryNumber);
    EXPECT_EQ(ErrorOf(WithLine(60, QStringLiteral("-1,0,200"))), AssignmentFileError::EntryNumber);

    // The place decides the entry, not the number written on the line.
    ControlAssignment a;
    ASSERT_TRUE(ApplyAssignmentLoad(a, ParseAssignmentText(WithLine(60, QStringLiteral("150,5,7")))));
    EXPECT_EQ(a.Entry(12), (AssignmentEntry{5, 7}));
    EXPECT_EQ(a.Entry(150), AssignmentEntry{});
}

TEST(AssignmentFile, KeyPatternsKeepTheirLowEightBits)
{
    EXPECT_EQ(KeyPatternOf(u"256"), 0);
    EXPECT_EQ(KeyPatternOf(u"300"), 44);
    EXPECT_EQ(KeyPatternOf(u"-1"), 255);
    EXPECT_EQ(KeyPatternOf(u"up"), 0);
    EXPECT_EQ(KeyPatternOf(u""), 0);
    EXPECT_EQ(KeyPatternOf(u"99999999999"), 0);

    ControlAssignment a;
    ASSERT_TRUE(ApplyAssignmentLoad(a, ParseAssignmentText(WithLine(49, QStringLiteral("1,300,0")))));
    EXPECT_EQ(a.Entry(1), (AssignmentEntry{44, 0}));
}

TEST(AssignmentFile, RejectedFileChangesNothing)
{
    ControlAssignment a = WorkedExample();
    a.Motions().SetName(3, QStringLiteral("mine"));
    const ControlAssignment before = a;
    QByteArray noise(20000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919 + 13) % 256);
    const QString huge = WithLine(100, QStringLiteral("52,") + QString(2'000'000, QLatin1Char('9')) + ",999");
    for (const QString &text : {QString::fromLatin1(noise), WithLine(207, QStringLiteral("159,0,104")), huge,
                                QString::fromUtf8(WorkedExampleBytes().left(1500))}) {
        AssignmentFileLoad load = ParseAssignmentText(text);
        EXPECT_FALSE(load.ok());
        EXPECT_FALSE(ApplyAssignmentLoad(a, std::move(load)));
        EXPECT_EQ(a.Table(), before.Table());
        EXPECT_EQ(a.Motions().Rows(), before.Motions().Rows());
        EXPECT_EQ(a.Scenarios().Rows(), before.Scenarios().Rows());
    }
    EXPECT_EQ(LoadAssignmentFile(QStringLiteral("/nonexistent/keys.csv")).error, AssignmentFileError::CannotRead);
}

// The file is read line by line and stops after the line past the last; its verdicts are the text reader's.
TEST(AssignmentFile, AFileIsJudgedAsItsText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.csv"));
    const QString good = QString::fromUtf8(WorkedExampleBytes());
    const QStringList texts{good,
                            good + QStringLiteral("\r\n"),
                            good + QStringLiteral("\n").repeated(100'000),
                            good.left(good.lastIndexOf(QStringLiteral("159,0,200"))),
                            WithLine(6, QStringLiteral("INDEX,MOTION,COUNT ")),
                            WithLine(207, QStringLiteral("159,0,104")),
                            WithLine(100, QStringLiteral("52,x"))};
    for (const QString &text : texts) {
        WriteAll(path, EncodeText(text));
        const AssignmentFileLoad fromFile = LoadAssignmentFile(path);
        const AssignmentFileLoad fromText = ParseAssignmentText(text);
        EXPECT_EQ(fromFile.error, fromText.error) << text.size();
        EXPECT_EQ(fromFile.line, fromText.line) << text.size();
        EXPECT_EQ(fromFile.table, fromText.table);
    }
}

TEST(AssignmentFile, FailedSaveLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.csv"));
    WriteAll(path, "old");
    QString error;
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(SaveAssignmentFile(path, WorkedExample(), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(path), QByteArray("old"));
}

TEST(CellText, ExamplesInBothLanguages)
{
    ControlAssignment a;
    a.SetEntry(0, {3, 100});
    a.SetEntry(1, {0, 5});
    a.SetEntry(2, {1, 200});
    a.SetEntry(3, {12, 7});
    a.SetEntry(4, {0, 3});
    const KeyNames japanese = KeyNamesOf(0);
    const KeyNames english = KeyNamesOf(1);
    // Lists not read yet: no names.
    EXPECT_EQ(a.CellText(0, japanese), QStringLiteral("[↑↓::]"));
    EXPECT_EQ(a.CellText(3, japanese), QStringLiteral("[←→::]"));
    EXPECT_EQ(a.CellText(3, english), QStringLiteral("[L1R1::]"));
    EXPECT_EQ(a.CellText(2, japanese), QStringLiteral("[↑:none:]"));
    EXPECT_EQ(a.CellText(5, japanese), QString());

    for (int k = 0; k < kScenarioSlotCount; ++k)
        a.Scenarios().Append({"S" + QString::number(k), "dance" + QString::number(k), "1"});
    for (int k = 0; k < kMotionSlotCount; ++k)
        a.Motions().Append({"M" + QString::number(k), k == 3 ? QString() : "walk" + QString::number(k), "1"});
    EXPECT_EQ(a.CellText(0, japanese), QStringLiteral("[↑↓:S0:dance0]"));
    EXPECT_EQ(a.CellText(0, english), QStringLiteral("[U1D1:S0:dance0]"));
    EXPECT_EQ(a.CellText(1, japanese), QStringLiteral("[None:M5:walk5]"));
    EXPECT_EQ(a.CellText(1, english), QStringLiteral("[None:M5:walk5]"));
    EXPECT_EQ(a.CellText(4, japanese), QStringLiteral("[None:M3:]"));
}

TEST(CellText, PatternTextPutsLeftBeforeRight)
{
    EXPECT_EQ(PatternText(255, KeyNamesOf(0)), QStringLiteral("↑↓←→△×□○"));
    EXPECT_EQ(PatternText(255, KeyNamesOf(1)), QStringLiteral("U1D1L1R1U2D2L2R2"));
    EXPECT_EQ(PatternText(15, KeyNamesOf(0)), QStringLiteral("↑↓←→"));
    EXPECT_EQ(PatternText(64 + 4, KeyNamesOf(1)), QStringLiteral("R1R2"));
    EXPECT_EQ(PatternText(0, KeyNamesOf(0)), QStringLiteral("None"));
}

TEST(CellText, GridCellsMapToEntries)
{
    EXPECT_EQ(EntryOfCell(1, 1), 0);
    EXPECT_EQ(EntryOfCell(3, 5), 68);
    EXPECT_EQ(EntryOfCell(5, 32), 159);
    EXPECT_EQ(EntryOfCell(0, 5), -1);
    EXPECT_EQ(EntryOfCell(3, 0), -1);
    EXPECT_EQ(EntryOfCell(6, 1), -1);
    EXPECT_EQ(EntryOfCell(1, 33), -1);
    EXPECT_EQ(ColumnOfEntry(68), 3);
    EXPECT_EQ(RowOfEntry(68), 5);
}
