// A real drag from the scenario list onto the grid, on the minimal platform, whose drag runs its own loop
// (the offscreen platform starts none).

#include "fake_main.h"

#include "transmitter/button_dialog.h"
#include "transmitter/propo_dialog.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace orvane;

TEST(PropoDrag, ARowDraggedWithShiftHeldIsCopiedAndTheListKeepsIt)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("minimal"));
    FakeMain main;
    TButtonDialog keys;
    TPropoDialog form(nullptr, main);
    form.SetButtonDialog(&keys);
    QList<SlotRow> scenes;
    for (int k = 0; k < kScenarioSlotCount; ++k)
        scenes.append({"S" + QString::number(k), "dance" + QString::number(k), "1"});
    form.Document().ReplaceList(SlotListKind::Scenarios, scenes);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    QWidget *grid = form.KeyList->viewport();
    const QPoint target = grid->mapToGlobal(form.KeyList->visualItemRect(form.KeyList->item(5, 3)).center());
    bool dragged = false;
    // Inside the drag's loop: move over the cell and let go, Shift held all the way.
    QTimer::singleShot(100, [&] {
        dragged = true;
        QMouseEvent move(QEvent::MouseMove, grid->mapFromGlobal(target), target, Qt::NoButton, Qt::LeftButton,
                         Qt::ShiftModifier);
        QApplication::sendEvent(grid, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, grid->mapFromGlobal(target), target, Qt::LeftButton,
                            Qt::NoButton, Qt::ShiftModifier);
        QApplication::sendEvent(grid, &release);
    });
    QWidget *list = form.SceList->viewport();
    const QPoint row = form.SceList->visualItemRect(form.SceList->topLevelItem(2)).center();
    QTest::mousePress(list, Qt::LeftButton, Qt::ShiftModifier, row);
    QTest::mouseMove(list, row + QPoint(0, 4));
    QTest::mouseMove(list, row + QPoint(0, 30));
    QTest::mouseRelease(list, Qt::LeftButton, Qt::ShiftModifier, row + QPoint(0, 30));

    ASSERT_TRUE(dragged);
    EXPECT_EQ(form.Assignment().Entry(68).target, 102);
    ASSERT_EQ(form.SceList->topLevelItemCount(), 4);
    EXPECT_EQ(form.SceList->topLevelItem(2)->text(1), QStringLiteral("dance2"));
    // Later drops and renames still name the row they show.
    form.SceList->setCurrentItem(form.SceList->topLevelItem(3));
    main.ownPrompt.inputs = {QStringLiteral("last")};
    form.SceListDblClick();
    EXPECT_EQ(form.Assignment().Scenarios().Row(3).name, QStringLiteral("last"));
    EXPECT_EQ(form.SceList->topLevelItem(3)->text(1), QStringLiteral("last"));
}
