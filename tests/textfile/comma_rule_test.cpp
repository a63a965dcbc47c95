#include "textfile/comma_rule.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace orvane;

namespace {

QStringList Split(const char16_t *line, qsizetype max = -1) { return SplitCommaLine(QString::fromUtf16(line), max); }

}  // namespace

TEST(CommaRuleWriter, QuotesOnlyFieldsWithBlanksCommasOrQuotes)
{
    EXPECT_EQ(JoinCommaLine({u"NO"_qs, u"DATA_NAME"_qs, QString(), u"-45"_qs}), u"NO,DATA_NAME,,-45"_qs);
    EXPECT_EQ(JoinCommaLine({u"stand up"_qs}), u"\"stand up\""_qs);
    EXPECT_EQ(JoinCommaLine({u"a,b"_qs}), u"\"a,b\""_qs);
    EXPECT_EQ(JoinCommaLine({u"say \"hi\""_qs}), u"\"say \"\"hi\"\"\""_qs);
    EXPECT_EQ(JoinCommaLine({u"tab\there"_qs, u"\x1f"_qs}), u"\"tab\there\",\"\x1f\""_qs);
    // Characters beyond ASCII, DEL and NUL are not blanks: written bare.
    EXPECT_EQ(JoinCommaLine({u"立つ"_qs, u"a\x7f"_qs}), u"立つ,a\x7f"_qs);
    EXPECT_EQ(JoinCommaLine({QString(QChar(0)) + u"x"_qs}), QString(QChar(0)) + u"x"_qs);
}

TEST(CommaRuleReader, SplitsOnCommasAndBlanksAndKeepsEmptyFields)
{
    EXPECT_EQ(Split(u"a,,b"), (QStringList{u"a"_qs, QString(), u"b"_qs}));
    EXPECT_EQ(Split(u",a"), (QStringList{QString(), u"a"_qs}));
    EXPECT_EQ(Split(u"a,"), (QStringList{u"a"_qs, QString()}));
    EXPECT_EQ(Split(u"a, \t"), (QStringList{u"a"_qs, QString()}));
    EXPECT_EQ(Split(u","), (QStringList{QString(), QString()}));
    EXPECT_EQ(Split(u"  a ,\tb  "), (QStringList{u"a"_qs, u"b"_qs}));
    // A blank outside quotes ends a field, so an unquoted name with a space splits.
    EXPECT_EQ(Split(u"stand up,3"), (QStringList{u"stand"_qs, u"up"_qs, u"3"_qs}));
    EXPECT_TRUE(Split(u"").isEmpty());
    EXPECT_TRUE(Split(u" \t ").isEmpty());
}

TEST(CommaRuleReader, QuotedFieldsRunToTheMatchingQuote)
{
    EXPECT_EQ(Split(u"1,\"stand up\",3"), (QStringList{u"1"_qs, u"stand up"_qs, u"3"_qs}));
    EXPECT_EQ(Split(u"\"a,\"\"b\"\"\",c"), (QStringList{u"a,\"b\""_qs, u"c"_qs}));
    EXPECT_EQ(Split(u"\"\",x"), (QStringList{QString(), u"x"_qs}));
    // Text right after a closing quote starts a field of its own.
    EXPECT_EQ(Split(u"\"ab\"cd,e"), (QStringList{u"ab"_qs, u"cd"_qs, u"e"_qs}));
    // No closing quote: the rest of the line.
    EXPECT_EQ(Split(u"x,\"open, end"), (QStringList{u"x"_qs, u"open, end"_qs}));
    EXPECT_EQ(Split(u"\"a\"\""), (QStringList{u"a\""_qs}));
    // A quote inside an unquoted field is an ordinary character.
    EXPECT_EQ(Split(u"ab\"c,d"), (QStringList{u"ab\"c"_qs, u"d"_qs}));
}

TEST(CommaRuleReader, StopsAfterTheFieldsAskedFor)
{
    EXPECT_EQ(Split(u"a,b,c,d", 2), (QStringList{u"a"_qs, u"b"_qs}));
    EXPECT_EQ(Split(u"a,", 2), (QStringList{u"a"_qs, QString()}));
    EXPECT_TRUE(Split(u"a,b", 0).isEmpty());
}

