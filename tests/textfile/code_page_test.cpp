#include "textfile/code_page.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

QByteArray Bytes(std::initializer_list<unsigned char> b)
{
    return QByteArray(reinterpret_cast<const char *>(std::data(b)), qsizetype(b.size()));
}

TEST(CodePage, JapaneseTextIsWrittenAsCp932AndReadBack)
{
    const QString text = QStringLiteral("サーボ１\\~");
    const QByteArray expected = Bytes({0x83, 0x54, 0x81, 0x5B, 0x83, 0x7B, 0x82, 0x50, '\\', '~'});
    EXPECT_EQ(EncodeText(text), expected);
    EXPECT_EQ(ChooseEncoding(text), TextEncoding::Cp932);
    EXPECT_EQ(DecodeText(expected), text);
}

TEST(CodePage, TextCp932CannotHoldFaithfullyIsWrittenAsUtf8)
{
    // An emoji has no CP932 form; U+00AC shares its code with U+FFE2; the
    // half-width kana would be the bytes C3 BD, which read as UTF-8 "ý".
    for (const QString &text : {QStringLiteral("腕😀"), QStringLiteral("¬"), QStringLiteral("ﾃｽ")}) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(ChooseEncoding(text), TextEncoding::Utf8);
        EXPECT_EQ(EncodeText(text), text.toUtf8());
        EXPECT_EQ(DecodeText(EncodeText(text)), text);
    }
}

TEST(CodePage, ReaderTakesValidUtf8AsUtf8AndEverythingElseAsCp932)
{
    EXPECT_EQ(DecodeText(Bytes({0xE8, 0x85, 0x95})), QStringLiteral("腕"));
    EXPECT_EQ(DecodeText(Bytes({0xEF, 0xBB, 0xBF, 'A'})), QStringLiteral("A"));
    EXPECT_EQ(DecodeText(Bytes({0x98, 0x72})), QStringLiteral("腕"));
    // Overlong, surrogate and cut-off sequences are no UTF-8.
    EXPECT_FALSE(IsValidUtf8(Bytes({0xC0, 0xAF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xED, 0xA0, 0x80})));
    EXPECT_FALSE(IsValidUtf8(Bytes({'a', 0xE3, 0x81})));
    EXPECT_TRUE(IsValidUtf8(Bytes({0xF0, 0x9F, 0x98, 0x80})));
}

TEST(CodePage, ATextBeginningWithAByteOrderMarkCharacterKeepsItThroughASaveAndALoad)
{
    // Found by the fuzz target: five marks read as four characters, which lost one at every save.
    const QByteArray found =
        Bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF});
    const QString text = DecodeText(found);
    EXPECT_EQ(text, QString(4, QChar(0xFEFF)));
    EXPECT_EQ(DecodeText(EncodeText(text)), text);
    const QString name = QStringLiteral("\uFEFFwalk 歩く😀");
    EXPECT_EQ(EncodeText(name), QByteArray("\xEF\xBB\xBF") + name.toUtf8());
    EXPECT_EQ(DecodeText(EncodeText(name)), name);
    // Anything else is written as before: no mark.
    EXPECT_EQ(EncodeText(QStringLiteral("😀")), QStringLiteral("😀").toUtf8());
}

TEST(CodePage, BytesCp932DoesNotDefineBecomeReplacementCharacters)
{
    EXPECT_EQ(DecodeText(Bytes({'A', 0x80, 0x83, 0x65, 0xFF})), QStringLiteral("A\uFFFDテ\uFFFD"));
    // A lead byte cut off by a line end or by the end of the file; half-width kana take one byte each.
    EXPECT_EQ(DecodeText(Bytes({0x83, '\n', 0xB1, 0xB2, 0x83})), QStringLiteral("\uFFFD\nｱｲ\uFFFD"));
    // Every byte a character of its own: the text is as long as the file, no longer.
    const QByteArray kana(1'000'000, char(0xB1));
    const QString text = DecodeText(kana);
    EXPECT_EQ(text.size(), kana.size());
    EXPECT_EQ(text.count(QStringLiteral("ｱ")), kana.size());
}

}  // namespace
}  // namespace orvane
