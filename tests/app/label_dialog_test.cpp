#include "fake_main.h"
#include "modal_wait.h"

#include "app/label_dialog.h"
#include "widgets/color_btn.h"
#include "widgets/label2.h"

#include <QApplication>
#include <QCheckBox>
#include <QEnterEvent>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr uint32_t kYellow = 0x00FFFF;  // 0x00BBGGRR
constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

uint32_t Bgr(const QColor &c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

class ColorPresetPrompt : public ScriptedPrompt {
public:
    std::vector<uint32_t> presets;
    bool Color(uint32_t &color) override
    {
        presets.push_back(color);
        return ScriptedPrompt::Color(color);
    }
};

class LabelDialog : public ::testing::Test {
protected:
    void SetUp() override { main.prompt = &prompt; }

    FakeMain main;
    ColorPresetPrompt prompt;
    TLabelDialog dialog;
};

TEST_F(LabelDialog, RowsAreNamedTaggedAndLaidOutLikeTheMainWindow)
{
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ラベルプロパティ"));
    const QString hint = QStringLiteral("ダブルクリックでチャンネルごとの色を設定できます");
    for (int n = 1; n <= 24; ++n) {
        const QString number = QString::number(n);
        auto *row = dialog.findChild<QFrame *>(QStringLiteral("SOUR_") + number);
        auto *label = dialog.findChild<QLabel *>(QStringLiteral("LAB_CH") + number);
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("EDIT_CH") + number);
        ASSERT_TRUE(row && label && edit && dialog.findChild<QCheckBox *>(QStringLiteral("VIS_CH") + number)) << n;
        EXPECT_EQ(row->size(), QSize(137, 24)) << n;
        EXPECT_EQ(label->text(), QStringLiteral("CH") + number);
        EXPECT_EQ(row->toolTip(), hint);
        EXPECT_EQ(label->toolTip(), hint);
        EXPECT_EQ(edit->toolTip(), QStringLiteral("ラベルを設定できます"));
        for (QWidget *w : {static_cast<QWidget *>(row), static_cast<QWidget *>(label), static_cast<QWidget *>(edit)})
            EXPECT_EQ(w->property("tag").toInt(), n) << qPrintable(w->objectName());
        EXPECT_EQ(label->parentWidget(), row);
    }
    auto pos = [&](int n) { return dialog.SOUR[n]->pos(); };
    EXPECT_EQ(pos(7).y(), pos(1).y());
    EXPECT_EQ(pos(7).x(), pos(1).x() + 137);
    EXPECT_EQ(pos(6).y(), pos(1).y() + 5 * 24);
    EXPECT_GE(dialog.Segment->y(), pos(6).y() + 24);
    EXPECT_GE(pos(13).y(), dialog.Segment->geometry().bottom());
    EXPECT_EQ(pos(19).y(), pos(13).y());
    EXPECT_EQ(pos(19).x(), pos(7).x());
    EXPECT_EQ(dialog.Button1->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.Button2->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.HoldCheck->text(), QStringLiteral("HOLD"));
}

