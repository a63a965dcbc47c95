#include "teaching/teaching.h"

#include "session/colors.h"
#include "session/prompt.h"
#include "teaching/teaching_messages.h"
#include "textfile/file_io.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

using orvane::kChannelCount;
using orvane::TeachingMessages;
using orvane::TeachingSession;

namespace {

constexpr int kPanelWidth = 250;
constexpr int kPanelHeight = 24;
using Hand = orvane::HandTeachingSettings;

QString Text(int entry) { return TeachingMessages(entry); }

QToolButton *ToolButton(QWidget *parent, const char *name, const QString &caption, int left, int top, int width = 64)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setGeometry(left, top, width, 30);
    return button;
}

QLabel *Label(QWidget *parent, const char *name, const QString &text, int left, int top, int width)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(left, top, width, 24);
    return label;
}

QColor Resolved(uint32_t color) { return orvane::ToQColor(orvane::ResolveColor(color, orvane::PaletteSystemColors())); }

}  // namespace

TTeaching::TTeaching(MainOperations &main, QWidget *parent) : QDialog(parent), main_(main), session_(main)
{
    setObjectName(QStringLiteral("Teaching"));
    setModal(true);
    BuildControls();
    FormCreate();
    connect(&session_, &TeachingSession::ChannelsChanged, this, &TTeaching::ShowChannels);
    connect(&session_, &TeachingSession::ChannelChanged, this, &TTeaching::ShowChannel);
    connect(&session_, &TeachingSession::BusyChanged, this, [this](bool busy) { setEnabled(!busy); });
    connect(&session_, &TeachingSession::SamplingChanged, this, &TTeaching::ShowSampling);
    connect(&session_, &TeachingSession::RowTaken, this, [this](int rows) {
        QApplication::beep();
        AUTO_COUNT->setText(Text(orvane::TchRowCount).arg(rows));
    });
    connect(&session_, &TeachingSession::RecordingProgress, this, [this](qint64 ms, int samples) {
        REC_COUNT->setText(Text(orvane::TchRecording).arg(double(ms) / 1000, 0, 'f', 1).arg(samples));
    });
    connect(&session_, &TeachingSession::TraceReduced, this, [this](int samples, int rows) {
        REC_COUNT->setText(Text(orvane::TchReduced).arg(samples).arg(rows));
        REC_SAVE_BTN->setEnabled(samples > 0);
    });
    connect(&session_, &TeachingSession::SamplingLost, this,
            [this](orvane::FailureMask) { STATUS_LINE->setText(Text(orvane::TchBoardSilent)); });
}

