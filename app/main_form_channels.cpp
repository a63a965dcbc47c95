// TMainForm, its channel panels and live control: sliders, mode lists, the buttons that move or read the
// servos, the sleep operations and the channel looks the other windows follow.

#include "app/main_form.h"

#include "app/home_ops.h"
#include "app/main_messages.h"
#include "protocol/commands.h"
#include "protocol/transaction.h"
#include "session/colors.h"
#include "session/prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QWheelEvent>

using orvane::ChannelSource;
using orvane::kChannelCount;
using orvane::kChannelsPerBoard;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kAqua = 0xFFFF00;
constexpr uint32_t kYellow = 0x00FFFF;

const char *const ModeNames[] = {"PWM", "FREE", "SET1", "SET2", "SET3", "-L-", "-H-"};

}  // namespace

QWidget *TMainForm::BuildPanel(int n)
{
    auto *panel = new QFrame(ChannelArea);
    panel->setObjectName(QStringLiteral("PANEL_%1").arg(n));
    panel->setProperty("tag", n);
    panel->resize(orvane::kChannelPanelWidth, orvane::kChannelPanelHeight);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->installEventFilter(this);
    PANEL[n] = panel;

    auto *label = new QLabel(QStringLiteral("CH%1").arg(n), panel);
    label->setObjectName(QStringLiteral("CH%1_LAB").arg(n));
    label->setProperty("tag", n);
    label->setGeometry(3, 0, 45, 24);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->installEventFilter(this);
    CH_LAB[n] = label;

    auto *sync = new QCheckBox(panel);
    sync->setObjectName(QStringLiteral("CH%1_SYNC").arg(n));
    sync->setGeometry(49, 4, 16, 16);
    CH_SYNC[n] = sync;

    auto *caption = new QLineEdit(QStringLiteral("90"), panel);
    caption->setObjectName(QStringLiteral("CH%1_CAPTION").arg(n));
    caption->setProperty("tag", n);
    caption->setReadOnly(true);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setGeometry(66, 2, 34, 20);
    caption->setFocusPolicy(Qt::NoFocus);
    CH_CAPTION[n] = caption;

    auto *bar = new QScrollBar(Qt::Horizontal, panel);
    bar->setObjectName(QStringLiteral("CH%1_BAR").arg(n));
    bar->setProperty("tag", n);
    bar->setRange(orvane::kPositionMin, orvane::kPositionMax);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(90);
    bar->setGeometry(102, 4, 92, 16);
    CH_BAR[n] = bar;
    ConnectSlider(bar);

    auto *mode = new QComboBox(panel);
    mode->setObjectName(QStringLiteral("CH%1_MODE").arg(n));
    mode->setProperty("tag", n);
    for (const char *name : ModeNames)
        mode->addItem(QString::fromLatin1(name));
    mode->setCurrentIndex(0);
    mode->setGeometry(196, 2, 56, 20);
    CH_MODE[n] = mode;
    connect(mode, &QComboBox::activated, this, [this, mode] { ChangePortCondition(mode); });

    ApplyPanelColor(n);
    return panel;
}

void TMainForm::ConnectSlider(QScrollBar *bar)
{
    // Dragging reports through sliderMoved: it also arrives while a transaction waits (actionTriggered does
    // not), which is what the drag guard is there for. Steps come as actions; releases through the filter.
    bar->setTracking(false);
    bar->setContextMenuPolicy(Qt::NoContextMenu);
    bar->installEventFilter(this);
    connect(bar, &QScrollBar::sliderMoved, this, [this, bar](int position) {
        int pos = position;
        CH1_BARScroll(bar, ScrollCode::Track, pos);
        if (pos != position)
            bar->setSliderPosition(pos);
    });
    connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) {
        ScrollCode code;
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: code = ScrollCode::LineDown; break;
        case QAbstractSlider::SliderSingleStepSub: code = ScrollCode::LineUp; break;
        case QAbstractSlider::SliderPageStepAdd: code = ScrollCode::PageDown; break;
        case QAbstractSlider::SliderPageStepSub: code = ScrollCode::PageUp; break;
        case QAbstractSlider::SliderToMinimum: code = ScrollCode::Top; break;
        case QAbstractSlider::SliderToMaximum: code = ScrollCode::Bottom; break;
        default: code = ScrollCode::Position; break;
        }
        int pos = bar->sliderPosition();
        const int proposed = pos;
        CH1_BARScroll(bar, code, pos);
        if (pos != proposed)
            bar->setSliderPosition(pos);
    });
}

