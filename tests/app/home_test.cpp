#include "fake_main.h"
#include "file_helpers.h"
#include "modal_wait.h"

#include "app/home_dialog.h"
#include "app/home_ops.h"
#include "boards_on_line.h"
#include "protocol/serial_port.h"
#include "sim/virtual_boards.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

using orvane::sim::BoardMemory;
using orvane::sim::Bytes;

QByteArray AllNinety()
{
    QByteArray text = "[HOME_POSITION]\r\n";
    for (int n = 1; n <= 24; ++n)
        text += "CH" + QByteArray::number(n) + "=90\r\n";
    return text;
}

// Remembers what the file dialogs were opened with.
class RecordingPrompt : public ScriptedPrompt {
public:
    struct FileDialog {
        QString title, filter, initial;
    };
    std::vector<FileDialog> fileDialogs;
    std::vector<uint32_t> colorPresets;

    QString OpenFile(const QString &title, const QString &filter, const QString &initial) override
    {
        fileDialogs.push_back({title, filter, initial});
        return ScriptedPrompt::OpenFile(title, filter, initial);
    }
    QString SaveFile(const QString &title, const QString &filter, const QString &initial) override
    {
        fileDialogs.push_back({title, filter, initial});
        return ScriptedPrompt::SaveFile(title, filter, initial);
    }
};

TEST(HomeDialog, ShowsFourChoicesWithTheirTagsAndStartsOnSave)
{
    THomeDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ホームポジション"));
    const struct {
        const char *name;
        int tag;
        const char *text;
    } expected[] = {
        {"GetHomeChk", 11, "Varkel-1からホームポジションを呼び出します"},
        {"SetHomeChk", 10, "現在のポジションをホームポジションに登録します"},
        {"OpenHomeChk", 12, "ホームポジションのファイルを開く"},
        {"SaveHomeChk", 13, "ホームポジションをファイルに保存する"},
    };
    for (const auto &e : expected) {
        auto *radio = dialog.findChild<QRadioButton *>(QLatin1String(e.name));
        ASSERT_NE(radio, nullptr) << e.name;
        EXPECT_EQ(radio->property("tag").toInt(), e.tag) << e.name;
        EXPECT_EQ(radio->text(), QString::fromUtf8(e.text)) << e.name;
        EXPECT_EQ(radio->isChecked(), e.tag == 13) << e.name;
    }
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("HomeOkButton"))->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.findChild<QPushButton *>(QStringLiteral("HomeCancelButton"))->text(), QStringLiteral("Cancel"));
}