void TTeaching::BuildControls()
{
    for (int n = 1; n <= kChannelCount; ++n) {
        // Laid out as the main window's panels: 1-6 | 7-12 above, 13-18 | 19-24 below.
        const int column = ((n - 1) / 6) % 2;
        const int row = (n - 1) % 6 + (n > 12 ? 6 : 0);
        auto *panel = new QFrame(this);
        panel->setObjectName(QStringLiteral("PANEL_%1").arg(n));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        panel->setAutoFillBackground(true);
        panel->setGeometry(8 + column * kPanelWidth, 8 + row * kPanelHeight + (n > 12 ? 6 : 0), kPanelWidth,
                           kPanelHeight);
        auto *box = new QCheckBox(QStringLiteral("FREE"), panel);
        box->setObjectName(QStringLiteral("FREE_CHK_%1").arg(n));
        box->setGeometry(4, 2, 64, 20);
        auto *label = new QLabel(QStringLiteral("CH%1").arg(n), panel);
        label->setObjectName(QStringLiteral("THC_%1").arg(n));
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setGeometry(72, 2, 110, 20);
        auto *value = new QLineEdit(panel);
        value->setObjectName(QStringLiteral("ANG_%1").arg(n));
        value->setReadOnly(true);
        value->setAlignment(Qt::AlignRight);
        value->setGeometry(186, 2, 58, 20);
        connect(box, &QCheckBox::clicked, this, [this, box] { FREE_CHKClick(box); });
    }

    const int bottom = 8 + 12 * kPanelHeight + 6 + 10;
    auto *speedLabel = new QLabel(QStringLiteral("SPEED"), this);
    speedLabel->setObjectName(QStringLiteral("SPEED_LAB"));
    speedLabel->setGeometry(12, bottom + 5, 50, 20);
    SPD_LIST = new QComboBox(this);
    SPD_LIST->setObjectName(QStringLiteral("SPD_LIST"));
    for (int s = 0; s <= 7; ++s)
        SPD_LIST->addItem(QString::number(s));
    SPD_LIST->setGeometry(64, bottom + 3, 60, 24);
    SHOT_BTN = ToolButton(this, "SHOT_BTN", QStringLiteral("SHOT"), 2 * kPanelWidth + 8 - 3 * 68, bottom);
    NOW_BTN = ToolButton(this, "NOW_BTN", QStringLiteral("HOME"), 2 * kPanelWidth + 8 - 2 * 68, bottom);
    ADDITEM_BTN = ToolButton(this, "ADDITEM_BTN", QStringLiteral("ADD"), 2 * kPanelWidth + 8 - 68, bottom);
    connect(SPD_LIST, &QComboBox::activated, this, &TTeaching::SPD_LISTCloseUp);
    connect(SHOT_BTN, &QToolButton::clicked, this, &TTeaching::SHOT_BTNClick);
    connect(NOW_BTN, &QToolButton::clicked, this, &TTeaching::NOW_BTNClick);
    connect(ADDITEM_BTN, &QToolButton::clicked, this, &TTeaching::ADDITEM_BTNClick);
    BuildHandControls(bottom + 40);
    setFixedSize(2 * kPanelWidth + 16, bottom + 40 + 100);
}

