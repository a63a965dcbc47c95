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

using orvane::kChannelCount;

namespace {
enum { TitleText, ColorHint };
}  // namespace

namespace {
QString Text(int entry) { return kLabelMessages(entry); }

constexpr int kRowWidth = 137;
constexpr int kRowHeight = 24;
constexpr int kMargin = 8;
constexpr int kSegmentHeight = 4;

int TagOf(const QObject *object) { return object ? object->property("tag").toInt() : 0; }
}  // namespace

TLabelDialog::TLabelDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LabelDialog"));
    setWindowTitle(Text(TitleText));

    // Like the main window: 1-6 left and 7-12 right above the bar, 13-18 and 19-24 below it.
    const int upperTop = kMargin;
    const int barTop = upperTop + 6 * kRowHeight;
    const int lowerTop = barTop + kSegmentHeight;
    for (int i = 0; i < 6; ++i) {
        BuildRow(1 + i, kMargin, upperTop + i * kRowHeight);
        BuildRow(7 + i, kMargin + kRowWidth, upperTop + i * kRowHeight);
        BuildRow(13 + i, kMargin, lowerTop + i * kRowHeight);
        BuildRow(19 + i, kMargin + kRowWidth, lowerTop + i * kRowHeight);
    }
    Segment = new QFrame(this);
    Segment->setObjectName(QStringLiteral("Segment"));
    Segment->setGeometry(kMargin, barTop, 2 * kRowWidth, kSegmentHeight);
    Segment->setAutoFillBackground(true);
    QPalette navy = Segment->palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    Segment->setPalette(navy);

    const int buttonTop = lowerTop + 6 * kRowHeight + kMargin;
    HoldCheck = new QCheckBox(QStringLiteral("HOLD"), this);
    HoldCheck->setObjectName(QStringLiteral("HoldCheck"));
    HoldCheck->setGeometry(kMargin, buttonTop, 80, 25);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(kMargin + 2 * kRowWidth - 2 * 75 - 6, buttonTop, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(kMargin + 2 * kRowWidth - 75, buttonTop, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(2 * kMargin + 2 * kRowWidth, buttonTop + 25 + kMargin);
    FormCreate();
    for (int n = 1; n <= kChannelCount; ++n) {
        SetRowColor(n, orvane::kButtonFace);
        SetLabelColor(n, orvane::kBlack);
    }
}

void TLabelDialog::BuildRow(int channel, int left, int top)
{
    const QString n = QString::number(channel);
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("SOUR_") + n);
    panel->setGeometry(left, top, kRowWidth, kRowHeight);
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
    edit->setGeometry(59, 2, kRowWidth - 62, 20);
    edit->setMaxLength(kMaxNameLength);
    edit->setToolTip(QStringLiteral("ラベルを設定できます"));
}

void TLabelDialog::FormCreate()
{
    for (int n = 1; n <= kChannelCount; ++n) {
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
    if (n < 1 || n > kChannelCount || !prompt_)
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
    for (int n = 1; n <= kChannelCount; ++n) {
        EDIT_CH[n]->setText(main.ChannelName(n));
        SetLabelColor(n, main.NameColor(n));
        VIS_CH[n]->setChecked(main.PanelVisible(n));
        SetRowColor(n, main.PanelColor(n));
    }
    HoldCheck->setChecked(main.Hold());
}

void TLabelDialog::ApplyTo(MainOperations &main) const
{
    for (int n = 1; n <= kChannelCount; ++n)
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
