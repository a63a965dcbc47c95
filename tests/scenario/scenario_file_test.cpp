// The scenario file: the worked example byte for byte, every rejection rule, and what survives a failed save.

#include "file_helpers.h"
#include "scenario/scenario_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

namespace {

using namespace orvane;

QList<SlotRow> ExampleMotions()
{
    QList<SlotRow> motions;
    for (int k = 0; k < 40; ++k)
        motions.append({QStringLiteral("M%1").arg(k), QStringLiteral("なし"), QStringLiteral("0")});
    motions[0] = {"M0", "walk0", "12"};
    motions[1] = {"M1", "turn right1", "8"};
    return motions;
}

const QList<ScenarioRow> kExampleRows{{"M0", "walk0"}, {"M1", "turn right1"}, {"M0", "walk0"}};

// The worked example as it stands on disk: CP932, CR LF after every line.
QByteArray ExampleBytes()
{
    QByteArray b = "\"MOTION_NAME\",\"COUNT\"\r\nwalk0,12\r\n\"turn right1\",8\r\n";
    for (int k = 2; k < 40; ++k)
        b += "\x82\xc8\x82\xb5,0\r\n";  // なし
    b += "\"MOTION_NUMBER\",\"FILE_NAME\"\r\nM0,walk0\r\nM1,\"turn right1\"\r\nM0,walk0\r\n";
    return b;
}

// A valid file's text with `line` (1-based) replaced, or appended lines.
QString ValidText(int line = 0, const QString &replacement = {})
{
    QStringList lines = QString::fromUtf8(ExampleBytes().replace("\x82\xc8\x82\xb5", "none")).split("\r\n");
    lines.removeLast();
    if (line > 0)
        lines[line - 1] = replacement;
    return lines.join("\r\n") + "\r\n";
}

TEST(ScenarioFile, WorkedExampleIsWrittenByteForByteAndReadsBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("example.csv");
    QString error;
    ASSERT_TRUE(SaveScenarioFile(path, ExampleMotions(), kExampleRows, &error)) << error.toStdString();
    const QByteArray bytes = ReadAll(path);
    EXPECT_EQ(bytes, ExampleBytes());
    EXPECT_EQ(bytes.count("\r\n"), 45);

    const ScenarioFileLoad load = LoadScenarioFile(path);
    ASSERT_TRUE(load.ok()) << DescribeScenarioFileError(load).toStdString();
    EXPECT_EQ(load.motions, ExampleMotions());
    EXPECT_EQ(load.rows, kExampleRows);
}

TEST(ScenarioFile, NamesWithCommasQuotesSpacesAndJapaneseSurviveASaveAndALoad)
{
    QList<SlotRow> motions = ExampleMotions();
    motions[5] = {"M5", "a,b \"c\" 歩く", "100"};
    motions[6] = {"M6", "", "0"};
    const QList<ScenarioRow> rows{{"M5", "x, \"y\"\tz"}, {"X7", "走る😀"}, {"M6", ""}};
    QTemporaryDir dir;
    const QString path = dir.filePath("names.csv");
    ASSERT_TRUE(SaveScenarioFile(path, motions, rows, nullptr));
    const ScenarioFileLoad load = LoadScenarioFile(path);
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.motions, motions);
    EXPECT_EQ(load.rows, rows);
}

TEST(ScenarioFile, HeadersAreAcceptedBareOrSpacedAndExtraFieldsIgnoredWhereAllowed)
{
    EXPECT_TRUE(ParseScenarioText(ValidText(1, "MOTION_NAME,COUNT")).ok());
    EXPECT_TRUE(ParseScenarioText(ValidText(1, "\"MOTION_NAME\",   \"COUNT\"  ")).ok());
    EXPECT_TRUE(ParseScenarioText(ValidText(42, "MOTION_NUMBER , FILE_NAME,EXTRA")).ok());
    EXPECT_TRUE(ParseScenarioText(ValidText(2, "walk0,12,whatever,else")).ok());
    EXPECT_TRUE(ParseScenarioText(ValidText(43, "M0,walk0,more")).ok());
    // CR alone and LF alone end lines too.
    EXPECT_TRUE(ParseScenarioText(ValidText().replace("\r\n", "\n")).ok());
    EXPECT_TRUE(ParseScenarioText(ValidText().replace("\r\n", "\r")).ok());
}

TEST(ScenarioFile, TextsAreTakenAsTheyStand)
{
    const ScenarioFileLoad load = ParseScenarioText(ValidText(3, "\"turn right1\",07") + "X7,other\r\n");
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.motions[1].count, "07");
    EXPECT_EQ(load.motions[39].label, "M39");
    ASSERT_EQ(load.rows.size(), 4);
    EXPECT_EQ(load.rows[3], (ScenarioRow{"X7", "other"}));
    EXPECT_EQ(MotionNumberOf(load.rows[3].motion), 7);
}

