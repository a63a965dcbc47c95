#include "file_helpers.h"
#include "motion/motion_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace orvane;

namespace {

HomePositions Home(int all = 90)
{
    HomePositions home;
    home.fill(all);
    return home;
}

QStringList Row(const QString &no, const QString &name, const QString &speed, int ch1, int ch2, int rest)
{
    QStringList fields{no, name, speed, QString::number(ch1), QString::number(ch2)};
    for (int n = 3; n <= kChannelCount; ++n)
        fields.append(QString::number(rest));
    return fields;
}

QString Line(const QString &head, const QString &value, int times)
{
    QString line = head;
    for (int i = 0; i < times; ++i)
        line += u","_qs + value;
    return line + u"\r\n"_qs;
}

QString Header() { return DefaultMotionCaptions().join(u',') + u"\r\n"_qs; }

// A data line with the given channel texts for CH1.. and "0" for the rest.
QString DataLine(const QString &start, const QStringList &channels)
{
    QStringList fields = channels;
    while (fields.size() < kChannelCount)
        fields.append(u"0"_qs);
    return start + u","_qs + fields.join(u',') + u"\r\n"_qs;
}

class MotionFileTest : public ::testing::Test {
protected:
    QString path(const QString &name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(MotionFileTest, WorkedExampleIsWrittenByteForByteAndReadBack)
{
    HomePositions home = Home();
    home[0] = 100;
    MotionRows rows;
    rows.Append(Row(u"1"_qs, u"DATA"_qs, u"7"_qs, 100, 90, 225));
    rows.Append(Row(u"2"_qs, u"stand up"_qs, u"3"_qs, 120, 45, 90));

    QString error;
    ASSERT_TRUE(SaveMotionFile(path(u"m.csv"_qs), DefaultMotionCaptions(), rows, home, &error)) << error.toStdString();
    const QByteArray expected = "NO,DATA_NAME,SPEED,CH1,CH2,CH3,CH4,CH5,CH6,CH7,CH8,CH9,CH10,CH11,CH12,"
                                "CH13,CH14,CH15,CH16,CH17,CH18,CH19,CH20,CH21,CH22,CH23,CH24\r\n"
                                + Line(u"1,DATA,7,0,0"_qs, u"225"_qs, 22).toLatin1()
                                + Line(u"2,\"stand up\",3,20,-45"_qs, u"0"_qs, 22).toLatin1();
    EXPECT_EQ(ReadAll(path(u"m.csv"_qs)), expected);

    MotionFileLoad load = LoadMotionFile(path(u"m.csv"_qs), home);
    ASSERT_TRUE(load.ok()) << DescribeMotionFileError(load).toStdString();
    EXPECT_EQ(load.header, DefaultMotionCaptions());
    ASSERT_EQ(load.rows.Size(), 2);
    EXPECT_EQ(load.rows.Fields(0), rows.Fields(0));
    EXPECT_EQ(load.rows.Fields(1), rows.Fields(1));
}

TEST_F(MotionFileTest, StoredValuesFollowTheHomePositionInForce)
{
    // A mode code as home position counts as 90 on both ways.
    HomePositions home = Home();
    home[0] = 221;
    home[1] = 0;
    MotionRows rows;
    rows.Append(Row(u"1"_qs, u"a"_qs, u"0"_qs, 100, 30, 226));
    const QString text = MotionFileText(DefaultMotionCaptions(), rows, home);
    EXPECT_EQ(text.split(u"\r\n"_qs)[1], Line(u"1,a,0,10,30"_qs, u"226"_qs, 22).chopped(2));

    // Loaded under another home position, every position moves by the difference.
    HomePositions other = Home(80);
    other[0] = 221;
    other[1] = 10;
    MotionFileLoad load = ParseMotionText(text, other);
    ASSERT_TRUE(load.ok());
    EXPECT_EQ(load.rows.Field(0, 3), u"100"_qs);
    EXPECT_EQ(load.rows.Field(0, 4), u"40"_qs);
    EXPECT_EQ(load.rows.Field(0, 5), u"226"_qs);

    // Texts that are no position are kept as they stand rather than lost.
    MotionRows odd;
    odd.Append({u"1"_qs, u"x"_qs, u"0"_qs, u"-5"_qs, u"0221"_qs, QString()});
    const QStringList fields = MotionFileText(DefaultMotionCaptions(), odd, Home()).split(u"\r\n"_qs)[1].split(u',');
    EXPECT_EQ(fields.mid(3, 3), (QStringList{u"-5"_qs, u"0221"_qs, QString()}));
}

TEST_F(MotionFileTest, LoadLimitsPositionsAndKeepsModeCodesAndSpeedTexts)
{
    const QString text = Header()
                         + DataLine(u"1,a,07"_qs, {u"150"_qs, u"-120"_qs, u"221"_qs, u"222"_qs, u"223"_qs, u"224"_qs,
                                                   u"225"_qs, u"226"_qs, u"227"_qs, u"+5"_qs, u"-180"_qs, u"180"_qs})
                         + DataLine(u"x0,\"\",0"_qs, {});
    MotionFileLoad load = ParseMotionText(text, Home());
    ASSERT_TRUE(load.ok()) << DescribeMotionFileError(load).toStdString();
    ASSERT_EQ(load.rows.Size(), 2);
    EXPECT_EQ(load.rows.Field(0, 2), u"07"_qs);
    EXPECT_EQ(load.rows.Fields(0).mid(3, 12),
              (QStringList{u"180"_qs, u"0"_qs, u"221"_qs, u"222"_qs, u"223"_qs, u"224"_qs, u"225"_qs, u"226"_qs,
                           u"227"_qs, u"95"_qs, u"0"_qs, u"180"_qs}));
    EXPECT_EQ(load.rows.Field(1, 0), u"x0"_qs);  // NO as it stands in the file
    EXPECT_EQ(load.rows.Field(1, 1), QString());

    // Fields after the 27th are ignored.
    const QString longer = Header() + DataLine(u"1,a,0"_qs, {}).chopped(2) + u",extra,,\r\n"_qs;
    EXPECT_TRUE(ParseMotionText(longer, Home()).ok());
}

TEST_F(MotionFileTest, EachRejectionSaysWhatAndWhere)
{
    struct Case {
        QString text;
        MotionFileError error;
        int line;
        int field;
    };
    const QString ok = DataLine(u"1,a,0"_qs, {});
    const Case cases[] = {
        {QString(), MotionFileError::Empty, 0, 0},
        {u"NO,DATA_NAME\r\n"_qs, MotionFileError::HeaderFieldCount, 1, 2},
        {Header().chopped(2) + u",CH25\r\n"_qs, MotionFileError::HeaderFieldCount, 1, 28},
        {Header() + ok + DataLine(u"2,a,0"_qs, {u"181"_qs}), MotionFileError::BadChannelValue, 3, 4},
        {Header() + DataLine(u"2,a,0"_qs, {u"0"_qs, u"220"_qs}), MotionFileError::BadChannelValue, 2, 5},
        {Header() + DataLine(u"2,a,0"_qs, {u"-181"_qs}), MotionFileError::BadChannelValue, 2, 4},
        {Header() + DataLine(u"2,a,0"_qs, {u"1.5"_qs}), MotionFileError::BadChannelValue, 2, 4},
        {Header() + DataLine(u"2,a,0"_qs, {u"0"_qs, u""_qs}), MotionFileError::BadChannelValue, 2, 5},
        {Header() + DataLine(u"2,a,8"_qs, {}), MotionFileError::BadSpeed, 2, 3},
        {Header() + DataLine(u"2,a,-1"_qs, {}), MotionFileError::BadSpeed, 2, 3},
        {Header() + DataLine(u"2,a,"_qs, {}), MotionFileError::BadSpeed, 2, 3},
        // A name with a space written bare splits into two fields and shifts the rest.
        {Header() + DataLine(u"2,stand up,0"_qs, {}), MotionFileError::BadSpeed, 2, 3},
        {Header() + ok.chopped(6) + u"\r\n"_qs, MotionFileError::ShortLine, 2, 26},
        {Header() + ok + u"\r\n"_qs, MotionFileError::ShortLine, 3, 1},     // a blank line
        {Header() + ok + u"3,a,0,1"_qs, MotionFileError::ShortLine, 3, 5},  // cut-off last line
    };
    for (const Case &c : cases) {
        const MotionFileLoad load = ParseMotionText(c.text, Home());
        EXPECT_EQ(load.error, c.error) << c.text.toStdString();
        EXPECT_EQ(load.line, c.line) << c.text.toStdString();
        EXPECT_EQ(load.field, c.field) << c.text.toStdString();
        EXPECT_EQ(load.rows.Size(), 0);
        EXPECT_EQ(load.headerValid(), c.line > 1) << c.text.toStdString();
    }
}

TEST_F(MotionFileTest, HeaderOnlyFileGivesNoRowsAndItsCaptions)
{
    QStringList header = DefaultMotionCaptions();
    header[0] = u"No."_qs;
    header[4] = u"ARM"_qs;
    for (const QString &end : {u""_qs, u"\r\n"_qs, u"\n"_qs, u"\r"_qs}) {
        const MotionFileLoad load = ParseMotionText(header.join(u',') + end, Home());
        ASSERT_TRUE(load.ok());
        EXPECT_EQ(load.rows.Size(), 0);
        EXPECT_EQ(load.header, header);
    }
}

TEST_F(MotionFileTest, LabelQuestionDataComparesNamesExactly)
{
    QStringList names;
    for (int n = 1; n <= kChannelCount; ++n)
        names.append(u"CH%1"_qs.arg(n));
    QStringList header = DefaultMotionCaptions();
    header[0] = u"番号"_qs;
    EXPECT_FALSE(ChannelNamesDiffer(header, names));
    header[26] = u"ch24"_qs;
    EXPECT_TRUE(ChannelNamesDiffer(header, names));

    EXPECT_EQ(CaptionsAfterLoad(header, names, true), header);
    QStringList kept = header.mid(0, 3) + names;
    EXPECT_EQ(CaptionsAfterLoad(header, names, false), kept);
}

TEST_F(MotionFileTest, LineEndsCrLfOrCrOrLfReadTheSame)
{
    MotionRows rows;
    rows.Append(Row(u"1"_qs, u"a"_qs, u"1"_qs, 10, 20, 30));
    rows.Append(Row(u"2"_qs, u"b"_qs, u"2"_qs, 40, 50, 221));
    QString text = MotionFileText(DefaultMotionCaptions(), rows, Home());
    ASSERT_TRUE(text.endsWith(u"\r\n"_qs));
    for (const QString &end : {u"\r"_qs, u"\n"_qs}) {
        QString other = text;
        other.replace(u"\r\n"_qs, end);
        const MotionFileLoad load = ParseMotionText(other, Home());
        ASSERT_TRUE(load.ok());
        ASSERT_EQ(load.rows.Size(), 2);
        EXPECT_EQ(load.rows.Fields(1), rows.Fields(1));
    }
}

TEST_F(MotionFileTest, NamesWithCommasQuotesSpacesAndJapaneseSurvive)
{
    const QStringList names{u"a,b"_qs, u"say \"hi\""_qs, u" lead and trail "_qs, u"立つ"_qs,
                            QString(), u"\"\""_qs,       u"tab\tin"_qs};
    MotionRows rows;
    for (const QString &name : names)
        rows.Append(Row(u"1"_qs, name, u"0"_qs, 1, 2, 3));
    QStringList captions = DefaultMotionCaptions();
    captions[3] = u"右 腕"_qs;
    ASSERT_TRUE(SaveMotionFile(path(u"names.csv"_qs), captions, rows, Home(), nullptr));

    const QByteArray bytes = ReadAll(path(u"names.csv"_qs));
    EXPECT_TRUE(bytes.contains("\n1,\x97\xa7\x82\xc2,0,"));  // CP932, bare
    EXPECT_FALSE(bytes.startsWith("\xef\xbb\xbf"));

    const MotionFileLoad load = LoadMotionFile(path(u"names.csv"_qs), Home());
    ASSERT_TRUE(load.ok()) << DescribeMotionFileError(load).toStdString();
    EXPECT_EQ(load.header, captions);
    ASSERT_EQ(load.rows.Size(), names.size());
    for (int r = 0; r < names.size(); ++r)
        EXPECT_EQ(load.rows.Field(r, 1), names[r]);

    // A name CP932 cannot hold makes the file UTF-8 and still survives.
    MotionRows accented;
    accented.Append(Row(u"1"_qs, u"café 立つ"_qs, u"0"_qs, 1, 2, 3));
    ASSERT_TRUE(SaveMotionFile(path(u"utf8.csv"_qs), DefaultMotionCaptions(), accented, Home(), nullptr));
    EXPECT_TRUE(ReadAll(path(u"utf8.csv"_qs)).contains("\"caf\xc3\xa9 \xe7\xab\x8b\xe3\x81\xa4\""));
    EXPECT_EQ(LoadMotionFile(path(u"utf8.csv"_qs), Home()).rows.Field(0, 1), u"café 立つ"_qs);
}

TEST_F(MotionFileTest, HostileFilesAreRejectedAndTheMotionDataStays)
{
    MotionData data;
    data.AppendRowFields(Row(u"1"_qs, u"keep"_qs, u"5"_qs, 1, 2, 3));
    QStringList captions = DefaultMotionCaptions();
    captions[5] = u"LEG"_qs;
    data.SetCaptions(captions);
    int resets = 0;
    QObject::connect(&data, &QAbstractItemModel::modelReset, [&] { ++resets; });

    QByteArray noise(1 << 20, '\0');
    quint32 seed = 12345;
    for (char &b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = char(seed >> 24);
    }
    const QByteArray ok = DataLine(u"1,a,0"_qs, {}).toLatin1();
    const QByteArray header = Header().toLatin1();
    const QList<QByteArray> files{
        noise,
        header + noise,
        header + ok + ok.left(40),
        header + "1,\"" + QByteArray(4'000'000, 'n') + "\",0\r\n",
        header + QByteArray(1'000'000, ',') + "\r\n",
        QByteArray(1'000'000, ',') + "\r\n" + ok,
        header + ok + "1,a,0,\x81\r\n",  // a lone CP932 lead byte
    };
    for (int i = 0; i < files.size(); ++i) {
        WriteAll(path(u"bad.csv"_qs), files[i]);
        MotionFileLoad load = LoadMotionFile(path(u"bad.csv"_qs), Home());
        EXPECT_FALSE(load.ok()) << "file " << i;
        EXPECT_NE(load.error, MotionFileError::CannotRead) << "file " << i;
        EXPECT_FALSE(DescribeMotionFileError(load).isEmpty());
        EXPECT_FALSE(ApplyMotionLoad(data, std::move(load), DefaultMotionCaptions()));
    }
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(data.Count(), 1);
    EXPECT_EQ(data.Field(0, 1), u"keep"_qs);
    EXPECT_EQ(data.Captions(), captions);

    MotionFileLoad missing = LoadMotionFile(path(u"none.csv"_qs), Home());
    EXPECT_EQ(missing.error, MotionFileError::CannotRead);
    EXPECT_FALSE(missing.detail.isEmpty());

    // A good file is taken over in one step.
    WriteAll(path(u"good.csv"_qs), header + ok + ok);
    EXPECT_TRUE(ApplyMotionLoad(data, LoadMotionFile(path(u"good.csv"_qs), Home()), DefaultMotionCaptions()));
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(data.Count(), 2);
}

TEST_F(MotionFileTest, FailedSaveReportsAndLeavesTheOldFile)
{
    MotionRows rows;
    for (int i = 0; i < 100; ++i)
        rows.Append(Row(QString::number(i + 1), u"DATA"_qs, u"7"_qs, 90, 90, 90));

    // The parent "folder" is a regular file: nothing can be created there.
    WriteAll(path(u"plain"_qs), "not a folder");
    QString error;
    EXPECT_FALSE(SaveMotionFile(path(u"plain/m.csv"_qs), DefaultMotionCaptions(), rows, Home(), &error));
    EXPECT_FALSE(error.isEmpty());

    // A file size limit makes the write itself fail, even for root.
    const QString target = path(u"old.csv"_qs);
    WriteAll(target, "old content\r\n");
    error.clear();
    bool saved_ok;
    {
        FileSizeLimit limit(64);
        saved_ok = SaveMotionFile(target, DefaultMotionCaptions(), rows, Home(), &error);
    }
    EXPECT_FALSE(saved_ok);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(target), QByteArray("old content\r\n"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{u"old.csv"_qs, u"plain"_qs}));
}

TEST(MotionFileNames, StartNameFromTheDateAndCsvForNamesWithoutExtension)
{
    EXPECT_EQ(MotionStartFileName(QDate(2024, 5, 17)), u"24_05_17_MOTION.csv"_qs);
    EXPECT_EQ(MotionStartFileName(QDate(2009, 12, 1)), u"09_12_01_MOTION.csv"_qs);
    EXPECT_EQ(WithMotionExtension(u"/home/u/pose"_qs), u"/home/u/pose.csv"_qs);
    EXPECT_EQ(WithMotionExtension(u"/home/u/pose.txt"_qs), u"/home/u/pose.txt"_qs);
    EXPECT_EQ(WithMotionExtension(u"/home/u.v/pose"_qs), u"/home/u.v/pose.csv"_qs);
}

TEST_F(MotionFileTest, AHundredThousandRowsGoOutAndComeBackWhole)
{
    HomePositions home = Home();
    home[3] = 45;
    MotionRows rows;
    for (int r = 0; r < 100'000; ++r) {
        QStringList fields{QString::number(r + 1), r % 3 ? u"DATA"_qs : u"名前 %1"_qs.arg(r), QString::number(r % 8)};
        for (int n = 0; n < kChannelCount; ++n)
            fields.append(QString::number((r + n) % 9 == 0 ? 221 + n % 7 : (r * 3 + n) % 181));
        rows.Append(fields);
    }
    QString error;
    ASSERT_TRUE(SaveMotionFile(path(u"big.csv"_qs), DefaultMotionCaptions(), rows, home, &error));
    const MotionFileLoad load = LoadMotionFile(path(u"big.csv"_qs), home);
    ASSERT_TRUE(load.ok()) << DescribeMotionFileError(load).toStdString();
    ASSERT_EQ(load.rows.Size(), rows.Size());
    for (qsizetype r = 0; r < rows.Size(); r += 997)
        ASSERT_EQ(load.rows.Fields(r), rows.Fields(r)) << r;
    EXPECT_EQ(load.rows.Fields(99'999), rows.Fields(99'999));
}

TEST_F(MotionFileTest, ARowLongerThanSixtyFiveThousandCharactersGoesOutAndComesBackExactly)
{
    const QString name = u"走る, \"fast\" "_qs.repeated(6'000);  // quoted on the way out: 78,000 characters
    const QList<QStringList> rows{Row(u"1"_qs, name, u"3"_qs, 180, 0, 45), Row(u"2"_qs, u"B"_qs, u"0"_qs, 221, 0, 90)};
    MotionRows held;
    for (const QStringList &fields : rows)
        held.Append(fields);
    QString error;
    ASSERT_TRUE(SaveMotionFile(path(u"long.csv"_qs), DefaultMotionCaptions(), held, Home(), &error));
    const MotionFileLoad load = LoadMotionFile(path(u"long.csv"_qs), Home());
    ASSERT_TRUE(load.ok()) << DescribeMotionFileError(load).toStdString();
    ASSERT_EQ(load.rows.Size(), 2);
    EXPECT_EQ(load.rows.Fields(0), rows[0]);
    EXPECT_EQ(load.rows.Fields(1), rows[1]);
    // And the bytes written again are the bytes read.
    ASSERT_TRUE(SaveMotionFile(path(u"again.csv"_qs), DefaultMotionCaptions(), load.rows, Home(), &error));
    QFile first(path(u"long.csv"_qs)), second(path(u"again.csv"_qs));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), second.readAll());
}