TEST(HomeDialog, OkGivesTheChosenTagCancelGivesTwoAndTheChoiceStays)
{
    THomeDialog dialog;
    WhenModal([&](QWidget *) {
        QTest::mouseClick(dialog.GetHomeChk, Qt::LeftButton);
        QTest::mouseClick(dialog.HomeOkButton, Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), 11);

    WhenModal([&](QWidget *) {
        EXPECT_TRUE(dialog.GetHomeChk->isChecked());
        QTest::mouseClick(dialog.OpenHomeChk, Qt::LeftButton);
        QTest::mouseClick(dialog.HomeCancelButton, Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), 2);

    WhenModal([&](QWidget *) { QTest::mouseClick(dialog.HomeOkButton, Qt::LeftButton); });
    EXPECT_EQ(dialog.exec(), 12);
}

TEST(HomeDialog, ClosingTheDialogRunsNothing)
{
    THomeDialog dialog;
    FakeMain main;
    WhenModal([&](QWidget *) { dialog.reject(); });
    RunHomeDialog(dialog, main);
    EXPECT_TRUE(main.calls.isEmpty());
    EXPECT_TRUE(main.ownPrompt.boxes.empty());
    EXPECT_TRUE(main.ownPrompt.dialogs.isEmpty());
}

// Two virtual boards (IDs 0 and 1) and one open port for the whole suite.
class HomeOnBoards : public BoardsOnLineTest<902> {
protected:
    static BoardMemory Memory(uint8_t id)
    {
        BoardMemory memory(id);
        for (int k = 0; k < 12; ++k) {
            memory.positions[k] = uint8_t(10 * id + k + 1);  // 1..12 and 11..22
            memory.home[k] = uint8_t(100 + 10 * id + k);     // 100..111 and 110..121
        }
        return memory;
    }
    void SetUp() override
    {
        ASSERT_TRUE(SerialPort->IsOpen());
        ResetBoards(Memory(0), Memory(1));
        for (int n = 1; n <= 24; ++n)
            main.home[n] = 45;
    }

    FakeMain main;
};

TEST_F(HomeOnBoards, RegisterAnsweredNoSendsNothing)
{
    main.ids = {0, 1};
    main.ownPrompt.answers = {PromptAnswer::No};
    RegisterHome(main);

    ASSERT_EQ(main.ownPrompt.boxes.size(), 1u);
    const ShownBox &box = main.ownPrompt.boxes[0];
    EXPECT_EQ(box.icon, PromptIcon::Question);
    EXPECT_EQ(box.title, QStringLiteral("確認"));
    EXPECT_EQ(box.text, QStringLiteral("以前のホームポジションが失われますがよろしいですか？"));
    EXPECT_EQ(box.buttons, PromptButtons::YesNo);
    QTest::qWait(50);
    EXPECT_TRUE(boards->Frames().empty());
    EXPECT_TRUE(main.calls.isEmpty());
    EXPECT_EQ(boards->Board(0).home[0], 100);
}

TEST_F(HomeOnBoards, RegisterWithoutSecondBoardStoresAndReadsBackTheFirstOnly)
{
    main.ids = {0, 255};
    RegisterHome(main);

    const std::vector<Bytes> expected{Frame({0xFB, 0x00}), Frame({0xFA, 0x00})};
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_EQ(boards->Board(0).home[0], 1);
    QStringList expectedCalls;
    for (int n = 1; n <= 12; ++n) {
        expectedCalls << QStringLiteral("SetHomeValue(%1,%2)").arg(n).arg(n)
                      << QStringLiteral("SetChannel(%1,%2,1)").arg(n).arg(n);
    }
    expectedCalls << QStringLiteral("ShowLinkStatus(0)");
    EXPECT_EQ(main.calls, expectedCalls);
    EXPECT_EQ(main.home[13], 45);
}

TEST_F(HomeOnBoards, RegisterOnTwoBoardsReadsBothBack)
{
    main.ids = {0, 1};
    RegisterHome(main);

    const std::vector<Bytes> expected{Frame({0xFB, 0x00}), Frame({0xFB, 0x01}), Frame({0xFA, 0x00}),
                                      Frame({0xFA, 0x01})};
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_EQ(main.home[12], 12);
    EXPECT_EQ(main.home[13], 11);
    EXPECT_EQ(main.home[24], 22);
    EXPECT_EQ(main.value[24], 22);
    EXPECT_EQ(main.Calls(QStringLiteral("SetChannel")).size(), 24);
    EXPECT_EQ(main.linkStatus, 0);
}

TEST_F(HomeOnBoards, FailedRegisterOnOneBoardReadsNothingBack)
{
    main.ids = {0, 7};  // no board answers to 7
    RegisterHome(main);

    const std::vector<Bytes> frames = boards->Frames();
    ASSERT_EQ(frames.size(), 1u + MainRetryCount);
    EXPECT_EQ(frames[0], Frame({0xFB, 0x00}));
    for (size_t i = 1; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], Frame({0xFB, 0x07}));
    EXPECT_EQ(main.calls, QStringList{QStringLiteral("ShowLinkStatus(2)")});
    EXPECT_EQ(main.home[1], 45);
}

TEST_F(HomeOnBoards, GetFromBoardWithoutSecondBoardReadsChannelsOneToTwelveOnly)
{
    main.ids = {0, 255};
    EXPECT_TRUE(GetHomeFromBoard(main));

    EXPECT_EQ(boards->Frames(), std::vector<Bytes>{Frame({0xFA, 0x00})});
    QStringList expectedCalls;
    for (int n = 1; n <= 12; ++n) {
        expectedCalls << QStringLiteral("SetHomeValue(%1,%2)").arg(n).arg(99 + n)
                      << QStringLiteral("ShowChannelValue(%1)").arg(n);
    }
    expectedCalls << QStringLiteral("ShowLinkStatus(0)");
    EXPECT_EQ(main.calls, expectedCalls);
    EXPECT_EQ(main.value[1], 90);  // sliders and value codes stay
    EXPECT_EQ(main.home[13], 45);
}

TEST_F(HomeOnBoards, GetFromBoardReportsTheBoardThatFailed)
{
    main.ids = {7, 1};
    EXPECT_FALSE(GetHomeFromBoard(main));
    EXPECT_EQ(main.home[1], 45);
    EXPECT_EQ(main.home[13], 110);
    EXPECT_EQ(main.linkStatus, 1);
}

class HomeFiles : public HomeOnBoards {
protected:
    void SetUp() override
    {
        HomeOnBoards::SetUp();
        ASSERT_TRUE(dir.isValid());
        main.folder = dir.path();
        main.prompt = &prompt;
    }
    QString Path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    RecordingPrompt prompt;
    THomeDialog dialog;
};

TEST_F(HomeFiles, OpeningAFileWithOnlyChannelOneGivesNinetyElsewhereAndSendsNothingWithSyncOff)
{
    WriteAll(Path(QStringLiteral("one.vpd")), "[HOME_POSITION]\r\nCH1=100\r\n");
    prompt.files = {Path(QStringLiteral("one.vpd"))};
    OpenHomeFile(dialog, main);

    ASSERT_EQ(prompt.fileDialogs.size(), 1u);
    EXPECT_EQ(prompt.fileDialogs[0].title, QStringLiteral("ホームポジションのファイルを開く"));
    EXPECT_EQ(prompt.fileDialogs[0].filter, QStringLiteral("ホームポジション (*.vpd)|*.vpd"));
    EXPECT_EQ(prompt.fileDialogs[0].initial,
              Path(dialog.StartDate().toString(QStringLiteral("yy_MM_dd")) + QStringLiteral("_HOME.vpd")));
    for (int n = 1; n <= 24; ++n) {
        const int v = n == 1 ? 100 : 90;
        EXPECT_EQ(main.home[n], v) << n;
        EXPECT_EQ(main.value[n], v) << n;
        EXPECT_TRUE(main.calls.contains(QStringLiteral("SetChannel(%1,%2,1)").arg(n).arg(v))) << n;
    }
    EXPECT_EQ(main.calls.mid(0, 3),
              (QStringList{QStringLiteral("SetHomeValue(1,100)"), QStringLiteral("ShowChannelValue(1)"),
                           QStringLiteral("SetChannel(1,100,1)")}));
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_TRUE(main.Calls(QStringLiteral("SendBoardPositions")).isEmpty());
    QTest::qWait(50);
    EXPECT_TRUE(boards->Frames().empty());
}

TEST_F(HomeFiles, OpeningWithSyncOnWarnsThenDrivesBothBoardsToTheFile)
{
    QByteArray text = "[HOME_POSITION]\r\n";
    for (int n = 1; n <= 24; ++n)
        text += "CH" + QByteArray::number(n) + "=" + QByteArray::number(60 + n) + "\r\n";
    WriteAll(Path(QStringLiteral("pose.vpd")), text);
    prompt.files = {Path(QStringLiteral("pose.vpd"))};
    main.ids = {0, 1};
    main.sync = true;
    OpenHomeFile(dialog, main);

    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("警告"));
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("ＯＫをクリックするとサーボが動き出すので注意してください！"));
    EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::Ok);
    const std::vector<Bytes> expected{
        Frame({0xFD, 0x00, 0x00, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72}),
        Frame({0xFD, 0x01, 0x00, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84}),
    };
    EXPECT_EQ(boards->Frames(), expected);
    EXPECT_TRUE(main.Calls(QStringLiteral("ShowLinkStatus")).isEmpty());
}

