// TMainForm, its desktops: ten stored panel layouts besides the built-in one, and dragging panels on them.

#include "app/main_form.h"

#include "app/main_messages.h"
#include "session/prompt.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>

using orvane::kChannelCount;

// Desktops

int TMainForm::SelectedDesktop() const { return Desktop->currentIndex(); }

void TMainForm::MovePanels(int desktop)
{
    const bool named = desktop >= 1 && desktop <= orvane::kDesktopCount;
    for (int p = 0; p < orvane::kPanelCount; ++p) {
        const orvane::PanelPos pos = named ? layouts_[desktop - 1][p] : orvane::BuiltInPanelPos(p);
        PANEL[p]->move(pos.left, pos.top);
    }
}

void TMainForm::DesktopCloseUp() { MovePanels(SelectedDesktop()); }

void TMainForm::DesktopContextPopup()
{
    const int i = SelectedDesktop();
    if (i < 1 || i > orvane::kDesktopCount)
        return;
    QString name = Desktop->itemText(i);
    if (!prompt_.Input(MainMessage(MsgDesktopCaption), MainMessage(MsgDesktopPrompt), name))
        return;
    Desktop->setItemText(i, name);
    Desktop->setCurrentIndex(i);
}

void TMainForm::PANELMouseDown(int panel, Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos)
{
    if (hold_ || panel < 0 || panel > kChannelCount)
        return;
    grab_ = pos;
    PANEL[panel]->raise();
}

void TMainForm::PANELMouseMove(int panel, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos)
{
    if (hold_ || panel < 0 || panel > kChannelCount)
        return;
    if (buttons != Qt::LeftButton
        || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return;
    // Only the ten named desktops store a layout; "Standard" and no selection stay put.
    const int d = SelectedDesktop();
    if (d < 1 || d > orvane::kDesktopCount)
        return;
    QWidget *w = PANEL[panel];
    const orvane::PanelPos wanted{w->x() + pos.x() - grab_.x(), w->y() + pos.y() - grab_.y()};
    const orvane::PanelPos at = orvane::ClampToChannelArea(wanted, orvane::SizeOfPanel(panel));
    w->move(at.left, at.top);
    layouts_[d - 1][panel] = at;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // Slider releases and wheel notches belong to live control.
    if (auto *bar = qobject_cast<QScrollBar *>(watched))
        return SliderEvent(bar, event) || QWidget::eventFilter(watched, event);

    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return QWidget::eventFilter(watched, event);
    const bool isLabel = qobject_cast<QLabel *>(watched) != nullptr;
    const int panel = Tag(watched);
    if (panel < 0 || panel > kChannelCount || (watched != PANEL[panel] && watched != CH_LAB[panel]))
        return QWidget::eventFilter(watched, event);
    auto panelPos = [&](const QMouseEvent *mouse) {
        QPoint p = mouse->position().toPoint();
        if (isLabel)
            p += widget->pos();
        return p;
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        PANELMouseDown(panel, mouse->button(), mouse->modifiers(), panelPos(mouse));
        return true;
    }
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        PANELMouseMove(panel, mouse->buttons(), mouse->modifiers(), panelPos(mouse));
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (panel != 0)
            NAME_CHANGEDblClick();
        return true;
    default: return QWidget::eventFilter(watched, event);
    }
}
