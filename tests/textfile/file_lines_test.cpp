#include "textfile/code_page.h"
#include "textfile/file_lines.h"

#include <gtest/gtest.h>

using namespace orvane;

namespace {

QStringList WholeLines(const QByteArray &bytes)
{
    const QString text = DecodeText(bytes);
    TextLineReader reader(text);
    QStringList out;
    QStringView line;
    while (reader.Next(&line))
        out.append(line.toString());
    return out;
}

QStringList BlockLines(FileLineReader &reader)
{
    QStringList out;
    QStringView line;
    while (reader.Next(&line))
        out.append(line.toString());
    return out;
}

}  // namespace

// Blocks of every size from one byte up: a cut between CR and LF would add an empty line, a cut inside a
// character would turn it into U+FFFD, and a mark after the first block must stay a character.
TEST(FileLines, EveryBlockSizeGivesTheLinesOfTheWholeText)
{
    const QByteArray cp932 = *ToCp932(u"名前,速度\r\n\r\n歩く\rA\n\r\nｱ,走る\r\n"_qs);
    const QByteArray cp932Faulty = QByteArray("a\x81\nb\x82\r\nc\x83", 9);  // lead bytes before line ends
    const QByteArray utf8 = "\xEF\xBB\xBFx\r\n\xEF\xBB\xBFy\r\r\n\xF0\x9F\x98\x80z\n";
    const QByteArray plain = "\r\n\r\nlast without end";
    for (const QByteArray &bytes : {cp932, cp932Faulty, utf8, plain}) {
        const QStringList whole = WholeLines(bytes);
        ASSERT_FALSE(whole.isEmpty());
        for (qsizetype block = 1; block <= bytes.size() + 1; ++block) {
            FileLineReader reader(bytes, block);
            EXPECT_EQ(BlockLines(reader), whole) << "block of " << block << " bytes";
            // A second reading after going back gives the same lines again.
            reader.Rewind();
            EXPECT_EQ(BlockLines(reader), whole) << "block of " << block << " bytes, read again";
        }
    }
    EXPECT_EQ(WholeLines(utf8).first(), u"x"_qs);
    EXPECT_EQ(WholeLines(utf8).at(1), u"\uFEFFy"_qs);

    FileLineReader empty{QByteArray()};
    EXPECT_TRUE(BlockLines(empty).isEmpty());
}