void TTeaching::BuildHandControls(int top)
{
    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(8, top - 4, 2 * kPanelWidth, 2);

    AUTO_CHK = new QCheckBox(Text(orvane::TchAutoCapture), this);
    AUTO_CHK->setObjectName(QStringLiteral("AUTO_CHK"));
    AUTO_CHK->setGeometry(12, top + 2, 168, 24);
    Label(this, "STILL_TIME_LAB", Text(orvane::TchStillTime), 184, top + 2, 56);
    STILL_TIME = new QDoubleSpinBox(this);
    STILL_TIME->setObjectName(QStringLiteral("STILL_TIME"));
    STILL_TIME->setRange(Hand::kStillMsMin / 1000.0, Hand::kStillMsMax / 1000.0);
    STILL_TIME->setSingleStep(0.1);
    STILL_TIME->setDecimals(1);
    STILL_TIME->setValue(Hand::kStillMsDefault / 1000.0);
    STILL_TIME->setSuffix(QLatin1Char(' ') + Text(orvane::TchSeconds));
    STILL_TIME->setGeometry(240, top + 2, 70, 24);
    Label(this, "STILL_DEG_LAB", Text(orvane::TchStillDeg), 318, top + 2, 56);
    STILL_DEG = new QSpinBox(this);
    STILL_DEG->setObjectName(QStringLiteral("STILL_DEG"));
    STILL_DEG->setRange(Hand::kDegreesMin, Hand::kDegreesMax);
    STILL_DEG->setValue(Hand::kStillDegDefault);
    STILL_DEG->setSuffix(QLatin1Char(' ') + Text(orvane::TchDegrees));
    STILL_DEG->setGeometry(374, top + 2, 66, 24);
    AUTO_COUNT = Label(this, "AUTO_COUNT", QString(), 446, top + 2, 62);
    AUTO_COUNT->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const int row = top + 32;
    REC_BTN = ToolButton(this, "REC_BTN", Text(orvane::TchRecord), 12, row, 72);
    REC_BTN->setCheckable(true);
    Label(this, "REC_TOL_LAB", Text(orvane::TchRecTolerance), 92, row + 3, 48);
    REC_TOL = new QSpinBox(this);
    REC_TOL->setObjectName(QStringLiteral("REC_TOL"));
    REC_TOL->setRange(Hand::kDegreesMin, Hand::kDegreesMax);
    REC_TOL->setValue(Hand::kToleranceDefault);
    REC_TOL->setSuffix(QLatin1Char(' ') + Text(orvane::TchDegrees));
    REC_TOL->setGeometry(140, row + 3, 66, 24);
    REC_COUNT = Label(this, "REC_COUNT", QString(), 212, row + 3, 150);
    REC_SAVE_BTN = ToolButton(this, "REC_SAVE_BTN", Text(orvane::TchRecSave), 366, row, 70);
    REC_LOAD_BTN = ToolButton(this, "REC_LOAD_BTN", Text(orvane::TchRecLoad), 440, row, 70);
    REC_SAVE_BTN->setEnabled(false);

    STATUS_LINE = Label(this, "STATUS_LINE", QString(), 8, row + 36, 2 * kPanelWidth);
    STATUS_LINE->setFrameShape(QFrame::Panel);
    STATUS_LINE->setFrameShadow(QFrame::Sunken);

    connect(AUTO_CHK, &QCheckBox::clicked, this, &TTeaching::AUTO_CHKClick);
    connect(STILL_TIME, &QDoubleSpinBox::valueChanged, this, &TTeaching::STILL_Change);
    connect(STILL_DEG, &QSpinBox::valueChanged, this, &TTeaching::STILL_Change);
    connect(REC_BTN, &QToolButton::clicked, this, &TTeaching::REC_BTNClick);
    connect(REC_TOL, &QSpinBox::valueChanged, this, [this](int degrees) { session_.SetTolerance(degrees); });
    connect(REC_SAVE_BTN, &QToolButton::clicked, this, &TTeaching::REC_SAVE_BTNClick);
    connect(REC_LOAD_BTN, &QToolButton::clicked, this, &TTeaching::REC_LOAD_BTNClick);
}

void TTeaching::FormCreate()
{
    setWindowTitle(Text(orvane::TchTitle));
    SHOT_BTN->setToolTip(Text(orvane::TchHintShot) + QLatin1Char('\n') + Text(orvane::TchKeyShot));
    NOW_BTN->setToolTip(Text(orvane::TchHintNow));
    ADDITEM_BTN->setToolTip(Text(orvane::TchHintAdd) + QLatin1Char('\n') + Text(orvane::TchKeyAdd));
    AUTO_CHK->setToolTip(Text(orvane::TchHintAuto));
    REC_BTN->setToolTip(Text(orvane::TchHintRecord));
    for (int n = 1; n <= kChannelCount; ++n) {
        FREE_CHK[n] = findChild<QCheckBox *>(QStringLiteral("FREE_CHK_%1").arg(n));
        ANG[n] = findChild<QLineEdit *>(QStringLiteral("ANG_%1").arg(n));
        THC[n] = findChild<QLabel *>(QStringLiteral("THC_%1").arg(n));
        PANEL[n] = findChild<QFrame *>(QStringLiteral("PANEL_%1").arg(n));
        for (QObject *control : {static_cast<QObject *>(FREE_CHK[n]), static_cast<QObject *>(ANG[n]),
                                 static_cast<QObject *>(THC[n]), static_cast<QObject *>(PANEL[n])})
            control->setProperty("tag", n);
    }
    STILL_Change();
    session_.SetTolerance(REC_TOL->value());
}

void TTeaching::RunFromMain(QWidget *mainWindow)
{
    ApplyLooks();
    if (!session_.Open())
        return;
    if (mainWindow)
        mainWindow->hide();
    SPD_LIST->setCurrentIndex(main_.Speed());
    STATUS_LINE->clear();
    exec();
    if (mainWindow)
        mainWindow->show();
    session_.Closed();
}