TEST(CommaRule, RandomFieldsSurviveAJoinAndASplit)
{
    const char16_t alphabet[] = {u'a',  u'Z', u'0',    u' ',  u',', u'"',   u'\t', u'\r',
                                 u'\n', 0,    u'\x7f', u'立', u'ｱ', 0xD83D, 0xDE00};
    QRandomGenerator rng(20240517);
    for (int round = 0; round < 2000; ++round) {
        QStringList fields;
        const int count = rng.bounded(1, 30);
        for (int f = 0; f < count; ++f) {
            QString field;
            const int length = rng.bounded(0, 8);
            for (int i = 0; i < length; ++i)
                field.append(QChar(alphabet[rng.bounded(int(std::size(alphabet)))]));
            fields.append(field);
        }
        if (fields.size() == 1 && fields[0].isEmpty())
            continue;  // one empty field is an empty line: no fields
        ASSERT_EQ(SplitCommaLine(JoinCommaLine(fields)), fields) << JoinCommaLine(fields).toStdString();
    }
}

TEST(CommaRule, HostileLinesAreSplitWithoutBlowingUp)
{
    const QString commas(1'000'000, u',');
    const QStringList all = SplitCommaLine(commas);
    ASSERT_EQ(all.size(), 1'000'001);
    EXPECT_TRUE(all.back().isEmpty());
    EXPECT_EQ(SplitCommaLine(commas, 28).size(), 28);

    // A million doubled quotes inside one field collapse to half a million.
    const QString quotes = u"\""_qs + QString(1'000'000, u'"') + u"\",x"_qs;
    const QStringList q = SplitCommaLine(quotes);
    ASSERT_EQ(q.size(), 2);
    EXPECT_EQ(q[0].size(), 500'000);

    const QString huge(5'000'000, u'x');
    EXPECT_EQ(SplitCommaLine(huge + u",1"_qs).value(0).size(), 5'000'000);

    QString noise;
    QRandomGenerator rng(7);
    for (int i = 0; i < 200'000; ++i)
        noise.append(QChar(char16_t(rng.bounded(0x10000))));
    EXPECT_NO_THROW(SplitCommaLine(noise));
}

TEST(TextLines, EndAtCrLfCrOrLfAndAFinalEndAddsNoLine)
{
    const auto lines = [](const char16_t *text) {
        QStringList out;
        const QString s = QString::fromUtf16(text);
        for (QStringView v : SplitTextLines(s))
            out.append(v.toString());
        return out;
    };
    EXPECT_EQ(lines(u"a\r\nb\rc\nd"), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs}));
    EXPECT_EQ(lines(u"a\r\n"), (QStringList{u"a"_qs}));
    EXPECT_EQ(lines(u"a\n\rb"), (QStringList{u"a"_qs, QString(), u"b"_qs}));
    EXPECT_EQ(lines(u"\r\n\r\n"), (QStringList{QString(), QString()}));
    EXPECT_TRUE(lines(u"").isEmpty());
}

TEST(TextLines, TheReaderGivesTheSameLinesOneAtATimeAndTheSplitStopsAtItsCount)
{
    const QString text = u"a\r\n\nb\rc"_qs;
    TextLineReader reader(text);
    QStringList read;
    QStringView line;
    while (reader.Next(&line))
        read.append(line.toString());
    EXPECT_EQ(read, (QStringList{u"a"_qs, QString(), u"b"_qs, u"c"_qs}));
    EXPECT_FALSE(reader.Next(&line));

    // A copy goes on from where the original stood.
    TextLineReader first(text);
    ASSERT_TRUE(first.Next(&line));
    TextLineReader copy = first;
    ASSERT_TRUE(copy.Next(&line));
    EXPECT_TRUE(line.isEmpty());
    ASSERT_TRUE(first.Next(&line));
    EXPECT_TRUE(line.isEmpty());

    EXPECT_EQ(SplitTextLines(text, 2).size(), 2u);
    EXPECT_EQ(SplitTextLines(text, 0).size(), 0u);
    EXPECT_EQ(SplitTextLines(text, 9).size(), 4u);
    // Ten million line ends: a split that stops early holds two lines, not ten million.
    const QString feeds(10'000'000, u'\n');
    EXPECT_EQ(SplitTextLines(feeds, 2).size(), 2u);
}
