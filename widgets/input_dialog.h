#pragma once
// The input dialog: a caption, a prompt and one line of at most 255 characters, answered with OK or Cancel.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TInputDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxLength = 255;

    TInputDialog(const QString &caption, const QString &prompt, const QString &value, QWidget *parent = nullptr);
    QString Value() const;
    QLineEdit *Edit() const { return edit_; }
    QPushButton *OkButton() const { return ok_; }
    QPushButton *CancelButton() const { return cancel_; }

private:
    QLabel *prompt_;
    QLineEdit *edit_;
    QPushButton *ok_;
    QPushButton *cancel_;
};

// Shows the dialog modally. On OK stores the typed text in value and returns true; otherwise value stays.
bool InputQuery(QWidget *parent, const QString &caption, const QString &prompt, QString &value);