TEST(ScenarioFile, EachRuleRejectsTheFile)
{
    struct Case {
        const char *what;
        QString text;
        ScenarioFileError error;
        int line;
    };
    const QString valid = ValidText();
    const QString fortyTwo = valid.left(valid.indexOf("M0,walk0"));
    const std::vector<Case> cases{
        {"42 lines", fortyTwo, ScenarioFileError::TooFewLines, 42},
        {"nothing", "", ScenarioFileError::TooFewLines, 0},
        {"three header fields", ValidText(1, "MOTION_NAME,COUNT,X"), ScenarioFileError::MotionHeader, 1},
        {"header case", ValidText(1, "motion_name,COUNT"), ScenarioFileError::MotionHeader, 1},
        {"one header field", ValidText(1, "MOTION_NAME"), ScenarioFileError::MotionHeader, 1},
        {"second header", ValidText(42, "MOTION_NUMBER,FILE"), ScenarioFileError::ScenarioHeader, 42},
        {"count 101", ValidText(10, "x,101"), ScenarioFileError::BadCount, 10},
        {"count -1", ValidText(11, "x,-1"), ScenarioFileError::BadCount, 11},
        {"empty count", ValidText(12, "x,"), ScenarioFileError::BadCount, 12},
        {"count text", ValidText(13, "x,ten"), ScenarioFileError::BadCount, 13},
        {"one field", ValidText(41, "x"), ScenarioFileError::ShortLine, 41},
        {"M40", ValidText(44, "M40,x"), ScenarioFileError::BadMotion, 44},
        {"M-1", ValidText(43, "M-1,x"), ScenarioFileError::BadMotion, 43},
        {"bare M", ValidText(43, "M,x"), ScenarioFileError::BadMotion, 43},
        {"empty motion", ValidText(43, ",x"), ScenarioFileError::BadMotion, 43},
        {"empty line", ValidText(44, ""), ScenarioFileError::ShortLine, 44},
        {"blank line at the end", valid + "\r\n", ScenarioFileError::ShortLine, 46},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ScenarioFileLoad load = ParseScenarioText(c.text);
        EXPECT_EQ(load.error, c.error);
        EXPECT_EQ(load.line, c.line);
        EXPECT_TRUE(load.motions.isEmpty());
        EXPECT_TRUE(load.rows.isEmpty());
    }
    EXPECT_TRUE(ParseScenarioText(ValidText(10, "x,100")).ok());
}

TEST(ScenarioFile, HostileInputIsRejectedWithoutBlowingUp)
{
    std::mt19937 random(8);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random() % 4000), '\0');
        for (char &c : bytes)
            c = char(random());
        EXPECT_FALSE(ParseScenarioText(QString::fromLatin1(bytes)).ok());
    }
    // Cut anywhere, the example never loads with fewer than 43 lines and never crashes.
    const QString valid = ValidText();
    for (qsizetype cut = 0; cut < valid.size(); cut += 7)
        ParseScenarioText(valid.left(cut));
    EXPECT_EQ(ParseScenarioText(ValidText(1, QString(1'000'000, ','))).error, ScenarioFileError::MotionHeader);
    EXPECT_EQ(ParseScenarioText(ValidText(43, QString(1'000'000, ','))).error, ScenarioFileError::BadMotion);
    const ScenarioFileLoad huge = ParseScenarioText(ValidText(43, "M3," + QString(2'000'000, 'n')));
    ASSERT_TRUE(huge.ok());
    EXPECT_EQ(huge.rows[0].name.size(), 2'000'000);
}

TEST(ScenarioFile, SaveThatCannotWriteSaysSoAndKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.csv");
    WriteAll(path, "old contents");
    QList<ScenarioRow> rows(50'000, ScenarioRow{"M1", QString(40, 'x')});
    QString error;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(SaveScenarioFile(path, ExampleMotions(), rows, &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(path), "old contents");
    EXPECT_FALSE(SaveScenarioFile(dir.filePath("missing/x.csv"), ExampleMotions(), rows, &error));

    const ScenarioFileLoad missing = LoadScenarioFile(dir.filePath("nothing.csv"));
    EXPECT_EQ(missing.error, ScenarioFileError::CannotRead);
    EXPECT_FALSE(missing.detail.isEmpty());
}

TEST(ScenarioFile, StartNameAndExtension)
{
    EXPECT_EQ(ScenarioStartFileName(QDate(2024, 5, 17)), "24_05_17_SCENARIO.csv");
    EXPECT_EQ(ScenarioStartFileName(QDate(2009, 12, 1)), "09_12_01_SCENARIO.csv");
    EXPECT_EQ(WithScenarioExtension("/tmp/a.b/walk"), "/tmp/a.b/walk.csv");
    EXPECT_EQ(WithScenarioExtension("/tmp/walk.txt"), "/tmp/walk.txt");
}

}  // namespace
