// The windows the main window opens: joining on a button, the three ways of opening, channel looks and
// settings, and the windows the program builds wired to their buttons.

#include "main_form_fixture.h"
#include "modal_wait.h"

#include "app/main_windows.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <memory>

namespace {

struct Looks : ChannelLookListener {
    void ChannelLookChanged(int channel, const QString &name, uint32_t, uint32_t) override
    {
        seen << QStringLiteral("%1 %2").arg(channel).arg(name);
    }
    QStringList seen;
};

}  // namespace

TEST_F(MainFormTest, AWindowJoinsOnItsButtonAndOpensModallyShownOrThroughItsSequence)
{
    auto form = Open(QString());
    WindowRegistry &windows = form->Windows();
    for (QToolButton *b : {form->MOTION_FILE_BTN, form->OPTION_BTN, form->OptionMenu3, form->INFO_BTN, form->SHOT_BTN,
                           form->ADDITEM_BTN})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(windows.Open(form->OPTION_BTN));

    // A dialog runs modally on a click.
    QDialog options(form.get());
    windows.Join(form->OPTION_BTN, &options);
    EXPECT_TRUE(form->OPTION_BTN->isEnabled());
    QWidget *modal = nullptr;
    WhenModal([&](QWidget *w) {
        modal = w;
        options.reject();
    });
    form->OPTION_BTN->click();
    EXPECT_EQ(modal, &options);

    // An opening sequence replaces the modal run; further buttons come alive with the window.
    QDialog teaching(form.get());
    int opened = 0;
    windows.Join(form->SHOT_BTN, &teaching).Opening([&] { ++opened; }).AlsoEnables(form->ADDITEM_BTN);
    form->SHOT_BTN->click();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(teaching.isVisible());
    EXPECT_TRUE(form->ADDITEM_BTN->isEnabled());

    // Any other window is shown and hidden; a second join on the button takes the first one's place.
    QWidget first, second;
    windows.Join(form->INFO_BTN, &first);
    windows.Join(form->INFO_BTN, &second);
    form->INFO_BTN->click();
    EXPECT_TRUE(second.isVisible());
    EXPECT_FALSE(first.isVisible());
    form->INFO_BTN->click();
    EXPECT_FALSE(second.isVisible());
}

TEST_F(MainFormTest, JoinedWindowsFollowChannelLooksAndKeepTheirSettingsWhileTheyLive)
{
    auto form = Open(QString());
    WindowRegistry &windows = form->Windows();
    Looks looks;
    auto propo = std::make_unique<QDialog>();
    int kept = 0;
    windows.Join(form->OptionMenu3, propo.get()).Looks(&looks).KeepSettings([&](orvane::MainSettings &s) {
        ++kept;
        s.graphWidth = 321;
    });
    ASSERT_EQ(looks.seen.size(), 24);
    looks.seen.clear();
    form->SetChannelLook(7, QStringLiteral("Elbow"), 0x0000FF, 0, true);
    EXPECT_EQ(looks.seen, QStringList{QStringLiteral("7 Elbow")});

    form->SaveSettings();
    EXPECT_EQ(kept, 1);
    EXPECT_TRUE(IniBytes().contains("GraphWidth=321\r\n"));
    EXPECT_EQ(windows.Find<QDialog>(), propo.get());

    // A destroyed window is neither opened, found nor asked for its keys.
    propo.reset();
    EXPECT_FALSE(windows.Open(form->OptionMenu3));
    EXPECT_EQ(windows.Find<QDialog>(), nullptr);
    form->SaveSettings();
    EXPECT_EQ(kept, 1);
}

TEST_F(MainFormTest, TheProgramsWindowsOpenFromTheirButtonsAndHandOverToTheMainWindow)
{
    auto form = Open(QString());
    MainWindows windows(*form);
    for (QToolButton *b :
         {form->GRID_BTN, form->GRAPH_BTN, form->HOME_BTN, form->SpeedButton1, form->ADDITEM_BTN, form->SpeedButton3,
          form->OPTION_BTN, form->INFO_BTN, form->SHOT_BTN, form->OptionMenu3, form->MOTION_FILE_BTN})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();

    // The transmitter button runs the assignment window modally.
    QWidget *shown = nullptr;
    WhenModal([&](QWidget *w) {
        shown = w;
        w->close();
    });
    form->OptionMenu3->click();
    EXPECT_EQ(shown, &windows.propo);

    form->GRID_BTN->click();
    EXPECT_TRUE(windows.motion.isVisible());
    EXPECT_FALSE(windows.graph.isVisible());
    form->GRAPH_BTN->click();
    EXPECT_TRUE(windows.graph.isVisible());
    form->GRID_BTN->click();
    EXPECT_FALSE(windows.motion.isVisible());

    emit windows.motion.DataNameHandedOver(QStringLiteral("bow"));
    EXPECT_EQ(form->DATA_NAME->text(), QStringLiteral("bow"));
    emit windows.motion.SpeedHandedOver(3);
    EXPECT_TRUE(form->SPD_BTN[3]->isChecked());
    EXPECT_EQ(form->Speed(), 3);
    emit windows.motion.SpeedHandedOver(8);
    EXPECT_EQ(form->Speed(), 3);

    windows.graph.move(50, 60);
    form->SaveSettings();
    EXPECT_TRUE(IniBytes().contains("GraphView=1\r\nGraphTop=60\r\nGraphLeft=50\r\n")) << IniBytes().constData();
    EXPECT_TRUE(IniBytes().contains("ListView=0\r\n"));
}

TEST_F(MainFormTest, TheScenarioButtonShowsTheEditorModallyAndClosingKeepsItsLists)
{
    auto form = Open(QString());
    MainWindows windows(*form);
    ASSERT_TRUE(form->MOTION_FILE_BTN->isEnabled());
    windows.scenario.Scenario()->Append({QStringLiteral("M3"), QStringLiteral("walk")});
    for (int opening = 0; opening < 2; ++opening) {
        QWidget *shown = nullptr;
        WhenModal([&](QWidget *w) {
            shown = w;
            windows.scenario.reject();
        });
        form->MOTION_FILE_BTN->click();
        EXPECT_EQ(shown, &windows.scenario);
        EXPECT_EQ(windows.scenario.FILE_COUNT_LABEL->text(), QStringLiteral("DATA > 1"));
    }
}
