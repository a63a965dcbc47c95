// The main window without boards: ORV.ini in and out, placement, desktops, dragging, closing.

#include "main_form_fixture.h"

#include "app/main_windows.h"
#include "app/panel_layout.h"
#include "app/program_places.h"
#include "textfile/code_page.h"
#include "widgets/input_dialog.h"
#include "widgets/qt_translation.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QTranslator>

namespace {

// Also keeps the prompt text and the preset value of each input box.
class InputRecordingPrompt : public ScriptedPrompt {
public:
    QStringList prompts, presets;
    bool Input(const QString &caption, const QString &text, QString &value) override
    {
        prompts << text;
        presets << value;
        return ScriptedPrompt::Input(caption, text, value);
    }
};

class Looks : public ChannelLookListener {
public:
    QStringList seen;
    void ChannelLookChanged(int channel, const QString &name, uint32_t panel, uint32_t text) override
    {
        seen << QStringLiteral("%1 %2 %3 %4")
                    .arg(channel)
                    .arg(name)
                    .arg(panel, 6, 16, QLatin1Char('0'))
                    .arg(text, 6, 16, QLatin1Char('0'));
    }
};

QPoint At(const TMainForm &form, int panel) { return form.PANEL[panel]->pos(); }

}  // namespace

TEST_F(MainFormTest, WithoutOrvIniEveryControlShowsItsDefault)
{
    auto form = Open(QString());
    EXPECT_TRUE(prompt.boxes.empty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Orvane Ver1.4"));
    EXPECT_EQ(form->size(), QSize(508, 498));
    EXPECT_EQ(form->ChannelArea->size(), QSize(508, 343));

    for (const char *name :
         {"CommPort",  "Desktop",    "DATA_NAME",   "SYNC_MODE",    "RadioButton2", "SPD_BTN_0",
          "SPD_BTN_7", "CH24_LAB",   "CH24_SYNC",   "CH24_CAPTION", "CH24_BAR",     "CH24_MODE",
          "PANEL_24",  "Segment",    "TRACK1_BTN",  "TRACK4_BTN",   "RITV_ON",      "RITV_OFF",
          "SHOT_BTN",  "SETPOS_BTN", "GETPOS_BTN",  "NOW_BTN",      "SLEEP_BTN",    "DEFAULT_BTN",
          "GRID_BTN",  "GRAPH_BTN",  "ADDITEM_BTN", "SpeedButton3", "MONTER",       "MOTION_FILE_BTN",
          "HOME_BTN",  "OPTION_BTN", "OptionMenu3", "SpeedButton1", "INFO_BTN",     "EXIT_BTN"})
        EXPECT_NE(form->findChild<QWidget *>(QLatin1String(name)), nullptr) << name;

    for (int n = 1; n <= 24; ++n) {
        EXPECT_EQ(form->ChannelName(n), QStringLiteral("CH%1").arg(n));
        EXPECT_EQ(form->PanelColor(n), 0x8000000Fu);
        EXPECT_TRUE(form->PanelVisible(n));
        EXPECT_EQ(form->HomeValue(n), 90);
        EXPECT_EQ(form->ValueCode(n), 90);
        EXPECT_EQ(form->CH_CAPTION[n]->text(), QStringLiteral("90"));
        EXPECT_EQ(form->CH_BAR[n]->value(), 90);
        EXPECT_EQ(form->CH_MODE[n]->currentText(), QStringLiteral("PWM"));
        EXPECT_EQ(form->CH_MODE[n]->count(), 7);
        EXPECT_EQ(At(*form, n), QPoint(orvane::BuiltInPanelPos(n).left, orvane::BuiltInPanelPos(n).top));
    }
    EXPECT_EQ(At(*form, 0), QPoint(0, 170));
    EXPECT_EQ(form->PANEL[1]->size(), QSize(254, 24));
    EXPECT_EQ(form->BoardId(0), 0);
    EXPECT_EQ(form->BoardId(1), 255);
    ASSERT_EQ(form->Desktop->count(), 11);
    EXPECT_EQ(form->Desktop->itemText(0), QStringLiteral("標準"));
    EXPECT_EQ(form->Desktop->itemText(10), QStringLiteral("Pattern10"));
    EXPECT_EQ(form->SelectedDesktop(), 0);
    ASSERT_EQ(form->CommPort->count(), 31);
    EXPECT_EQ(form->CommPort->currentText(), QStringLiteral("OFF"));
    EXPECT_EQ(form->CommPort->itemText(30), QStringLiteral("COM30"));
    EXPECT_EQ(form->CommPort->itemData(11, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyACM0"));
    EXPECT_EQ(form->CommPort->itemData(30, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyS9"));
    EXPECT_EQ(form->Speed(), 7);
    EXPECT_TRUE(form->SPD_BTN[7]->isChecked());
    EXPECT_FALSE(form->SyncMode());
    EXPECT_TRUE(form->RITV_OFF->isChecked());
    EXPECT_TRUE(form->Hold());
    EXPECT_EQ(form->DATA_NAME->text(), QStringLiteral("DATA"));
    EXPECT_EQ(form->StatusField(0), QStringLiteral("デフォルト"));
    EXPECT_EQ(form->StatusField(1), QStringLiteral("CH1 - CH12 >"));
    EXPECT_EQ(form->StatusField(3), QString());
    EXPECT_EQ(form->HOME_BTN->toolTip(), QStringLiteral("ホームポジション"));
    EXPECT_EQ(form->CH_LAB[5]->toolTip(), QStringLiteral("ダブルクリックでラベルを変更できます"));
    EXPECT_EQ(form->SPD_BTN[2]->toolTip(), QStringLiteral("補間速度"));
    // Windows that are not there yet: present and disabled.
    for (QToolButton *b : {form->SHOT_BTN, form->GRID_BTN, form->GRAPH_BTN, form->ADDITEM_BTN, form->SpeedButton3,
                           form->OPTION_BTN, form->MOTION_FILE_BTN, form->OptionMenu3, form->INFO_BTN})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(form->SETPOS_BTN->isEnabled());
}

TEST_F(MainFormTest, OnlyPortsOneToTenAreRestoredAndOthersShowOffSilently)
{
    auto form = Open(QStringLiteral("CommPort=11\n"));
    EXPECT_EQ(form->CommPort->currentText(), QStringLiteral("OFF"));
    EXPECT_TRUE(prompt.boxes.empty());
}

TEST_F(MainFormTest, SavingKeepsUnknownKeysAndSectionsAndWritesWhatTheWindowHolds)
{
    WriteIni("[Mine]\r\nfoo=bar\r\n[Orvane]\r\nUnknown=1\r\nCH13-24ID=3\r\nListWidth=640\r\n"
             "[Ports]\r\nCOM2=/dev/ttyX\r\n");
    prompt.boxes.clear();
    auto form = std::make_unique<TMainForm>(dir.path(), prompt);
    EXPECT_EQ(form->BoardId(1), 3);
    form->SetChannelLook(3, QStringLiteral("膝"), 0x0000FF, 0xFFFFFF, false);
    form->SetHomeValue(24, 12);
    form->Desktop->setCurrentIndex(2);
    form->DesktopCloseUp();
    form->SaveSettings();

    const QString text = orvane::DecodeText(IniBytes());
    for (const char *line :
         {"[Mine]\r\nfoo=bar\r\n", "Unknown=1\r\n", "[Ports]\r\nCOM2=/dev/ttyX", "CH13-24ID=3\r\n", "ListWidth=640\r\n",
          "ServoName3=膝\r\nPanelColor3=255\r\nPanelView3=0\r\n", "PanelColor4=-2147483633\r\n", "PanelList=2\r\n",
          "PanelName2=Pattern2\r\n", "PanelTop10_24=294\r\n", "HomePos_24=12\r\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
    EXPECT_LT(text.indexOf(QStringLiteral("Check=OK")), text.indexOf(QStringLiteral("CommPort=0")));

    auto again = std::make_unique<TMainForm>(dir.path(), prompt);
    EXPECT_EQ(again->ChannelName(3), QStringLiteral("膝"));
    EXPECT_FALSE(again->PanelVisible(3));
    EXPECT_EQ(again->SelectedDesktop(), 2);
    EXPECT_EQ(again->HomeValue(24), 12);
}

TEST_F(MainFormTest, AFolderThatCannotBeWrittenWarnsAtStartAndAtEveryCloseRequest)
{
    prompt.answers = {PromptAnswer::Ok, PromptAnswer::Ok, PromptAnswer::No};
    TMainForm form(QDir(dir.path()).filePath(QStringLiteral("gone")), prompt);
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Warning);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("警告"));
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("書込の出来るドライブにOrvaneをコピーしてください！"));

    EXPECT_FALSE(form.FormClose());
    ASSERT_EQ(prompt.boxes.size(), 3u);
    EXPECT_EQ(prompt.boxes[1].text, QStringLiteral("書込の出来るドライブにOrvaneをコピーしてください！"));
    EXPECT_EQ(prompt.boxes[2].text, QStringLiteral("終了してよろしいですか？"));
    EXPECT_FALSE(QDir(dir.path()).exists(QStringLiteral("gone")));
}

TEST_F(MainFormTest, SavedPlaceIsTakenOnlyInsideTheScreen)
{
    auto form = Open(QStringLiteral("MainTop=0\nMainLeft=0\n"));
    EXPECT_EQ(form->pos(), QPoint(0, 0));

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    form = Open(QStringLiteral("MainTop=%1\nMainLeft=5\n").arg(screen.height() - 10));
    const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form->pos(), QPoint(desk.left() + (desk.width() - 508) / 2, desk.top() + (desk.height() - 498) / 2));

    form = Open(QStringLiteral("MainTop=%1\nMainLeft=7\n").arg(screen.height() - 11));
    EXPECT_EQ(form->pos(), QPoint(7, screen.height() - 11));
}

TEST_F(MainFormTest, PanelsDragOnlyWithHoldOffOnNamedDesktopsAndStayInsideTheArea)
{
    auto form = Open(QString());
    QWidget *panel7 = form->PANEL[7];
    auto drag = [&](QWidget *w, QPoint from, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        SendMouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, mods);
        SendMouse(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, mods);
        SendMouse(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, mods);
    };

    form->Desktop->setCurrentIndex(2);
    form->DesktopCloseUp();
    drag(panel7, QPoint(10, 10), QPoint(10, -40));
    EXPECT_EQ(At(*form, 7), QPoint(254, 26)) << "HOLD is on";

    form->SetHold(false);
    drag(panel7, QPoint(10, 10), QPoint(400, -100));
    EXPECT_EQ(At(*form, 7), QPoint(254, 0));
    EXPECT_EQ(form->DesktopLayoutOf(2)[7], (orvane::PanelPos{254, 0}));
    drag(form->Segment, QPoint(1, 1), QPoint(-30, 500));
    EXPECT_EQ(At(*form, 0), QPoint(0, 339));
    drag(panel7, QPoint(10, 10), QPoint(0, 30), Qt::ShiftModifier);
    EXPECT_EQ(At(*form, 7), QPoint(254, 0)) << "a key held";

    // Grabbed by its name label: label coordinates count from the panel's corner.
    drag(form->CH_LAB[1], QPoint(5, 5), QPoint(25, 15));
    EXPECT_EQ(At(*form, 1), QPoint(20, 36));
    EXPECT_EQ(form->ChannelArea->children().last(), form->PANEL[1]);

    form->Desktop->setCurrentIndex(0);
    form->DesktopCloseUp();
    EXPECT_EQ(At(*form, 7), QPoint(254, 26));
    drag(panel7, QPoint(10, 10), QPoint(10, 40));
    EXPECT_EQ(At(*form, 7), QPoint(254, 26)) << "Standard cannot change";
    form->Desktop->setCurrentIndex(2);
    form->DesktopCloseUp();
    EXPECT_EQ(At(*form, 7), QPoint(254, 0));
    EXPECT_EQ(form->DesktopLayoutOf(1)[7], orvane::BuiltInPanelPos(7));
}

TEST_F(MainFormTest, APanelListOutsideTheDesktopsSelectsNoneAndDraggingStoresNothing)
{
    auto form = Open(QStringLiteral("PanelList=42\nPanelLeft3_7=0\nPanelTop3_7=0\n"));
    EXPECT_EQ(form->SelectedDesktop(), -1);
    EXPECT_EQ(At(*form, 7), QPoint(254, 26));
    form->SetHold(false);
    SendMouse(form->PANEL[7], QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    SendMouse(form->PANEL[7], QEvent::MouseMove, QPoint(50, 50), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(At(*form, 7), QPoint(254, 26));
    for (int d = 1; d <= 10; ++d) {
        if (d == 3)
            continue;
        EXPECT_EQ(form->DesktopLayoutOf(d), orvane::BuiltInLayout()) << d;
    }
    form->DesktopContextPopup();
    EXPECT_TRUE(prompt.dialogs.isEmpty());
}

TEST_F(MainFormTest, DesktopRenameTakesAnyTextIncludingEmptyAndNeverTouchesStandard)
{
    InputRecordingPrompt input;
    WriteIni("[Orvane]\r\nPanelList=3\r\n");
    TMainForm form(dir.path(), input);

    input.inputs = {QString(), QStringLiteral("")};
    form.DesktopContextPopup();
    EXPECT_EQ(form.Desktop->itemText(3), QStringLiteral("Pattern3")) << "cancelled";
    form.DesktopContextPopup();
    EXPECT_EQ(input.dialogs,
              (QStringList{QStringLiteral("DESKTOPの名称を入力する"), QStringLiteral("DESKTOPの名称を入力する")}));
    EXPECT_EQ(input.prompts.last(), QStringLiteral("現在の配置の名称を入力してください"));
    EXPECT_EQ(input.presets.last(), QStringLiteral("Pattern3"));
    EXPECT_EQ(form.Desktop->itemText(3), QString());
    EXPECT_EQ(form.SelectedDesktop(), 3);

    form.Desktop->setCurrentIndex(0);
    input.inputs = {QStringLiteral("never")};
    form.DesktopContextPopup();
    EXPECT_EQ(input.dialogs.size(), 2);

    form.SaveSettings();
    EXPECT_TRUE(IniBytes().contains("\r\nPanelName3=\r\nPanelLeft3_0="));
}

TEST_F(MainFormTest, ExitAnsweredNoKeepsRunningWithOrvIniAlreadyWritten)
{
    auto form = Open(QString());
    form->show();
    form->SetHomeValue(1, 33);
    prompt.answers = {PromptAnswer::No};
    form->EXIT_BTN->click();

    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("確認"));
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("終了してよろしいですか？"));
    EXPECT_EQ(prompt.boxes[0].buttons, PromptButtons::YesNo);
    EXPECT_TRUE(IniBytes().startsWith("[Orvane]\r\nCheck=OK\r\n"));
    EXPECT_TRUE(IniBytes().contains("HomePos_1=33\r\n"));

    CreateSerialPort(nullptr);
    prompt.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(SerialPort, nullptr);
}

TEST_F(MainFormTest, ChannelLooksReachEveryListenerAndLabelsTakeTheContrastColour)
{
    auto form = Open(QStringLiteral("PanelColor1=65535\nPanelColor2=8388608\nServoName2=Hip\n"));
    EXPECT_EQ(form->NameColor(1), 0x000000u);
    EXPECT_EQ(form->NameColor(2), 0xFFFFFFu);
    EXPECT_EQ(form->CH_LAB[2]->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(form->PANEL[1]->palette().color(QPalette::Window), QColor(255, 255, 0));

    Looks looks;
    form->AddChannelLookListener(&looks);
    ASSERT_EQ(looks.seen.size(), 24);
    EXPECT_EQ(looks.seen[1], QStringLiteral("2 Hip 800000 ffffff"));

    looks.seen.clear();
    form->SetChannelLook(5, QStringLiteral("Neck"), 0x00FF00, 0x000000, false);
    EXPECT_EQ(looks.seen, QStringList{QStringLiteral("5 Neck 00ff00 000000")});
    EXPECT_EQ(form->CH_LAB[5]->text(), QStringLiteral("Neck"));
    EXPECT_TRUE(form->PANEL[5]->isHidden());
    EXPECT_EQ(form->PanelColor(5), 0x00FF00u);
}

TEST_F(MainFormTest, CurrentValuesGoIntoTheMotionEditorAddedOrOverwrittenAfterTheQuestion)
{
    auto form = Open(QString());
    MainWindows windows(*form);
    TMotionForm &motion = windows.motion;
    EXPECT_TRUE(form->ADDITEM_BTN->isEnabled());
    EXPECT_TRUE(form->SpeedButton3->isEnabled());

    form->DATA_NAME->setText(QStringLiteral("wave"));
    form->SPD_BTN[2]->click();
    form->SetChannel(24, 221, orvane::ChannelSource::User);
    form->ADDITEM_BTN->click();
    for (int i = 0; i < 3; ++i)
        form->AddCurrentPosition();
    ASSERT_EQ(motion.RowCount(), 4);
    const QAbstractItemModel *rows = motion.PosList->model();
    EXPECT_EQ(rows->index(0, 0).data().toString(), QStringLiteral("1"));
    EXPECT_EQ(rows->index(0, 1).data().toString(), QStringLiteral("wave"));
    EXPECT_EQ(rows->index(0, 2).data().toString(), QStringLiteral("2"));
    EXPECT_EQ(rows->index(0, 26).data().toString(), QStringLiteral("221"));

    form->SpeedButton3->click();
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("変更したいポジションデータを選択してください"));

    motion.PosList->selectionModel()->select(rows->index(2, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form->DATA_NAME->setText(QStringLiteral("bow"));
    prompt.answers = {PromptAnswer::No, PromptAnswer::Yes};
    form->SpeedButton3->click();
    EXPECT_EQ(prompt.boxes[1].text, QStringLiteral("3個目に上書きしますがよろしいですか？"));
    EXPECT_EQ(prompt.boxes[1].buttons, PromptButtons::YesNo);
    EXPECT_EQ(rows->index(2, 1).data().toString(), QStringLiteral("wave"));

    motion.PosList->selectionModel()->select(rows->index(0, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form->SpeedButton3->click();
    EXPECT_EQ(prompt.boxes[2].text, QStringLiteral("複数の項目に上書きしますがよろしいですか？"));
    EXPECT_EQ(rows->index(0, 1).data().toString(), QStringLiteral("bow"));
    EXPECT_EQ(rows->index(2, 1).data().toString(), QStringLiteral("bow"));
    EXPECT_EQ(rows->index(2, 0).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(rows->index(1, 1).data().toString(), QStringLiteral("wave"));
}

// A recording hands over many poses at once; they are one undo step in the motion editor.
TEST_F(MainFormTest, PosesHandedOverTogetherAreAppendedAsOneUndoStep)
{
    auto form = Open(QString());
    MainWindows windows(*form);
    TMotionForm &motion = windows.motion;
    form->DATA_NAME->setText(QStringLiteral("rec"));
    form->SPD_BTN[3]->click();
    form->AddCurrentPosition();
    QList<QStringList> poses;
    for (int p = 0; p < 3; ++p) {
        QStringList values;
        for (int n = 1; n <= 24; ++n)
            values << QString::number(n == 5 ? 100 + p : 90);
        poses << values;
    }
    form->AddPositions(poses);
    ASSERT_EQ(motion.RowCount(), 4);
    const QAbstractItemModel *rows = motion.PosList->model();
    EXPECT_EQ(rows->index(3, 0).data().toString(), QStringLiteral("4"));
    EXPECT_EQ(rows->index(3, 1).data().toString(), QStringLiteral("rec"));
    EXPECT_EQ(rows->index(3, 2).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(rows->index(3, 7).data().toString(), QStringLiteral("102"));

    motion.UNDO_MENU->trigger();
    EXPECT_EQ(motion.RowCount(), 1) << "the three recorded rows go in one step, the single add stays";
    motion.REDO_MENU->trigger();
    EXPECT_EQ(motion.RowCount(), 4);
}

TEST_F(MainFormTest, ClosingAsksAboutMotionDataFirstOnlyWhenThereIsSome)
{
    auto form = Open(QString());
    MainWindows windows(*form);
    TMotionForm &motion = windows.motion;
    prompt.answers = {PromptAnswer::No};
    EXPECT_FALSE(form->FormClose());
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("終了してよろしいですか？"));

    form->AddCurrentPosition();
    prompt.boxes.clear();
    prompt.answers = {PromptAnswer::No, PromptAnswer::No};
    EXPECT_FALSE(form->FormClose());
    ASSERT_EQ(prompt.boxes.size(), 2u);
    EXPECT_EQ(prompt.boxes[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("確認"));
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("現在のモーションデータを保存しますか？"));
    EXPECT_EQ(prompt.boxes[1].text, QStringLiteral("終了してよろしいですか？"));
    EXPECT_TRUE(prompt.dialogs.isEmpty()) << "No saves nothing";

    // The editor's placement is what goes into ORV.ini.
    motion.move(30, 40);
    motion.show();
    form->SaveSettings();
    EXPECT_TRUE(IniBytes().contains("ListView=1\r\nListTop=40\r\nListLeft=30\r\n"));
}

TEST_F(MainFormTest, OptionsTeachingAndVersionBoxJoinTheirButtonsAndIdsReachOrvIni)
{
    auto form = Open(QStringLiteral("CH1-12ID=2\nCH13-24ID=6\nServoName4=肘\nTeachStillTime=1500\nTeachRecTol=9"));
    MainWindows windows(*form);
    // Teaching by hand comes back as it was left, in the boxes and in what the session works with.
    EXPECT_DOUBLE_EQ(windows.teaching.STILL_TIME->value(), 1.5);
    EXPECT_EQ(windows.teaching.STILL_DEG->value(), 3);
    EXPECT_EQ(windows.teaching.Session().Tolerance(), 9);
    windows.teaching.STILL_DEG->setValue(12);
    EXPECT_TRUE(form->OPTION_BTN->isEnabled());
    EXPECT_TRUE(form->SHOT_BTN->isEnabled());
    EXPECT_TRUE(form->INFO_BTN->isEnabled());
    EXPECT_EQ(windows.options.CH_TRIM_LAB[4]->text(), QStringLiteral("肘"));
    EXPECT_EQ(windows.teaching.THC[4]->text(), QStringLiteral("肘"));
    EXPECT_EQ(windows.options.ID_BOX1->currentText(), QStringLiteral("2"));

    windows.options.ID_BOX2->setCurrentIndex(0);
    emit windows.options.ID_BOX2->activated(0);
    EXPECT_EQ(form->BoardId(1), 255);
    windows.teaching.SPD_LIST->setCurrentIndex(4);
    emit windows.teaching.SPD_LIST->activated(4);
    EXPECT_EQ(form->Speed(), 4);
    EXPECT_TRUE(form->SPD_BTN[4]->isChecked());
    form->SaveSettings();
    const QString text = orvane::DecodeText(IniBytes());
    EXPECT_TRUE(text.contains(QStringLiteral("CH1-12ID=2\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("CH13-24ID=255\r\n")));
    for (const char *line : {"TeachStillTime=1500\r\n", "TeachStillDeg=12\r\n", "TeachRecTol=9\r\n"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(line))) << line;
}

TEST(ProgramPlaces, AWritableFolderKeepsEverythingAndAnUnwritableOneMovesToXdgConfig)
{
    QTemporaryDir program, home, config;
    orvane::ProgramPlaces places = orvane::ResolveProgramPlaces(program.path(), config.path(), home.path());
    EXPECT_EQ(places.settingsFolder, program.path());
    EXPECT_EQ(places.startFolder, program.path());

    const QString missing = QDir(program.path()).filePath(QStringLiteral("gone"));
    places = orvane::ResolveProgramPlaces(missing, config.path(), home.path());
    EXPECT_EQ(places.settingsFolder, QDir(config.path()).filePath(QStringLiteral("orvane")));
    EXPECT_TRUE(QFileInfo(places.settingsFolder).isDir());
    EXPECT_EQ(places.startFolder, home.path());

    places = orvane::ResolveProgramPlaces(missing, QStringLiteral("relative/path"), home.path());
    EXPECT_EQ(places.settingsFolder, QDir(home.path()).filePath(QStringLiteral(".config/orvane")));
}

// A board slow enough that a clear of 100 rows lasts a few seconds.
class MainFormSlowBoard : public MainFormBoards<911> {
protected:
    static void SetUpTestSuite()
    {
        orvane::sim::Options options;
        options.ids = {0};
        options.replyDelayMs = 15;
        OpenBoards(options);
    }
};

TEST_F(MainFormSlowBoard, ACloseRequestDuringATransferWaitsForItsEndAndTheOtherWindowsGoWithTheMainWindow)
{
    auto form = Open("CH1-12ID=0\nCH13-24ID=255\n");
    MainWindows windows(*form);
    TMotionForm &motion = windows.motion;
    form->show();
    motion.show();
    windows.graph.show();
    boards->EditBoard(0, [](orvane::sim::BoardMemory &m) {
        m.mode = 1;
        m.motionLengths[5] = 12;
    });
    QSignalSpy closed(form.get(), &TMainForm::Closed);

    bool visibleAfterRequest = false;
    bool openAfterRequest = false;
    bool runningAtRequest = false;
    QTimer::singleShot(150, [&] {
        runningAtRequest = motion.TransferRunning();
        form->close();
        visibleAfterRequest = form->isVisible();
        openAfterRequest = SerialPort && SerialPort->IsOpen();
    });
    prompt.answers = {PromptAnswer::Yes, PromptAnswer::Cancel};
    motion.MOTION_NUM->setCurrentIndex(5);
    motion.MOT_FORMAT_BTN->click();

    ASSERT_TRUE(runningAtRequest) << "the request must fall inside the transfer";
    EXPECT_TRUE(visibleAfterRequest);
    EXPECT_TRUE(openAfterRequest);
    // The refusal is a box that does not wait: a box waiting for its OK would hold the transfer still.
    ASSERT_EQ(prompt.notices.size(), 1u);
    EXPECT_EQ(prompt.notices[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.notices[0].text, QStringLiteral("ボードとの通信中です。通信が終わってから終了してください"));
    ASSERT_EQ(prompt.boxes.size(), 2u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("指定のモーションデータを消去しますか？"));
    EXPECT_EQ(prompt.boxes[1].text, QStringLiteral("消去が完了いたしました\r\nＯＫを押すとスリープを解除します"));
    EXPECT_EQ(boards->Board(0).motionLengths[5], 0) << "the clear ran to its end";
    EXPECT_EQ(closed.count(), 0);

    // Once the transfer has ended the request is acted on, and the other windows go too.
    prompt.boxes.clear();
    prompt.answers = {PromptAnswer::Yes};
    form->close();
    ASSERT_EQ(prompt.boxes.size(), 1u);
    EXPECT_EQ(prompt.boxes[0].text, QStringLiteral("終了してよろしいですか？"));
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(motion.isVisible());
    EXPECT_FALSE(windows.graph.isVisible());
    EXPECT_EQ(closed.count(), 1);
}

// Every status text shows whole, in both languages, also with the Japanese font.
TEST_F(MainFormTest, StatusFieldsHoldTheirLongestTextsInBothLanguages)
{
    const QStringList texts[3] = {
        {"スリープ", "デフォルト", "教示", "Sleep", "Default", "Teaching"},
        {"CH1 - CH12 > 通信成功", "CH1 - CH12 > 通信失敗", "CH1 - CH12 > Success", "CH1 - CH12 > Fault"},
        {"CH13 - CH24 > 通信成功", "CH13 - CH24 > 通信失敗", "CH13 - CH24 > Success", "CH13 - CH24 > Fault"},
    };
    const QFont original = QApplication::font();
    for (const QString &family : {QString(), QStringLiteral("IPAGothic")}) {
        if (!family.isEmpty())
            QApplication::setFont(QFont(family, 10));
        auto form = Open(QString());
        for (int field = 0; field < 3; ++field) {
            auto *label = form->findChild<QLabel *>(QStringLiteral("MONTER_%1").arg(field));
            ASSERT_NE(label, nullptr);
            const QFontMetrics metrics(label->font());
            const int room = label->contentsRect().width() - metrics.horizontalAdvance(u'x') / 2;
            for (const QString &text : texts[field])
                EXPECT_LE(metrics.horizontalAdvance(text), room) << qPrintable(family + ": " + text);
        }
    }
    QApplication::setFont(original);
}

// Qt's own dialogs and buttons take the program's language from Qt's translation.
TEST(QtTranslation, StandardDialogsAndButtonsSpeakJapanese)
{
    EXPECT_EQ(InstallQtTranslation(*qApp, 1), nullptr) << "English needs none";
    QTranslator *translator = InstallQtTranslation(*qApp, 0);
    ASSERT_NE(translator, nullptr);
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    const QString cancel = QString(box.button(QDialogButtonBox::Cancel)->text()).remove(u'&');
    TInputDialog input(QStringLiteral("C"), QStringLiteral("P"), QString());
    const QString inputCancel = QString(input.CancelButton()->text()).remove(u'&');
    const QString saveAs = QCoreApplication::translate("QFileDialog", "Save As");
    const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
    const QString color = QCoreApplication::translate("QColorDialog", "Select Color");
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(cancel, QStringLiteral("キャンセル"));
    EXPECT_EQ(inputCancel, cancel) << "the input dialog's buttons too";
    EXPECT_EQ(saveAs, QStringLiteral("名前を付けて保存"));
    EXPECT_EQ(lookIn, QStringLiteral("アドレス:"));
    EXPECT_EQ(color, QStringLiteral("色を選択"));
}
