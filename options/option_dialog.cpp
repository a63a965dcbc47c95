#include "options/option_dialog.h"

#include "options/board_ids.h"
#include "options/option_messages.h"
#include "session/colors.h"
#include "session/prompt.h"
#include "widgets/color_btn.h"

#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using orvane::OptionMessages;

namespace {

constexpr int kRowHeight = 24;
constexpr int kColumnWidth = 250;

int Tag(const QObject *object) { return object->property("tag").toInt(); }

QLabel *NamedLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

}  // namespace

TOptionDialog::TOptionDialog(MainOperations &main, QWidget *parent) : QDialog(parent), main_(main)
{
    setObjectName(QStringLiteral("OptionDialog"));
    setModal(true);
    BuildControls();
    FormCreate();
}

void TOptionDialog::BuildControls()
{
    auto *idPanel = new QGroupBox(this);
    idPanel->setGeometry(8, 8, 2 * kColumnWidth + 24, 84);
    Label3 = NamedLabel(idPanel, QStringLiteral("Label3"), QString(), QRect(8, 6, 300, 20));
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);
    Label4 = NamedLabel(idPanel, QStringLiteral("Label4"), QStringLiteral("(CH1～CH12)"), QRect(16, 34, 110, 20));
    Label5 = NamedLabel(idPanel, QStringLiteral("Label5"), QStringLiteral("(CH13～CH24)"),
                        QRect(kColumnWidth + 16, 34, 110, 20));
    ID_BOX1 = new QComboBox(idPanel);
    ID_BOX1->setObjectName(QStringLiteral("ID_BOX1"));
    ID_BOX1->setProperty("tag", 0);
    ID_BOX1->setGeometry(130, 32, 80, 24);
    ID_BOX2 = new QComboBox(idPanel);
    ID_BOX2->setObjectName(QStringLiteral("ID_BOX2"));
    ID_BOX2->setProperty("tag", 1);
    ID_BOX2->setGeometry(kColumnWidth + 130, 32, 80, 24);
    ID_BOX2->addItem(QStringLiteral("OFF"));
    for (int id = 0; id < orvane::kIdCount; ++id) {
        ID_BOX1->addItem(QString::number(id));
        ID_BOX2->addItem(QString::number(id));
    }
    connect(ID_BOX1, &QComboBox::activated, this, [this] { ID_BOX1CloseUp(ID_BOX1); });
    connect(ID_BOX2, &QComboBox::activated, this, [this] { ID_BOX1CloseUp(ID_BOX2); });

    auto *trimPanel = new QGroupBox(this);
    const int rowsTop = 52;
    trimPanel->setGeometry(8, 100, 2 * kColumnWidth + 24, rowsTop + 12 * kRowHeight + 44);
    Label2 = NamedLabel(trimPanel, QStringLiteral("Label2"), QString(), QRect(8, 6, 300, 20));
    Label2->setFont(bold);
    Label7 = NamedLabel(trimPanel, QStringLiteral("Label7"), QString(), QRect(8, 26, 2 * kColumnWidth, 20));
    for (int n = 1; n <= Channels; ++n) {
        const int left = 12 + ((n - 1) / 12) * kColumnWidth;
        const int top = rowsTop + ((n - 1) % 12) * kRowHeight;
        auto *label = NamedLabel(trimPanel, QStringLiteral("CH%1_TRIM_LAB").arg(n), QStringLiteral("CH%1").arg(n),
                                 QRect(left, top + 1, 110, kRowHeight - 2));
        label->setAutoFillBackground(true);
        label->setIndent(4);
        auto *down = new TColorBtn(QStringLiteral("<"), trimPanel);
        down->setObjectName(QStringLiteral("CH%1_TRIM_L").arg(n));
        down->setGeometry(left + 114, top + 1, 28, kRowHeight - 2);
        auto *caption = new QLineEdit(QStringLiteral("0"), trimPanel);
        caption->setObjectName(QStringLiteral("CH%1_TRIM_CAP").arg(n));
        caption->setReadOnly(true);
        caption->setAlignment(Qt::AlignRight);
        caption->setGeometry(left + 144, top + 1, 44, kRowHeight - 2);
        auto *up = new TColorBtn(QStringLiteral(">"), trimPanel);
        up->setObjectName(QStringLiteral("CH%1_TRIM_R").arg(n));
        up->setGeometry(left + 190, top + 1, 28, kRowHeight - 2);
        connect(down, &QPushButton::clicked, this, [this, down] { TRIM_Click(down); });
        connect(up, &QPushButton::clicked, this, [this, up] { TRIM_Click(up); });
    }

    const int buttonsTop = rowsTop + 12 * kRowHeight + 10;
    OPTION_READ_BTN = new QPushButton(trimPanel);
    OPTION_READ_BTN->setObjectName(QStringLiteral("OPTION_READ_BTN"));
    OPTION_READ_BTN->setGeometry(12, buttonsTop, 100, 26);
    TRIM_RESET_BTN = new QPushButton(trimPanel);
    TRIM_RESET_BTN->setObjectName(QStringLiteral("TRIM_RESET_BTN"));
    TRIM_RESET_BTN->setGeometry(120, buttonsTop, 100, 26);
    connect(OPTION_READ_BTN, &QPushButton::clicked, this, &TOptionDialog::OPTION_READ_BTNClick);
    connect(TRIM_RESET_BTN, &QPushButton::clicked, this, &TOptionDialog::TRIM_RESET_BTNClick);

    CancelButton = new QPushButton(this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(2 * kColumnWidth + 32 - 200, trimPanel->geometry().bottom() + 10, 200, 28);
    connect(CancelButton, &QPushButton::clicked, this, [this] { done(1); });
    setFixedSize(2 * kColumnWidth + 40, CancelButton->geometry().bottom() + 10);
}