void TMainForm::CH1_BARScroll(QScrollBar *sender, ScrollCode code, int &pos)
{
    const int n = Tag(sender);
    if (n < 1 || n > kChannelCount)
        return;
    switch (code) {
    case ScrollCode::Track:
        if (dragGuard_) {
            pos = sender->value();
            return;
        }
        dragGuard_ = true;
        stepGuard_ = true;
        TrackOrStep(sender, n, pos);
        dragGuard_ = false;
        stepGuard_ = false;
        return;
    case ScrollCode::LineUp:
    case ScrollCode::LineDown:
    case ScrollCode::PageUp:
    case ScrollCode::PageDown:
        if (stepGuard_) {
            pos = sender->value();
            return;
        }
        stepGuard_ = true;
        TrackOrStep(sender, n, pos);
        return;
    case ScrollCode::EndScroll:
        sender->setEnabled(true);
        stepGuard_ = false;
        return;
    default: return;
    }
}

void TMainForm::TrackOrStep(QScrollBar *bar, int n, int pos)
{
    // Committed at once, so that events handled while the frame goes out see the new position.
    bar->setValue(pos);
    valueText_[n] = QString::number(pos);
    ShowChannelValue(n);
    valueCode_[n] = pos;
    if (SyncMode())
        SendBoardPositions((n - 1) / kChannelsPerBoard, 0);
}

bool TMainForm::SliderEvent(QScrollBar *bar, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        || (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent *>(event)->isAutoRepeat())) {
        int pos = bar->sliderPosition();
        CH1_BARScroll(bar, ScrollCode::EndScroll, pos);
    } else if (event->type() == QEvent::Wheel) {
        // A wheel notch is one line step, ended at once.
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
        if (delta != 0) {
            bar->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
            int pos = bar->sliderPosition();
            CH1_BARScroll(bar, ScrollCode::EndScroll, pos);
        }
        return true;
    }
    return false;
}

// Live control

int TMainForm::ValueCode(int channel) const
{
    return channel >= 1 && channel <= kChannelCount ? valueCode_[channel] : 0;
}

QString TMainForm::ValueText(int channel) const
{
    return channel >= 1 && channel <= kChannelCount ? valueText_[channel] : QString();
}

int TMainForm::HomeValue(int channel) const { return channel >= 1 && channel <= kChannelCount ? home_[channel] : 90; }

void TMainForm::SetHomeValue(int channel, int value)
{
    if (channel >= 1 && channel <= kChannelCount)
        home_[channel] = value;
}

int TMainForm::BoardId(int group) const { return boards_.Id(group); }

void TMainForm::SetBoardId(int group, int id)
{
    if (group == 0)
        boards_.SetIds(id, boards_.Id(1));
    else if (group == 1)
        boards_.SetIds(boards_.Id(0), id);
}

void TMainForm::SetValueCode(int n, int v)
{
    if (n >= 1 && n <= kChannelCount)
        valueCode_[n] = v;
}

void TMainForm::SetSpeed(int speed)
{
    if (speed < 0 || speed > 7)
        return;
    SPD_BTN[speed]->setChecked(true);
    SpeedChange(SPD_BTN[speed]);
}

bool TMainForm::SyncMode() const { return SYNC_MODE->isChecked(); }

