#pragma once
// THomeDialog: the home position dialog. Four choices, OK and Cancel; created once, the last choice stays chosen.

#include "app/window_messages.h"

#include <QDate>
#include <QDialog>
#include <QString>

class QPushButton;
class QRadioButton;

class THomeDialog : public QDialog {
    Q_OBJECT
public:
    // Results of exec(): the tag of the chosen operation, or CancelResult.
    enum { RegisterResult = 10, GetFromBoardResult = 11, OpenFileResult = 12, SaveFileResult = 13, CancelResult = 2 };

    explicit THomeDialog(QWidget *parent = nullptr);

    // Both buttons: the result is CancelResult unless the sender is HomeOkButton, else the chosen tag.
    void HomeOkButtonClick(QObject *sender);
    int ChosenTag() const;

    // Names the home file dialogs start with next time; empty until first used.
    QString OpenFileName() const { return openFileName_; }
    void SetOpenFileName(const QString &name) { openFileName_ = name; }
    QString SaveFileName() const { return saveFileName_; }
    void SetSaveFileName(const QString &name) { saveFileName_ = name; }
    // The dialogs' first name carries the date of the start, not of the day they are first opened.
    QDate StartDate() const { return startDate_; }

    QRadioButton *GetHomeChk = nullptr;
    QRadioButton *SetHomeChk = nullptr;
    QRadioButton *OpenHomeChk = nullptr;
    QRadioButton *SaveHomeChk = nullptr;
    QPushButton *HomeOkButton = nullptr;
    QPushButton *HomeCancelButton = nullptr;

private:
    QString openFileName_;
    QString saveFileName_;
    QDate startDate_;
};
