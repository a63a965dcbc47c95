#include "app/label_dialog.h"

#include "app/panel_layout.h"
#include "session/main_operations.h"
#include "session/prompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

namespace {
enum { TitleText, ColorHint };
}  // namespace

const orvane::MessageTable<2> kLabelMessages{
    {"ラベルプロパティ", "ダブルクリックでチャンネルごとの色を設定できます"},
    {"Label property", "Label can be changed by double click."},
};

namespace {
QString Text(int entry) { return kLabelMessages(entry); }

constexpr int RowWidth = 137;
constexpr int RowHeight = 24;
constexpr int Margin = 8;
constexpr int SegmentHeight = 4;

int TagOf(const QObject *object) { return object ? object->property("tag").toInt() : 0; }
}  // namespace

TLabelDialog::TLabelDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LabelDialog"));
    setWindowTitle(Text(TitleText));

    // Like the main window: 1-6 left and 7-12 right above the bar, 13-18 and 19-24 below it.
    const int upperTop = Margin;
    const int barTop = upperTop + 6 * RowHeight;
    const int lowerTop = barTop + SegmentHeight;
    for (int i = 0; i < 6; ++i) {
        BuildRow(1 + i, Margin, upperTop + i * RowHeight);
        BuildRow(7 + i, Margin + RowWidth, upperTop + i * RowHeight);
        BuildRow(13 + i, Margin, lowerTop + i * RowHeight);
        BuildRow(19 + i, Margin + RowWidth, lowerTop + i * RowHeight);
    }
    Segment = new QFrame(this);
    Segment->setObjectName(QStringLiteral("Segment"));
    Segment->setGeometry(Margin, barTop, 2 * RowWidth, SegmentHeight);
    Segment->setAutoFillBackground(true);
    QPalette navy = Segment->palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    Segment->setPalette(navy);

    const int buttonTop = lowerTop + 6 * RowHeight + Margin;
    HoldCheck = new QCheckBox(QStringLiteral("HOLD"), this);
    HoldCheck->setObjectName(QStringLiteral("HoldCheck"));
    HoldCheck->setGeometry(Margin, buttonTop, 80, 25);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(Margin + 2 * RowWidth - 2 * 75 - 6, buttonTop, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(Margin + 2 * RowWidth - 75, buttonTop, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(2 * Margin + 2 * RowWidth, buttonTop + 25 + Margin);
    FormCreate();
    for (int n = 1; n <= kChannels; ++n) {
        SetRowColor(n, orvane::kButtonFace);
        SetLabelColor(n, orvane::kBlack);
    }
}

void TLabelDialog::BuildRow(int channel, int left, int top)
{
    const QString n = QString::number(channel);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("SOUR_") + n);
    panel->setGeometry(left, top, RowWidth, RowHeight);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);

    auto *label = new QLabel(QStringLiteral("CH") + n, panel);
    label->setObjectName(QStringLiteral("LAB_CH") + n);
    label->setGeometry(3, 3, 36, 18);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);

    auto *visible = new QCheckBox(panel);
    visible->setObjectName(QStringLiteral("VIS_CH") + n);
    visible->setGeometry(40, 3, 18, 18);

    auto *edit = new QLineEdit(panel);
    edit->setObjectName(QStringLiteral("EDIT_CH") + n);
    edit->setGeometry(59, 2, RowWidth - 62, 20);
    edit->setMaxLength(kMaxNameLength);
    edit->setToolTip(QStringLiteral("ラベルを設定できます"));
}

void TLabelDialog::FormCreate()
{
    for (int n = 1; n <= kChannels; ++n) {
        const QString number = QString::number(n);
        EDIT_CH[n] = findChild<QLineEdit *>(QStringLiteral("EDIT_CH") + number);
        SOUR[n] = findChild<QFrame *>(QStringLiteral("SOUR_") + number);
        LAB_CH[n] = findChild<QLabel *>(QStringLiteral("LAB_CH") + number);
        VIS_CH[n] = findChild<QCheckBox *>(QStringLiteral("VIS_CH") + number);
        for (QWidget *w :
             {static_cast<QWidget *>(EDIT_CH[n]), static_cast<QWidget *>(SOUR[n]), static_cast<QWidget *>(LAB_CH[n])})
            w->setProperty("tag", n);
        SOUR[n]->setToolTip(Text(ColorHint));
        LAB_CH[n]->setToolTip(Text(ColorHint));
        SOUR[n]->installEventFilter(this);
        LAB_CH[n]->installEventFilter(this);
    }
}

bool TLabelDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick && TagOf(watched) >= 1) {
        SOUR_1DblClick(watched);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TLabelDialog::SOUR_1DblClick(QObject *sender)
{
    const int n = TagOf(sender);
    if (n < 1 || n > kChannels || !prompt_)
        return;
    const orvane::SystemColors system = orvane::PaletteSystemColors();
    uint32_t color = orvane::ResolveColor(rowColor_[n], system);
    if (!prompt_->Color(color))
        return;
    color &= 0xFFFFFF;
    SetRowColor(n, color);
    SetLabelColor(n, orvane::ContrastColor(color, system));
}

void TLabelDialog::SetRowColor(int channel, uint32_t color)
{
    rowColor_[channel] = color;
    QPalette palette = SOUR[channel]->palette();
    palette.setColor(QPalette::Window, orvane::ToQColor(orvane::ResolveColor(color, orvane::PaletteSystemColors())));
    SOUR[channel]->setPalette(palette);
}

void TLabelDialog::SetLabelColor(int channel, uint32_t color)
{
    labelColor_[channel] = color;
    QPalette palette = LAB_CH[channel]->palette();
    palette.setColor(QPalette::WindowText,
                     orvane::ToQColor(orvane::ResolveColor(color, orvane::PaletteSystemColors())));
    LAB_CH[channel]->setPalette(palette);
}

void TLabelDialog::LoadFrom(const MainOperations &main)
{
    for (int n = 1; n <= kChannels; ++n) {
        EDIT_CH[n]->setText(main.ChannelName(n));
        SetLabelColor(n, main.NameColor(n));
        VIS_CH[n]->setChecked(main.PanelVisible(n));
        SetRowColor(n, main.PanelColor(n));
    }
    HoldCheck->setChecked(main.Hold());
}

void TLabelDialog::ApplyTo(MainOperations &main) const
{
    for (int n = 1; n <= kChannels; ++n)
        main.SetChannelLook(n, EDIT_CH[n]->text(), rowColor_[n], labelColor_[n], VIS_CH[n]->isChecked());
    main.SetHold(HoldCheck->isChecked());
}

void RunLabelDialog(TLabelDialog &dialog, MainOperations &main)
{
    dialog.SetPrompt(&main.UserPrompt());
    dialog.LoadFrom(main);
    if (dialog.exec() == QDialog::Accepted)
        dialog.ApplyTo(main);
}
