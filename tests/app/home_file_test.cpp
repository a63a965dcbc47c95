#include "app/home_file.h"
#include "file_helpers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace orvane {
namespace {

TEST(HomeFile, OnlyCh1GivesNinetyForTheRestAndOtherSectionsAreIgnored)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pose.vpd");
    WriteAll(path, "[OTHER]\nCH2=10\n[home_position]\nch1=100\n");
    HomeFileContent content;
    ASSERT_TRUE(ReadHomeFile(path, &content, nullptr));
    EXPECT_EQ(content.values[0], 100);
    for (int i = 1; i < kChannelCount; ++i)
        EXPECT_EQ(content.values[i], 90) << "CH" << i + 1;
    EXPECT_TRUE(content.outOfRange.isEmpty());
}

TEST(HomeFile, ValuesThatAreNoChannelValueCodeReadAsNinetyAndAreReported)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("pose.vpd");
    WriteAll(path, "[HOME_POSITION]\r\nCH1=0\r\nCH2=180\r\nCH3=181\r\nCH4=220\r\nCH5=221\r\n"
                   "CH6=227\r\nCH7=228\r\nCH8=-1\r\nCH9=346\r\nCH10=abc\r\n");
    HomeFileContent content;
    ASSERT_TRUE(ReadHomeFile(path, &content, nullptr));
    const int expected[] = {0, 180, 90, 90, 221, 227, 90, 90, 90, 90};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(content.values[i], expected[i]) << "CH" << i + 1;
    EXPECT_EQ(content.outOfRange, (QList<int>{3, 4, 7, 8, 9}));
}

TEST(HomeFile, MissingFileFailsAndChangesNothing)
{
    QTemporaryDir dir;
    HomeFileContent content;
    content.values[0] = 5;
    QString error;
    EXPECT_FALSE(ReadHomeFile(dir.filePath("none.vpd"), &content, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(content.values[0], 5);
}

TEST(HomeFile, NewFileHoldsTheSectionAndTwentyFourKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("new.vpd");
    HomePosition home = detail::Filled<kChannelCount>(90);
    home[23] = 221;
    ASSERT_TRUE(SaveHomeFile(path, home, nullptr));
    QByteArray expected = "[HOME_POSITION]\r\n";
    for (int n = 1; n <= 23; ++n)
        expected += "CH" + QByteArray::number(n) + "=90\r\n";
    expected += "CH24=221\r\n";
    EXPECT_EQ(ReadAll(path), expected);
}

TEST(HomeFile, SavingIntoAnExistingFileReplacesOnlyTheChannelKeys)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.vpd");
    WriteAll(path, "; robot A\r\n[HOME_POSITION]\r\nCH1=10\r\nNote=keep\r\n[Extra]\r\nCH1=77\r\n");
    HomePosition home = detail::Filled<kChannelCount>(90);
    home[0] = 45;
    ASSERT_TRUE(SaveHomeFile(path, home, nullptr));
    QByteArray expected = "; robot A\r\n[HOME_POSITION]\r\nCH1=45\r\nNote=keep\r\n";
    for (int n = 2; n <= 24; ++n)
        expected += "CH" + QByteArray::number(n) + "=90\r\n";
    expected += "[Extra]\r\nCH1=77\r\n";
    EXPECT_EQ(ReadAll(path), expected);
}

TEST(HomeFile, NamesAndTheDateBasedStartName)
{
    EXPECT_EQ(WithHomeFileExtension("/home/u/pose"), "/home/u/pose.vpd");
    EXPECT_EQ(WithHomeFileExtension("/home/u/pose.txt"), "/home/u/pose.txt");
    EXPECT_EQ(WithHomeFileExtension("/home/u.v/pose"), "/home/u.v/pose.vpd");
    EXPECT_EQ(HomeFileStartName(QDate(2004, 7, 15)), "04_07_15_HOME.vpd");
    EXPECT_EQ(HomeFileStartName(QDate(2100, 1, 5)), "00_01_05_HOME.vpd");
    EXPECT_EQ(HomeFileStartPath("/opt/orvane", QDate(2024, 12, 31)), "/opt/orvane/24_12_31_HOME.vpd");
}

}  // namespace
}  // namespace orvane