void TMainForm::SetChannel(int n, int v, ChannelSource source)
{
    if (n < 1 || n > kChannelCount)
        return;
    valueText_[n] = QString::number(v);
    ShowChannelValue(n);
    if (source != ChannelSource::Teaching)
        valueCode_[n] = v;
    if (orvane::IsPosition(v)) {
        CH_BAR[n]->setVisible(true);
        CH_SYNC[n]->setVisible(true);
        CH_BAR[n]->setValue(v);
        if (source != ChannelSource::Teaching)
            CH_MODE[n]->setCurrentIndex(0);
    } else if (v >= orvane::kValueFree && v <= orvane::kValueSet3) {
        CH_BAR[n]->setVisible(true);
        CH_SYNC[n]->setVisible(true);
        CH_MODE[n]->setCurrentIndex(v - orvane::kModeCodeBase);
    } else if (v == orvane::kValueLow || v == orvane::kValueHigh) {
        CH_BAR[n]->setVisible(false);
        CH_SYNC[n]->setVisible(false);
        CH_MODE[n]->setCurrentIndex(v - orvane::kModeCodeBase);
    } else if (v == orvane::kValueAsGiven) {
        CH_BAR[n]->setVisible(true);
        CH_SYNC[n]->setVisible(true);
        CH_MODE[n]->setCurrentIndex(-1);
    }
}

void TMainForm::ShowChannelValue(int n)
{
    if (n < 1 || n > kChannelCount)
        return;
    const int t = valueText_[n].toInt();
    uint32_t color = kWhite;
    QString shown = QString::number(t);
    if (RITV_ON->isChecked()) {
        const int h = home_[n];
        const bool position = orvane::IsPosition(t);
        if (orvane::IsPosition(h) && position) {
            color = kAqua;
            shown = QString::number(t - h);
        } else {
            color = kYellow;
            shown = QString::number(position ? t - 90 : t);
        }
    }
    QLineEdit *box = CH_CAPTION[n];
    QPalette p = box->palette();
    p.setColor(QPalette::Base, orvane::ToQColor(color));
    p.setColor(QPalette::Text, Qt::black);
    box->setPalette(p);
    box->setText(shown);
}

bool TMainForm::SendBoardPositions(int group, int speed)
{
    if (group < 0 || group > 1)
        return true;
    return boards_.SendPositions(group, speed, valueCode_);
}

void TMainForm::ChangePortCondition(QComboBox *sender)
{
    const int n = Tag(sender);
    if (n < 1 || n > kChannelCount)
        return;
    const int i = sender->currentIndex();
    const int v = i != 0 ? orvane::kModeCodeBase + i : CH_BAR[n]->value();
    SetChannel(n, v, ChannelSource::User);
    if (SyncMode())
        SendBoardPositions((n - 1) / kChannelsPerBoard, 0);
}

void TMainForm::SYNC_BTNClick(QAbstractButton *sender)
{
    static const int steps[4] = {-10, -1, 1, 10};
    const int tag = Tag(sender);
    if (tag < 0 || tag > 3)
        return;
    const int d = steps[tag];
    std::array<int, kChannelCount + 1> q{};
    for (int n = 1; n <= kChannelCount; ++n) {
        if (!CH_SYNC[n]->isChecked())
            continue;
        q[n] = CH_BAR[n]->value() + d;
        if (!orvane::IsPosition(q[n]))
            return;
    }
    for (int n = 1; n <= kChannelCount; ++n) {
        if (!CH_SYNC[n]->isChecked())
            continue;
        CH_BAR[n]->setValue(q[n]);
        valueText_[n] = QString::number(q[n]);
        ShowChannelValue(n);
        valueCode_[n] = q[n];
    }
    if (SyncMode())
        ShowLinkStatus(boards_.SendBoth(0, valueCode_));
}

void TMainForm::SpeedChange(QAbstractButton *sender)
{
    const int tag = Tag(sender);
    if (tag >= 0 && tag <= 7)
        speed_ = tag;
}

void TMainForm::RITV_ONClick()
{
    for (int n = 1; n <= kChannelCount; ++n)
        ShowChannelValue(n);
}