void TOptionDialog::FormCreate()
{
    setWindowTitle(OptionMessages(orvane::OptTitle));
    Label3->setText(OptionMessages(orvane::OptIdTitle));
    Label2->setText(OptionMessages(orvane::OptTrimTitle));
    Label7->setText(OptionMessages(orvane::OptTrimNote));
    OPTION_READ_BTN->setText(OptionMessages(orvane::OptRead));
    TRIM_RESET_BTN->setText(OptionMessages(orvane::OptReset));
    CancelButton->setText(OptionMessages(orvane::OptExit));

    for (int n = 1; n <= Channels; ++n) {
        CH_TRIM_L[n] = findChild<TColorBtn *>(QStringLiteral("CH%1_TRIM_L").arg(n));
        CH_TRIM_R[n] = findChild<TColorBtn *>(QStringLiteral("CH%1_TRIM_R").arg(n));
        CH_TRIM_CAP[n] = findChild<QLineEdit *>(QStringLiteral("CH%1_TRIM_CAP").arg(n));
        CH_TRIM_LAB[n] = findChild<QLabel *>(QStringLiteral("CH%1_TRIM_LAB").arg(n));
        CH_TRIM_L[n]->setProperty("tag", n);
        CH_TRIM_R[n]->setProperty("tag", n + Channels);
        CH_TRIM_CAP[n]->setProperty("tag", n);
        CH_TRIM_LAB[n]->setProperty("tag", n);
    }
    trims_ = orvane::TrimTable();
    ShowAll();

    const std::array<int, 2> start = orvane::StartIds({main_.BoardId(0), main_.BoardId(1)});
    for (int group = 0; group < 2; ++group)
        if (main_.BoardId(group) != start[group])
            main_.SetBoardId(group, start[group]);
    ID_BOX1->setCurrentIndex(orvane::IdListEntry(0, start[0]));
    ID_BOX2->setCurrentIndex(orvane::IdListEntry(1, start[1]));
}

std::array<int, 2> TOptionDialog::Ids() const { return {main_.BoardId(0), main_.BoardId(1)}; }

void TOptionDialog::ID_BOX1CloseUp(QComboBox *sender)
{
    const std::array<int, 2> before = Ids();
    const int group = Tag(sender);
    main_.SetBoardId(group, orvane::IdOfListEntry(group, sender->currentIndex()));
    if (main_.BoardId(0) != main_.BoardId(1))
        return;
    // One board answering for both groups would take the other's commands: put the old choice back.
    for (int g = 0; g < 2; ++g)
        main_.SetBoardId(g, before[g]);
    ID_BOX1->setCurrentIndex(orvane::IdListEntry(0, before[0]));
    ID_BOX2->setCurrentIndex(orvane::IdListEntry(1, before[1]));
}

void TOptionDialog::OPTION_READ_BTNClick()
{
    if (busy_)
        return;
    busy_ = true;
    trims_.ReadAll(Ids());
    ShowAll();
    busy_ = false;
}

void TOptionDialog::TRIM_Click(TColorBtn *sender)
{
    if (busy_)
        return;
    busy_ = true;
    sender->setEnabled(false);
    const int failures = trims_.ReadAll(Ids());
    ShowAll();
    const int tag = Tag(sender);
    const bool up = tag > Channels;
    const int channel = up ? tag - Channels : tag;
    trims_.Step(Ids(), channel, up, failures);
    ShowTrim(channel);
    sender->setEnabled(true);
    busy_ = false;
}

void TOptionDialog::TRIM_RESET_BTNClick()
{
    if (busy_)
        return;
    if (main_.UserPrompt().Message(PromptIcon::Question, OptionMessages(orvane::OptWarning),
                                   OptionMessages(orvane::OptResetQuestion), PromptButtons::YesNo)
        != PromptAnswer::Yes)
        return;
    busy_ = true;
    trims_.Reset(Ids());
    ShowAll();
    busy_ = false;
}

void TOptionDialog::ShowTrim(int channel) { CH_TRIM_CAP[channel]->setText(QString::number(trims_.Shown(channel))); }

void TOptionDialog::ShowAll()
{
    for (int n = 1; n <= Channels; ++n)
        ShowTrim(n);
}

void TOptionDialog::ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor)
{
    if (channel < 1 || channel > Channels)
        return;
    QLabel *label = CH_TRIM_LAB[channel];
    label->setText(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, orvane::ToQColor(orvane::ResolveColor(panelColor)));
    palette.setColor(QPalette::WindowText, orvane::ToQColor(orvane::ResolveColor(textColor)));
    label->setPalette(palette);
}
