#include "widgets/label2.h"

TLabel2::TLabel2(QWidget *parent) : QLabel(parent) {}

TLabel2::TLabel2(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void TLabel2::enterEvent(QEnterEvent *event)
{
    QLabel::enterEvent(event);
    emit MouseEnter();
}

void TLabel2::leaveEvent(QEvent *event)
{
    QLabel::leaveEvent(event);
    emit MouseLeave();
}