void TTeaching::ApplyLooks()
{
    for (int n = 1; n <= kChannelCount; ++n) {
        QPalette palette = PANEL[n]->palette();
        palette.setColor(QPalette::Window, Resolved(main_.PanelColor(n)));
        PANEL[n]->setPalette(palette);
        PANEL[n]->setVisible(main_.PanelVisible(n));
        QPalette text = THC[n]->palette();
        text.setColor(QPalette::WindowText, Resolved(main_.NameColor(n)));
        THC[n]->setPalette(text);
    }
}

void TTeaching::ShowChannel(int n)
{
    if (n < 1 || n > kChannelCount)
        return;
    const TeachingSession::ChannelState &c = session_.Channel(n);
    const bool sampling = session_.SamplingKind() != TeachingSession::Sampling::Off;
    FREE_CHK[n]->setEnabled(c.usable && !sampling);
    ANG[n]->setEnabled(c.usable);
    FREE_CHK[n]->setChecked(c.ticked);
    ANG[n]->setText(c.text);
}

void TTeaching::ShowChannels()
{
    for (int n = 1; n <= kChannelCount; ++n)
        ShowChannel(n);
}

void TTeaching::ShowSampling()
{
    const TeachingSession::Sampling kind = session_.SamplingKind();
    const bool off = kind == TeachingSession::Sampling::Off;
    for (QWidget *control : {static_cast<QWidget *>(SHOT_BTN), static_cast<QWidget *>(NOW_BTN),
                             static_cast<QWidget *>(ADDITEM_BTN), static_cast<QWidget *>(REC_LOAD_BTN)})
        control->setEnabled(off);
    REC_SAVE_BTN->setEnabled(off && !session_.LastTrace().empty());
    AUTO_CHK->setEnabled(kind != TeachingSession::Sampling::Record);
    AUTO_CHK->setChecked(kind == TeachingSession::Sampling::Auto);
    REC_BTN->setEnabled(kind != TeachingSession::Sampling::Auto);
    REC_BTN->setChecked(kind == TeachingSession::Sampling::Record);
    ShowChannels();
}

void TTeaching::FREE_CHKClick(QCheckBox *sender)
{
    if (!session_.Ready() || session_.Busy() || session_.SamplingKind() != TeachingSession::Sampling::Off)
        return;
    sender->setEnabled(false);
    session_.FreeClicked(sender->property("tag").toInt(), sender->isChecked());
    sender->setEnabled(true);
}

void TTeaching::SHOT_BTNClick() { session_.Shot(); }

void TTeaching::NOW_BTNClick() { session_.Home(); }

void TTeaching::ADDITEM_BTNClick()
{
    if (session_.SamplingKind() == TeachingSession::Sampling::Off)
        session_.Add();
}

void TTeaching::SPD_LISTCloseUp() { main_.SetSpeed(SPD_LIST->currentIndex()); }

void TTeaching::AUTO_CHKClick()
{
    if (!AUTO_CHK->isChecked()) {
        session_.StopSampling();
        return;
    }
    STATUS_LINE->clear();
    AUTO_COUNT->setText(Text(orvane::TchRowCount).arg(0));
    if (!session_.StartAuto()) {
        AUTO_CHK->setChecked(false);
        if (STATUS_LINE->text().isEmpty())
            STATUS_LINE->setText(Text(orvane::TchNoFree));
    }
}

void TTeaching::STILL_Change()
{
    const Hand hand = HandSettings();
    session_.SetStillness(hand.stillMs, hand.stillDeg);
}

orvane::HandTeachingSettings TTeaching::HandSettings() const
{
    return {int(STILL_TIME->value() * 1000 + 0.5), STILL_DEG->value(), REC_TOL->value()};
}

