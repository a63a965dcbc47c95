#pragma once
// TLabel2: a label that reports the mouse entering and leaving it.

#include <QLabel>

class TLabel2 : public QLabel {
    Q_OBJECT
public:
    explicit TLabel2(QWidget *parent = nullptr);
    explicit TLabel2(const QString &text, QWidget *parent = nullptr);

signals:
    void MouseEnter();
    void MouseLeave();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};