TEST_F(LabelDialog, CancelChangesNothingAndTheNextOpeningShowsTheMainWindowAgain)
{
    main.name[4] = QStringLiteral("右肩");
    main.visible[4] = false;
    main.panelColor[4] = kNavy;
    main.nameColor[4] = kWhite;
    prompt.colors = {kYellow};
    WhenModal([this](QWidget *) {
        EXPECT_EQ(dialog.EDIT_CH[4]->text(), QStringLiteral("右肩"));
        EXPECT_FALSE(dialog.VIS_CH[4]->isChecked());
        EXPECT_TRUE(dialog.VIS_CH[5]->isChecked());
        EXPECT_TRUE(dialog.HoldCheck->isChecked());
        dialog.EDIT_CH[4]->setText(QStringLiteral("left"));
        dialog.VIS_CH[5]->setChecked(false);
        dialog.HoldCheck->setChecked(false);
        QTest::mouseDClick(dialog.SOUR[4], Qt::LeftButton);
        EXPECT_EQ(dialog.RowColor(4), kYellow);
        QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    RunLabelDialog(dialog, main);
    EXPECT_TRUE(main.calls.isEmpty());

    WhenModal([this](QWidget *) {
        EXPECT_EQ(dialog.EDIT_CH[4]->text(), QStringLiteral("右肩"));
        EXPECT_TRUE(dialog.VIS_CH[5]->isChecked());
        EXPECT_EQ(dialog.RowColor(4), kNavy);
        EXPECT_EQ(dialog.LabelColor(4), kWhite);
        EXPECT_TRUE(dialog.HoldCheck->isChecked());
        dialog.reject();
    });
    RunLabelDialog(dialog, main);
    EXPECT_TRUE(main.calls.isEmpty());
}

TEST_F(LabelDialog, OkAppliesNamesColoursVisibilityAndHold)
{
    prompt.colors = {kYellow, kNavy};
    WhenModal([this](QWidget *) {
        dialog.EDIT_CH[3]->selectAll();
        QTest::keyClicks(dialog.EDIT_CH[3], QStringLiteral("neck"));
        QTest::mouseClick(dialog.VIS_CH[5], Qt::LeftButton);
        QTest::mouseDClick(dialog.SOUR[2], Qt::LeftButton);
        QTest::mouseDClick(dialog.LAB_CH[9], Qt::LeftButton);
        QTest::mouseClick(dialog.HoldCheck, Qt::LeftButton);
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    });
    RunLabelDialog(dialog, main);

    QStringList expected;
    for (int n = 1; n <= 24; ++n) {
        const QString name = n == 3 ? QStringLiteral("neck") : QStringLiteral("CH%1").arg(n);
        const uint32_t panel = n == 2 ? kYellow : n == 9 ? kNavy : FakeMain::kButtonFace;
        const uint32_t text = n == 9 ? kWhite : kBlack;
        expected << QStringLiteral("SetChannelLook(%1,%2,%3,%4,%5)")
                        .arg(n)
                        .arg(name)
                        .arg(panel, 0, 16)
                        .arg(text, 0, 16)
                        .arg(n == 5 ? 0 : 1);
    }
    expected << QStringLiteral("SetHold(0)");
    EXPECT_EQ(main.calls, expected);
    EXPECT_EQ(prompt.dialogs, (QStringList{QStringLiteral("color"), QStringLiteral("color")}));
}

TEST_F(LabelDialog, ColourDialogStartsAtTheRowColourAndSetsTheContrastTextColour)
{
    dialog.SetPrompt(&prompt);
    dialog.LoadFrom(main);
    prompt.colors = {kYellow, kNavy, kGrey, -1};
    QTest::mouseDClick(dialog.SOUR[1], Qt::LeftButton);
    EXPECT_EQ(dialog.RowColor(1), kYellow);
    EXPECT_EQ(dialog.LabelColor(1), kBlack);
    EXPECT_EQ(Bgr(dialog.SOUR[1]->palette().color(QPalette::Window)), kYellow);
    EXPECT_EQ(Bgr(dialog.LAB_CH[1]->palette().color(QPalette::WindowText)), kBlack);

    QTest::mouseDClick(dialog.LAB_CH[1], Qt::LeftButton);
    EXPECT_EQ(dialog.RowColor(1), kNavy);
    EXPECT_EQ(dialog.LabelColor(1), kWhite);
    EXPECT_EQ(Bgr(dialog.LAB_CH[1]->palette().color(QPalette::WindowText)), kWhite);

    QTest::mouseDClick(dialog.SOUR[24], Qt::LeftButton);
    EXPECT_EQ(dialog.LabelColor(24), kWhite);

    // Cancelled: the row keeps its colour.
    QTest::mouseDClick(dialog.SOUR[1], Qt::LeftButton);
    EXPECT_EQ(dialog.RowColor(1), kNavy);

    const uint32_t face = Bgr(QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(prompt.presets, (std::vector<uint32_t>{face, kYellow, face, kNavy}));
    EXPECT_EQ(dialog.RowColor(2), FakeMain::kButtonFace);  // an untouched row keeps the system colour
}

TEST_F(LabelDialog, NamesAreCutAtTwoHundredFiftyFiveCharacters)
{
    main.name[1] = QString(300, QLatin1Char('x'));
    dialog.LoadFrom(main);
    EXPECT_EQ(dialog.EDIT_CH[1]->text().size(), 255);
    dialog.EDIT_CH[1]->setFocus();
    QTest::keyClicks(dialog.EDIT_CH[1], QStringLiteral("yy"));
    EXPECT_EQ(dialog.EDIT_CH[1]->text().size(), 255);
    dialog.ApplyTo(main);
    EXPECT_EQ(main.name[1], QString(255, QLatin1Char('x')));
}

}  // namespace