TEST_F(HomeFiles, CancelledOpenChangesNothing)
{
    OpenHomeFile(dialog, main);
    EXPECT_TRUE(main.calls.isEmpty());
    EXPECT_EQ(prompt.dialogs.size(), 1);
}

TEST_F(HomeFiles, UnreadableFileWarnsAndKeepsTheHomePosition)
{
    QDir(dir.path()).mkdir(QStringLiteral("folder.vpd"));
    prompt.files = {Path(QStringLiteral("folder.vpd"))};
    OpenHomeFile(dialog, main);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_TRUE(prompt.boxes[0].text.startsWith(QStringLiteral("ホームポジションのファイルを読み込めませんでした。")));
    EXPECT_TRUE(main.calls.isEmpty());
}

TEST_F(HomeFiles, NewFileHoldsTheSectionAndTwentyFourKeysWithCrLf)
{
    for (int n = 1; n <= 24; ++n)
        main.home[n] = 90;
    prompt.files = {Path(QStringLiteral("new.vpd"))};
    SaveHomeFile(dialog, main);
    EXPECT_EQ(ReadAll(Path(QStringLiteral("new.vpd"))), AllNinety());
    ASSERT_EQ(prompt.fileDialogs.size(), 1u);
    EXPECT_EQ(prompt.fileDialogs[0].title, QStringLiteral("ホームポジションをファイルに保存する"));
    EXPECT_EQ(prompt.fileDialogs[0].filter, QStringLiteral("ホームポジション (*.vpd)|*.vpd"));
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_TRUE(main.calls.isEmpty());
}

