#include "app/settings.h"
#include "file_helpers.h"
#include "textfile/code_page.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace orvane {
namespace {

class Settings : public ::testing::Test {
protected:
    QString IniPath() const { return SettingsFilePath(dir.path()); }
    QTemporaryDir dir;
};

TEST_F(Settings, NoFileGivesEveryDefault)
{
    const MainSettings s = LoadSettings(dir.path());
    EXPECT_EQ(s.commPort, 0);
    EXPECT_EQ(s.ch1to12Id, 0);
    EXPECT_EQ(s.ch13to24Id, 255);
    EXPECT_EQ(s.mainTop, -1);
    EXPECT_EQ(s.listHeight, -1);
    EXPECT_FALSE(s.graphView);
    EXPECT_EQ(s.graphWidth, 700);
    EXPECT_EQ(s.servoNames[0], "CH1");
    EXPECT_EQ(s.servoNames[23], "CH24");
    EXPECT_EQ(s.panelColors[23], 0x8000000Fu);
    EXPECT_TRUE(s.panelViews[23]);
    EXPECT_EQ(s.panelList, 0);
    EXPECT_EQ(s.panelNames[9], "Pattern10");
    EXPECT_EQ(s.desktops[9], BuiltInLayout());
    EXPECT_EQ(s.homePos[23], 90);
    EXPECT_TRUE(s.portPaths.isEmpty());
    EXPECT_FALSE(QFile::exists(IniPath()));
}

TEST_F(Settings, ReadingRules)
{
    WriteAll(IniPath(), "[orvane]\r\nCommPort=11\r\nCH13-24ID=abc\r\nListView=2\r\n"
                        "PanelColor1=$FF\r\nPanelColor2=-2147483633\r\nPanelView3=0\r\n"
                        "HomePos_1=300\r\nHomePos_2=227\r\nHomePos_3=-1\r\nPanelTop4_0=0x10\r\n"
                        "[Ports]\r\nCOM3=/dev/ttyUSB7\r\nCOM4=\r\n");
    const MainSettings s = LoadSettings(dir.path());
    EXPECT_EQ(s.commPort, 0);
    EXPECT_EQ(s.ch13to24Id, 255);
    EXPECT_TRUE(s.listView);
    EXPECT_EQ(s.panelColors[0], 0xFFu);
    EXPECT_EQ(s.panelColors[1], 0x8000000Fu);
    EXPECT_FALSE(s.panelViews[2]);
    EXPECT_EQ(s.homePos[0], 90);
    EXPECT_EQ(s.homePos[1], 227);
    EXPECT_EQ(s.homePos[2], 90);
    EXPECT_EQ(s.desktops[3][0], (PanelPos{0, 16}));
    EXPECT_EQ(s.portPaths, (QMap<int, QString>{{3, "/dev/ttyUSB7"}}));

    WriteAll(IniPath(), "[Orvane]\r\nCommPort=10\r\n");
    EXPECT_EQ(LoadSettings(dir.path()).commPort, 10);
}

TEST_F(Settings, FreshSaveWritesEveryKeyInTableOrderWithCrLf)
{
    ASSERT_TRUE(SaveSettings(dir.path(), MainSettings{}, nullptr));
    const QByteArray bytes = ReadAll(IniPath());
    EXPECT_TRUE(
        bytes.startsWith("[Orvane]\r\nCheck=OK\r\nCommPort=0\r\nCH1-12ID=0\r\nCH13-24ID=255\r\nMainTop=-1\r\n"
                         "MainLeft=-1\r\nListView=0\r\nListTop=-1\r\nListLeft=-1\r\nListWidth=-1\r\nListHeight=-1\r\n"
                         "GraphView=0\r\nGraphTop=-1\r\nGraphLeft=-1\r\nGraphWidth=700\r\n"
                         "ServoName1=CH1\r\nPanelColor1=-2147483633\r\nPanelView1=1\r\nServoName2=CH2\r\n"))
        << bytes.left(400).toStdString();
    EXPECT_TRUE(bytes.contains("PanelView24=1\r\nPanelList=0\r\nPanelName1=Pattern1\r\n"
                               "PanelLeft1_0=0\r\nPanelTop1_0=170\r\nPanelLeft1_1=0\r\nPanelTop1_1=26\r\n"
                               "PanelLeft1_2=0\r\nPanelTop1_2=50\r\n"));
    EXPECT_TRUE(bytes.contains("PanelLeft1_24=254\r\nPanelTop1_24=294\r\nPanelName2=Pattern2\r\n"));
    EXPECT_TRUE(bytes.contains("PanelTop10_24=294\r\nHomePos_1=90\r\nHomePos_2=90\r\n"));
    EXPECT_TRUE(bytes.endsWith("HomePos_23=90\r\nHomePos_24=90\r\nMonitorView=0\r\nMonitorTop=-1\r\n"
                               "MonitorLeft=-1\r\nMonitorWidth=-1\r\nMonitorHeight=-1\r\n"
                               "TeachStillTime=800\r\nTeachStillDeg=3\r\nTeachRecTol=2\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 631);
    EXPECT_EQ(bytes.count('\n'), 631);
    EXPECT_EQ(bytes.count('\r'), 631);
}

TEST_F(Settings, EveryValueSurvivesSaveAndLoad)
{
    MainSettings s;
    s.commPort = 7;
    s.ch1to12Id = 3;
    s.ch13to24Id = 4;
    s.mainTop = 11;
    s.mainLeft = 12;
    s.listView = true;
    s.listTop = 13;
    s.listLeft = 14;
    s.listWidth = 15;
    s.listHeight = 16;
    s.graphView = true;
    s.graphTop = 17;
    s.graphLeft = 18;
    s.graphWidth = 19;
    s.monitorView = true;
    s.monitorTop = 20;
    s.monitorLeft = 21;
    s.monitorWidth = 22;
    s.monitorHeight = 23;
    s.hand = {3000, 1, 20};
    for (int i = 0; i < kChannelCount; ++i) {
        s.servoNames[i] = QStringLiteral("肩%1").arg(i);
        s.panelColors[i] = 0x00010203u * uint32_t(i + 1);
        s.panelViews[i] = i % 2;
        s.homePos[i] = 100 + i;
    }
    s.panelColors[0] = 0x80000005u;
    s.panelList = 10;
    for (int d = 0; d < kDesktopCount; ++d) {
        s.panelNames[d] = QStringLiteral("配置%1").arg(d);
        for (int p = 0; p < kPanelCount; ++p)
            s.desktops[d][p] = {d * 100 + p, d * 100 + p + 50};
    }
    s.panelNames[2].clear();
    ASSERT_TRUE(SaveSettings(dir.path(), s, nullptr));
    EXPECT_EQ(LoadSettings(dir.path()), s);
}

TEST_F(Settings, UnknownSectionsAndKeysSurviveInPlace)
{
    WriteAll(IniPath(), "; mine\r\n[Before]\r\na=1\r\n[Orvane]\r\nMine=x\r\nCommPort=3\r\n\r\n"
                        "[Ports]\r\nCOM3=/dev/ttyUSB7\r\n");
    ASSERT_TRUE(SaveSettings(dir.path(), MainSettings{}, nullptr));
    const QByteArray bytes = ReadAll(IniPath());
    EXPECT_TRUE(bytes.startsWith("; mine\r\n[Before]\r\na=1\r\n[Orvane]\r\nMine=x\r\nCommPort=0\r\n"
                                 "Check=OK\r\nCH1-12ID=0\r\n"))
        << bytes.left(200).toStdString();
    EXPECT_TRUE(bytes.endsWith("TeachRecTol=2\r\n\r\n[Ports]\r\nCOM3=/dev/ttyUSB7\r\n"));
}

// A hand-edited file cannot set teaching by hand to what its window would not offer.
TEST_F(Settings, TeachingValuesOutOfTheirRangesReadAsTheirDefaults)
{
    WriteAll(IniPath(), "[Orvane]\r\nTeachStillTime=299\r\nTeachStillDeg=21\r\nTeachRecTol=0\r\n");
    EXPECT_EQ(LoadSettings(dir.path()).hand, HandTeachingSettings{});
    WriteAll(IniPath(), "[Orvane]\r\nTeachStillTime=300\r\nTeachStillDeg=20\r\nTeachRecTol=x\r\n");
    EXPECT_EQ(LoadSettings(dir.path()).hand, (HandTeachingSettings{300, 20, 2}));
}

TEST_F(Settings, JapaneseNamesRoundTripInCp932)
{
    MainSettings s;
    s.servoNames[0] = QStringLiteral("右肩");
    s.panelNames[0] = QStringLiteral("歩行ﾎﾟｰｽﾞ");
    ASSERT_TRUE(SaveSettings(dir.path(), s, nullptr));
    const QByteArray bytes = ReadAll(IniPath());
    EXPECT_TRUE(bytes.contains("\r\nServoName1=\x89\x45\x8C\xA8\r\n"));
    EXPECT_FALSE(IsValidUtf8(bytes));
    EXPECT_EQ(LoadSettings(dir.path()), s);
}

TEST_F(Settings, AnEmojiMakesTheFileUtf8AndItReadsBack)
{
    MainSettings s;
    s.servoNames[4] = QStringLiteral("腕😀");
    ASSERT_TRUE(SaveSettings(dir.path(), s, nullptr));
    EXPECT_TRUE(ReadAll(IniPath()).contains("\r\nServoName5=" + s.servoNames[4].toUtf8() + "\r\n"));
    EXPECT_EQ(LoadSettings(dir.path()), s);
}

TEST_F(Settings, FailedCheckWriteLeavesTheFileAsItWas)
{
    const QByteArray old = "[Orvane]\r\nServoName1=" + QByteArray(200, 'n') + "\r\n";
    WriteAll(IniPath(), old);
    QString error;
    {
        FileSizeLimit limit(100);
        EXPECT_FALSE(SaveSettings(dir.path(), MainSettings{}, &error));
        EXPECT_FALSE(CheckSettingsWritable(dir.path(), &error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(IniPath()), old);
}

TEST_F(Settings, CheckIsWrittenBeforeTheRestFails)
{
    WriteAll(IniPath(), "[Orvane]\r\nServoName1=Arm\r\n");
    {
        FileSizeLimit limit(1000);
        EXPECT_FALSE(SaveSettings(dir.path(), MainSettings{}, nullptr));
    }
    EXPECT_EQ(ReadAll(IniPath()), "[Orvane]\r\nServoName1=Arm\r\nCheck=OK\r\n");
}

TEST_F(Settings, FolderThatCannotBeWrittenFails)
{
    WriteAll(dir.filePath("file"), "x");
    QString error;
    EXPECT_FALSE(SaveSettings(dir.filePath("file"), MainSettings{}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(dir.filePath("file")), "x");
}

}  // namespace
}  // namespace orvane