void TMainForm::SETPOS_BTNClick()
{
    for (int n = 1; n <= kChannelCount; ++n) {
        const int i = CH_MODE[n]->currentIndex();
        // No entry chosen (a code only a board reports): the code stays as the board gave it.
        if (i > 0)
            valueCode_[n] = orvane::kModeCodeBase + i;
        else if (i == 0)
            valueCode_[n] = CH_BAR[n]->value();
    }
    ShowLinkStatus(boards_.SendBoth(speed_, valueCode_));
}

bool TMainForm::ReadBoardPositions()
{
    orvane::FailureMask mask = 0;
    std::array<uint8_t, orvane::kGroupCount> mode{{0, 0}};
    for (int g = 0; g < 2; ++g) {
        if (!BoardPresent(g))
            continue;
        int retry = MainRetryCount;
        if (!GetMode(retry, uint8_t(boards_.Id(g)), mode[g]))
            mask |= orvane::GroupFailure(g);
    }
    if (BoardPresent(0) && BoardPresent(1) && mode[1] != mode[0])
        mask = orvane::kBothGroupsFailed;
    if (mask == 0) {
        const int first = FirstPresentGroup();
        if (first >= 0)
            ShowBoardMode(mode[first]);
        for (int g = 0; g < 2; ++g) {
            if (!BoardPresent(g))
                continue;
            int retry = MainRetryCount;
            QByteArray reply;
            if (!GetPositions(retry, uint8_t(boards_.Id(g)), reply)) {
                mask |= orvane::GroupFailure(g);
                continue;
            }
            for (int k = 1; k <= kChannelsPerBoard; ++k)
                SetChannel(kChannelsPerBoard * g + k, uint8_t(reply.at(k)), orvane::ChannelSourceOfMode(mode[g]));
        }
    }
    ShowLinkStatus(mask);
    return mask == 0;
}

void TMainForm::GETPOS_BTNClick() { ReadBoardPositions(); }

void TMainForm::ShowLinkStatus(orvane::FailureMask mask)
{
    const QString ok = MainMessage(MsgSuccess);
    const QString fault = MainMessage(MsgFault);
    fields_[1]->setText(MainMessage(MsgStatusPrefix1) + (orvane::GroupFailed(mask, 0) ? fault : ok));
    fields_[2]->setText(MainMessage(MsgStatusPrefix2) + (orvane::GroupFailed(mask, 1) ? fault : ok));
}

void TMainForm::ShowBoardMode(int b)
{
    static const int names[4] = {ModeNameDefault, ModeNameSleep, ModeNameTeaching, ModeNameDefault3};
    if (b >= 0 && b <= 3)
        fields_[0]->setText(BoardModeText(names[b]));
}

QString TMainForm::StatusField(int field) const { return field >= 0 && field < 4 ? fields_[field]->text() : QString(); }

void TMainForm::DIRECTION_BTNClick(QAbstractButton *sender)
{
    const int tag = Tag(sender);
    if (tag != 0 && tag != 1)
        return;
    fields_[0]->setText(BoardModeText(tag == 0 ? ModeNameSleep : ModeNameDefault));
    ShowLinkStatus(boards_.SetModeAll(tag == 0 ? 1 : 0));
}

bool TMainForm::EnterSleep()
{
    const orvane::FailureMask mask = boards_.SetModeAll(orvane::kModeSleep);
    if (mask != 0) {
        ShowLinkStatus(mask);
        return false;
    }
    fields_[0]->setText(BoardModeText(ModeNameSleep));
    ShowLinkStatus(0);
    return true;
}

bool TMainForm::ReleaseSleep()
{
    const orvane::FailureMask mask = boards_.SetModeAll(orvane::kModeDefault);
    if (mask != 0) {
        ShowLinkStatus(mask);
        return false;
    }
    fields_[0]->setText(BoardModeText(ModeNameDefault));
    ShowLinkStatus(0);
    return true;
}