void TTeaching::SetHandSettings(const orvane::HandTeachingSettings &settings)
{
    const Hand checked = settings.Checked();
    // The boxes tell the session through their change handlers.
    STILL_TIME->setValue(checked.stillMs / 1000.0);
    STILL_DEG->setValue(checked.stillDeg);
    REC_TOL->setValue(checked.tolerance);
}

void TTeaching::REC_BTNClick()
{
    if (!REC_BTN->isChecked()) {
        session_.StopSampling();
        return;
    }
    STATUS_LINE->clear();
    REC_COUNT->setText(Text(orvane::TchRecording).arg(0.0, 0, 'f', 1).arg(0));
    if (!session_.StartRecording()) {
        REC_BTN->setChecked(false);
        if (STATUS_LINE->text().isEmpty())
            STATUS_LINE->setText(Text(orvane::TchNoFree));
    }
}

void TTeaching::REC_SAVE_BTNClick()
{
    Prompt &prompt = main_.UserPrompt();
    if (session_.LastTrace().empty()) {
        prompt.Message(PromptIcon::Warning, Text(orvane::TchWarning), Text(orvane::TchNoTrace), PromptButtons::Ok);
        return;
    }
    if (saveName_.isEmpty())
        saveName_ = QDir(main_.StartFolder())
                        .filePath(orvane::DatedFileName(QDate::currentDate(), QStringLiteral("TRACE.csv")));
    QString path = prompt.SaveFile(Text(orvane::TchSaveTitle), Text(orvane::TchTraceFilter), saveName_);
    if (path.isEmpty())
        return;
    path = orvane::WithDefaultExtension(path, QStringLiteral(".csv"));
    saveName_ = path;
    QString error;
    if (!orvane::SaveTrace(path, session_.LastTrace(), &error))
        prompt.Message(PromptIcon::Error, Text(orvane::TchWarning),
                       Text(orvane::TchSaveFailed) + QStringLiteral("\r\n") + error, PromptButtons::Ok);
}

void TTeaching::REC_LOAD_BTNClick()
{
    if (session_.SamplingKind() != TeachingSession::Sampling::Off || session_.Busy())
        return;
    Prompt &prompt = main_.UserPrompt();
    if (openName_.isEmpty())
        openName_ = QDir(main_.StartFolder()).filePath(QString());
    const QString path = prompt.OpenFile(Text(orvane::TchLoadTitle), Text(orvane::TchTraceFilter), openName_);
    if (path.isEmpty())
        return;
    openName_ = path;
    orvane::Trace trace;
    QString error;
    if (!orvane::LoadTrace(path, trace, &error)) {
        prompt.Message(PromptIcon::Error, Text(orvane::TchWarning),
                       Text(orvane::TchLoadFailed) + QStringLiteral("\r\n") + error, PromptButtons::Ok);
        return;
    }
    session_.AddTraceRows(trace);
    REC_SAVE_BTN->setEnabled(!session_.LastTrace().empty());
}

void TTeaching::done(int result)
{
    session_.StopSampling();
    QDialog::done(result);
}

void TTeaching::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F2 || event->key() == Qt::Key_F3) {
        // Held down, the key repeats: one capture per press.
        if (!event->isAutoRepeat() && isEnabled()) {
            if (event->key() == Qt::Key_F2)
                session_.CaptureAndAdd();
            else
                session_.Release();
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TTeaching::ChannelLookChanged(int channel, const QString &name, uint32_t panelColor, uint32_t textColor)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    THC[channel]->setText(name);
    QPalette text = THC[channel]->palette();
    text.setColor(QPalette::WindowText, Resolved(textColor));
    THC[channel]->setPalette(text);
    QPalette panel = PANEL[channel]->palette();
    panel.setColor(QPalette::Window, Resolved(panelColor));
    PANEL[channel]->setPalette(panel);
}