TEST_F(HomeFiles, NameWithoutExtensionGetsVpdAndIsRememberedAnotherExtensionIsKept)
{
    main.home[3] = 221;
    prompt.files = {Path(QStringLiteral("pose")), Path(QStringLiteral("pose.txt"))};
    SaveHomeFile(dialog, main);
    EXPECT_TRUE(QFile::exists(Path(QStringLiteral("pose.vpd"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("pose"))));
    EXPECT_TRUE(ReadAll(Path(QStringLiteral("pose.vpd"))).contains("\r\nCH3=221\r\n"));

    SaveHomeFile(dialog, main);
    ASSERT_EQ(prompt.fileDialogs.size(), 2u);
    EXPECT_EQ(prompt.fileDialogs[1].initial, Path(QStringLiteral("pose.vpd")));
    EXPECT_TRUE(QFile::exists(Path(QStringLiteral("pose.txt"))));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("pose.txt.vpd"))));
}

TEST_F(HomeFiles, SavingIntoAnExistingFileReplacesOnlyTheHomeKeys)
{
    WriteAll(Path(QStringLiteral("kept.vpd")),
             "; my robot\r\n[OTHER]\r\nCH1=7\r\n[HOME_POSITION]\r\nCH1=1\r\nNOTE=left arm\r\nCH2=2\r\n");
    for (int n = 1; n <= 24; ++n)
        main.home[n] = 90;
    prompt.files = {Path(QStringLiteral("kept.vpd"))};
    SaveHomeFile(dialog, main);

    QByteArray expected = "; my robot\r\n[OTHER]\r\nCH1=7\r\n[HOME_POSITION]\r\nCH1=90\r\nNOTE=left arm\r\nCH2=90\r\n";
    for (int n = 3; n <= 24; ++n)
        expected += "CH" + QByteArray::number(n) + "=90\r\n";
    EXPECT_EQ(ReadAll(Path(QStringLiteral("kept.vpd"))), expected);
}

TEST_F(HomeFiles, AppendedExtensionOnAnExistingFileAsksFirst)
{
    WriteAll(Path(QStringLiteral("pose.vpd")), "old");
    prompt.files = {Path(QStringLiteral("pose")), Path(QStringLiteral("pose"))};
    prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
    SaveHomeFile(dialog, main);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompt.boxes[0].text, QDir::toNativeSeparators(Path(QStringLiteral("pose.vpd")))
                                        + QStringLiteral(" は既に存在します。\n上書きしますか？"));
    EXPECT_EQ(ReadAll(Path(QStringLiteral("pose.vpd"))), QByteArray("old"));

    SaveHomeFile(dialog, main);
    EXPECT_TRUE(ReadAll(Path(QStringLiteral("pose.vpd"))).startsWith("old\r\n[HOME_POSITION]\r\nCH1=45\r\n"));
}

TEST_F(HomeFiles, SaveThatCannotWriteWarnsAndLeavesWhatWasThere)
{
    prompt.files = {Path(QStringLiteral("no/such/folder/pose.vpd"))};
    SaveHomeFile(dialog, main);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("警告"));
    EXPECT_TRUE(
        prompt.boxes[0].text.startsWith(QStringLiteral("ホームポジションのファイルを保存できませんでした。\n")));
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("no/such/folder/pose.vpd"))));

    // A folder in the file's place: nothing may be put over it or into it.
    QDir(dir.path()).mkpath(QStringLiteral("taken.vpd/inside"));
    prompt.files = {Path(QStringLiteral("taken.vpd"))};
    SaveHomeFile(dialog, main);
    ASSERT_EQ(prompt.boxes.size(), 2u);
    EXPECT_EQ(prompt.boxes[1].icon, PromptIcon::Warning);
    EXPECT_TRUE(QFileInfo(Path(QStringLiteral("taken.vpd/inside"))).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
}

TEST_F(HomeFiles, TheDialogRunsTheChosenOperation)
{
    WriteAll(Path(QStringLiteral("a.vpd")), "[HOME_POSITION]\r\nCH24=12\r\n");
    prompt.files = {Path(QStringLiteral("a.vpd"))};
    WhenModal([this](QWidget *) {
        QTest::mouseClick(dialog.OpenHomeChk, Qt::LeftButton);
        QTest::mouseClick(dialog.HomeOkButton, Qt::LeftButton);
    });
    RunHomeDialog(dialog, main);
    EXPECT_EQ(main.home[24], 12);
    EXPECT_EQ(main.value[24], 12);
}

}  // namespace
