#include "textfile/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace orvane {
namespace {

IniFile FromText(const QString &text)
{
    IniFile ini;
    ini.SetText(text);
    return ini;
}

TEST(IniRead, IntegersAreDecimalOrHexAndAnythingElseGivesTheDefault)
{
    const IniFile ini = FromText("[S]\nhex=0x1F\ndollar=$1F\nneg=-5\ncolour=0x8000000F\nspaced=  7 \n"
                                 "junk=12abc\nempty=\nbig=2147483648\nlow=-2147483648\nbighex=0x100000000\n");
    EXPECT_EQ(ini.ReadInteger("S", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "dollar", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -5);
    EXPECT_EQ(ini.ReadInteger("S", "colour", 0), -2147483633);
    EXPECT_EQ(ini.ReadInteger("S", "spaced", 0), 7);
    EXPECT_EQ(ini.ReadInteger("S", "low", 0), -2147483647 - 1);
    for (const char *key : {"junk", "empty", "big", "bighex", "missing"})
        EXPECT_EQ(ini.ReadInteger("S", key, 42), 42) << key;
}

TEST(IniRead, SectionsAndKeysIgnoreCaseAndTheFirstDuplicateCounts)
{
    const IniFile ini = FromText("[orvane]\r\ncommport = 3\r\nFlag=2\r\nOff=0\r\nWord=yes\r\nCommPort=4\r\n"
                                 "[ORVANE]\r\nCommPort=5\r\n");
    EXPECT_EQ(ini.ReadInteger("Orvane", "CommPort", 0), 3);
    EXPECT_TRUE(ini.ReadBool("ORVANE", "flag", false));
    EXPECT_FALSE(ini.ReadBool("Orvane", "Off", true));
    EXPECT_TRUE(ini.ReadBool("Orvane", "Word", true));
    EXPECT_FALSE(ini.ReadBool("Orvane", "Word", false));
}

TEST(IniWrite, ReplacesInPlaceAppendsToItsSectionAndKeepsEverythingElse)
{
    IniFile ini = FromText("; settings\n[A]\nx=1\nunknown = kept \n\n; about B\n[B]\ny=2\r[C]\r\nz=3");
    ini.WriteInteger("a", "X", 10);
    ini.WriteString("A", "new", "v");
    ini.WriteBool("B", "flag", true);
    ini.WriteInteger("C", "z", 3);
    ini.WriteString("D", "w", "fresh");
    EXPECT_EQ(ini.Text(), "; settings\r\n[A]\r\nX=10\r\nunknown = kept \r\nnew=v\r\n\r\n; about B\r\n"
                          "[B]\r\ny=2\r\nflag=1\r\n[C]\r\nz=3\r\n[D]\r\nw=fresh\r\n");
}

TEST(IniWrite, StringsReadBackExactlyAndCannotBreakTheLine)
{
    IniFile ini;
    const QString values[] = {" padded ", "\"quoted\"", "'q'", "　全角", "a=b;c"};
    for (int i = 0; i < 5; ++i)
        ini.WriteString("S", QString::number(i), values[i]);
    ini.WriteString("S", "evil", "x\r\nCommPort=9");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ini.ReadString("S", QString::number(i), {}), values[i]);
    EXPECT_FALSE(ini.KeyExists("S", "CommPort"));
    EXPECT_EQ(ini.ReadString("S", "evil", {}), "x  CommPort=9");
}

TEST(IniFlush, MissingFileLoadsEmptyAndFlushWritesEncodedCrLfText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.ini");
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    EXPECT_FALSE(ini.SectionExists("S"));
    ini.WriteString("S", "Name", QStringLiteral("腕"));
    QString error;
    ASSERT_TRUE(ini.Flush(&error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[S]\r\nName=\x98\x72\r\n"));

    IniFile again;
    ASSERT_TRUE(again.Load(path));
    EXPECT_EQ(again.ReadString("S", "Name", {}), QStringLiteral("腕"));
}

}  // namespace
}  // namespace orvane