bool TMainForm::EnsureSleep()
{
    switch (boards_.CheckSleep()) {
    case orvane::BoardOperations::SleepState::NoAnswer: return false;
    case orvane::BoardOperations::SleepState::NoBoard:
    case orvane::BoardOperations::SleepState::Asleep: return true;
    case orvane::BoardOperations::SleepState::Awake: break;
    }
    prompt_.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgServoStop), PromptButtons::Ok);
    return EnterSleep();
}

void TMainForm::ReturnToHome()
{
    using State = orvane::BoardOperations::SleepState;
    switch (boards_.CheckSleep()) {
    case State::NoAnswer: ShowLinkStatus(3); return;
    case State::Awake: EnterSleep(); return;
    case State::NoBoard:
    case State::Asleep: break;
    }
    if (prompt_.Message(PromptIcon::Warning, MainMessage(MsgWarning), MainMessage(MsgServoStart),
                        PromptButtons::OkCancel)
        != PromptAnswer::Ok)
        return;
    if (!GetHomeFromBoard(*this)) {
        ShowLinkStatus(3);
        return;
    }
    for (int n = 1; n <= kChannelCount; ++n)
        valueCode_[n] = home_[n];
    const orvane::FailureMask mask = boards_.ReturnToHome(home_);
    if (SyncMode())
        for (int n = 1; n <= kChannelCount; ++n)
            SetChannel(n, home_[n], ChannelSource::User);
    fields_[0]->setText(BoardModeText(ModeNameDefault));
    ShowLinkStatus(mask);
}

void TMainForm::NOW_BTNClick()
{
    if (EnterSleep())
        ReturnToHome();
}

// Channel looks

QString TMainForm::ChannelName(int channel) const
{
    return channel >= 1 && channel <= kChannelCount ? CH_LAB[channel]->text() : QString();
}

uint32_t TMainForm::PanelColor(int channel) const
{
    return channel >= 1 && channel <= kChannelCount ? panelColor_[channel] : orvane::kButtonFace;
}

uint32_t TMainForm::NameColor(int channel) const
{
    return channel >= 1 && channel <= kChannelCount ? nameColor_[channel] : orvane::kBlack;
}

bool TMainForm::PanelVisible(int channel) const
{
    return channel >= 1 && channel <= kChannelCount && !PANEL[channel]->isHidden();
}

void TMainForm::ApplyPanelColor(int n)
{
    QPalette p = PANEL[n]->palette();
    p.setColor(QPalette::Window, orvane::ToQColor(orvane::ResolveColor(panelColor_[n], orvane::PaletteSystemColors())));
    PANEL[n]->setPalette(p);
    QPalette lp = CH_LAB[n]->palette();
    lp.setColor(QPalette::WindowText, orvane::ToQColor(nameColor_[n]));
    CH_LAB[n]->setPalette(lp);
}

void TMainForm::SetChannelLook(int channel, const QString &name, uint32_t panelColor, uint32_t nameColor, bool visible)
{
    if (channel < 1 || channel > kChannelCount)
        return;
    CH_LAB[channel]->setText(name);
    panelColor_[channel] = panelColor;
    nameColor_[channel] = nameColor;
    ApplyPanelColor(channel);
    PANEL[channel]->setVisible(visible);
    NotifyLook(channel);
}

void TMainForm::TellLook(ChannelLookListener *listener, int channel) const
{
    listener->ChannelLookChanged(channel, CH_LAB[channel]->text(),
                                 orvane::ResolveColor(panelColor_[channel], orvane::PaletteSystemColors()),
                                 nameColor_[channel]);
}

void TMainForm::NotifyLook(int channel)
{
    for (ChannelLookListener *listener : listeners_)
        TellLook(listener, channel);
}

void TMainForm::AddChannelLookListener(ChannelLookListener *listener)
{
    if (!listener)
        return;
    listeners_.push_back(listener);
    for (int n = 1; n <= kChannelCount; ++n)
        TellLook(listener, n);
}
