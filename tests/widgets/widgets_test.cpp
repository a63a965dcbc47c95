// The shared widgets: colour button, mouse-reporting label, the real prompt's dialogs and the input dialog.

#include "modal_wait.h"

#include "widgets/color_btn.h"
#include "widgets/input_dialog.h"
#include "widgets/label2.h"
#include "widgets/progress.h"
#include "widgets/qt_prompt.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

TEST(SharedWidgets, ColourButtonPaintsItsFaceFrameAndCaptionColour)
{
    TColorBtn button(QStringLiteral("W"));
    button.resize(25, 25);
    button.SetColor(Qt::red);
    button.SetFontColor(Qt::white);
    button.SetEdge(TColorBtn::Edge::None);
    button.SetFrameColor(Qt::blue);
    QImage image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(24, 24), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::red));
    bool caption = false;
    for (int y = 0; y < 25 && !caption; ++y)
        for (int x = 0; x < 25 && !caption; ++x)
            caption = image.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(caption);

    button.SetFrame(false);
    button.SetColor(QColor(0, 128, 0));
    image = button.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 128, 0));

    button.SetEdge(TColorBtn::Edge::Raised);
    image = button.grab().toImage();
    EXPECT_GT(image.pixelColor(0, 0).lightness(), image.pixelColor(24, 24).lightness());
    button.setCheckable(true);
    button.setChecked(true);  // shows pressed in
    image = button.grab().toImage();
    EXPECT_LT(image.pixelColor(0, 0).lightness(), image.pixelColor(24, 24).lightness());
}

TEST(SharedWidgets, LabelReportsTheMouseEnteringAndLeaving)
{
    TLabel2 label(QStringLiteral("link"));
    QSignalSpy entered(&label, &TLabel2::MouseEnter);
    QSignalSpy left(&label, &TLabel2::MouseLeave);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&label, &enter);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(left.count(), 0);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    EXPECT_EQ(left.count(), 1);
}

TEST(QtPrompt, FiltersBecomeQtFilters)
{
    EXPECT_EQ(QtFileFilter(QStringLiteral("ホームポジション (*.vpd)|*.vpd")),
              QStringLiteral("ホームポジション (*.vpd)"));
    EXPECT_EQ(QtFileFilter(QStringLiteral("Motion|*.csv|All|*.a;*.b")),
              QStringLiteral("Motion (*.csv);;All (*.a *.b)"));
}

TEST(QtPrompt, QuestionBoxShowsTitleTextIconAndYesNo)
{
    QtPrompt prompt;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(prompt.Message(PromptIcon::Question, QStringLiteral("確認"), QStringLiteral("終了してよろしいですか？"),
                             PromptButtons::YesNo),
              PromptAnswer::No);
    EXPECT_EQ(title, QStringLiteral("確認"));
    EXPECT_EQ(text, QStringLiteral("終了してよろしいですか？"));
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons, QMessageBox::Yes | QMessageBox::No);

    WhenModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        buttons = box->standardButtons();
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(
        prompt.Message(PromptIcon::Warning, QStringLiteral("警告"), QStringLiteral("a\r\nb"), PromptButtons::OkCancel),
        PromptAnswer::Ok);
    EXPECT_EQ(buttons, QMessageBox::Ok | QMessageBox::Cancel);
}

// A box stands over the window that asked, not over the window the prompt was made for.
TEST(QtPrompt, BoxesBelongToTheActiveWindowAndANoticeDoesNotWait)
{
    QWidget main;
    QtPrompt prompt(&main);
    main.show();
    QWidget editor;
    editor.show();
    QApplication::setActiveWindow(&editor);
    ASSERT_EQ(QApplication::activeWindow(), &editor);

    QWidget *parent = nullptr;
    WhenModal([&](QWidget *w) {
        parent = w->parentWidget();
        qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    prompt.Message(PromptIcon::Information, QStringLiteral("確認"), QStringLiteral("x"), PromptButtons::Ok);
    EXPECT_EQ(parent, &editor);

    // The notice returns at once, stays up without taking input from other windows, and a second one
    // replaces its text instead of stacking boxes.
    QApplication::setActiveWindow(&editor);
    prompt.Notice(PromptIcon::Information, QStringLiteral("確認"), QStringLiteral("first"));
    QWidget *box = prompt.NoticeBox();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->parentWidget(), &editor);
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
    prompt.Notice(PromptIcon::Information, QStringLiteral("確認"), QStringLiteral("second"));
    EXPECT_EQ(prompt.NoticeBox(), box);
    EXPECT_EQ(qobject_cast<QMessageBox *>(box)->text(), QStringLiteral("second"));

    // A question asked while the notice is active is not parented to it: the notice may close under it.
    QApplication::setActiveWindow(box);
    WhenModal([&](QWidget *w) {
        parent = w->parentWidget();
        qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    prompt.Message(PromptIcon::Information, QStringLiteral("確認"), QStringLiteral("y"), PromptButtons::Ok);
    EXPECT_NE(parent, box);
    box->close();
    QApplication::processEvents();
    EXPECT_EQ(prompt.NoticeBox(), nullptr) << "the closed notice is gone";
}

TEST(InputDialog, KeepsAtMost255CharactersAndReturnsTheTextOnlyOnOk)
{
    TInputDialog dialog(QStringLiteral("Caption"), QStringLiteral("Prompt"), QStringLiteral("old"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Caption"));
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_EQ(dialog.Edit()->text(), QStringLiteral("old"));
    dialog.Edit()->setText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(dialog.Value().size(), 255);

    QString value = QStringLiteral("kept");
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<TInputDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Edit()->setText(QStringLiteral("typed"));
        dialog->CancelButton()->click();
    });
    EXPECT_FALSE(InputQuery(nullptr, QStringLiteral("C"), QStringLiteral("P"), value));
    EXPECT_EQ(value, QStringLiteral("kept"));

    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<TInputDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Edit()->clear();
        QTest::keyClick(dialog->Edit(), Qt::Key_Return);
    });
    EXPECT_TRUE(InputQuery(nullptr, QStringLiteral("C"), QStringLiteral("P"), value));
    EXPECT_EQ(value, QString());
}

TEST(SharedWidgets, ProgressKeepsItsValueExactAndItsPictureWithinAFrame)
{
    QProgressBar bar;
    bar.show();
    ShowProgress(&bar, 200, 0);  // the first position paints at once
    EXPECT_TRUE(bar.updatesEnabled());
    ShowProgress(&bar, 200, 1);
    ShowProgress(&bar, 200, 2);
    EXPECT_EQ(bar.value(), 2);
    EXPECT_EQ(bar.maximum(), 200);
    EXPECT_FALSE(bar.updatesEnabled());  // painted on the next frame, not for every row
    // However the transfer goes on, the picture follows within a frame.
    QTest::qWait(40);
    EXPECT_TRUE(bar.updatesEnabled());
    ShowProgress(&bar, 200, 3);
    ShowProgress(&bar, 200, 200);  // the last position paints at once
    EXPECT_TRUE(bar.updatesEnabled());
    ShowProgress(&bar, 0, 0);  // an empty range stays a bar, not a busy indicator
    EXPECT_EQ(bar.maximum(), 1);
    EXPECT_TRUE(bar.updatesEnabled());
}

}  // namespace
