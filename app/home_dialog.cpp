#include "app/home_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
enum { GetText, SetText, OpenText, SaveText, TitleText };
}  // namespace

namespace {
QString Text(int entry) { return kHomeDialogMessages(entry); }

QRadioButton *Choice(QWidget *parent, const char *name, int tag, int text)
{
    auto *radio = new QRadioButton(Text(text), parent);
    radio->setObjectName(QLatin1String(name));
    radio->setProperty("tag", tag);
    return radio;
}
}  // namespace

THomeDialog::THomeDialog(QWidget *parent) : QDialog(parent), startDate_(QDate::currentDate())
{
    setObjectName(QStringLiteral("HomeDialog"));
    setWindowTitle(Text(TitleText));

    GetHomeChk = Choice(this, "GetHomeChk", GetFromBoardResult, GetText);
    SetHomeChk = Choice(this, "SetHomeChk", RegisterResult, SetText);
    OpenHomeChk = Choice(this, "OpenHomeChk", OpenFileResult, OpenText);
    SaveHomeChk = Choice(this, "SaveHomeChk", SaveFileResult, SaveText);
    SaveHomeChk->setChecked(true);

    HomeOkButton = new QPushButton(QStringLiteral("OK"), this);
    HomeOkButton->setObjectName(QStringLiteral("HomeOkButton"));
    HomeOkButton->setDefault(true);
    HomeCancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    HomeCancelButton->setObjectName(QStringLiteral("HomeCancelButton"));
    connect(HomeOkButton, &QPushButton::clicked, this, [this] { HomeOkButtonClick(HomeOkButton); });
    connect(HomeCancelButton, &QPushButton::clicked, this, [this] { HomeOkButtonClick(HomeCancelButton); });

    auto *layout = new QVBoxLayout(this);
    for (QRadioButton *radio : {GetHomeChk, SetHomeChk, OpenHomeChk, SaveHomeChk})
        layout->addWidget(radio);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(HomeOkButton);
    buttons->addWidget(HomeCancelButton);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

int THomeDialog::ChosenTag() const
{
    for (const QRadioButton *radio : {GetHomeChk, SetHomeChk, OpenHomeChk, SaveHomeChk})
        if (radio->isChecked())
            return radio->property("tag").toInt();
    return CancelResult;
}

void THomeDialog::HomeOkButtonClick(QObject *sender) { done(sender == HomeOkButton ? ChosenTag() : int(CancelResult)); }
